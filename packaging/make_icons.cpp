// Writes the program icon for the desktop's icon theme: OUT/<n>x<n>/apps/pixly.png
// for each usual size, from the icon file's own picture of that size or scaled
// from its largest picture.
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QTextStream>

namespace {

QList<QImage> picturesOf(const QString& iconFile)
{
    QImageReader reader(iconFile, "ico");
    QList<QImage> pictures;
    for (int i = 0; i < qMax(reader.imageCount(), 1); ++i) {
        if (i > 0 && !reader.jumpToImage(i)) break;
        const QImage picture = reader.read();
        if (!picture.isNull()) pictures.append(picture.convertToFormat(QImage::Format_ARGB32));
    }
    return pictures;
}

QImage pictureOfSize(const QList<QImage>& pictures, int size)
{
    const QImage* largest = &pictures.first();
    for (const QImage& picture : pictures) {
        if (picture.width() == size && picture.height() == size) return picture;
        if (picture.width() > largest->width()) largest = &picture;
    }
    return largest->scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream errors(stderr);
    if (argc != 3) {
        errors << "usage: make_icons ICON.ico OUTPUT_FOLDER\n";
        return 2;
    }
    const QList<QImage> pictures = picturesOf(QString::fromLocal8Bit(argv[1]));
    if (pictures.isEmpty()) {
        errors << "no picture in " << argv[1] << '\n';
        return 1;
    }
    const QDir output(QString::fromLocal8Bit(argv[2]));
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        if (!output.mkpath(folder) ||
            !pictureOfSize(pictures, size).save(output.filePath(folder + QStringLiteral("/pixly.png")))) {
            errors << "cannot write the " << size << " pixel icon into " << output.path() << '\n';
            return 1;
        }
    }
    return 0;
}
