#include "platform/settingsstore.h"

#include "platform/pixlyerror.h"

#include <QSettings>
#include <QStandardPaths>

namespace {

QString& overrideFile()
{
    static QString path;
    return path;
}

std::unique_ptr<QSettings> openSettings()
{
    if (!overrideFile().isEmpty()) return std::make_unique<QSettings>(overrideFile(), QSettings::IniFormat);
#ifdef Q_OS_WIN
    return std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER\\software\\Tremanova\\Vendrax"),
                                       QSettings::NativeFormat);
#else
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return std::make_unique<QSettings>(folder + QStringLiteral("/Tremanova/Vendrax.conf"),
                                       QSettings::IniFormat);
#endif
}

class SettingsValueError : public PixlyError {
public:
    using PixlyError::PixlyError;
};

} // namespace

SettingsStore::SettingsStore(Access access) : access_(access), settings_(openSettings()) {}

SettingsStore::~SettingsStore()
{
    Sync();
}

void SettingsStore::UseFile(const QString& iniPath)
{
    overrideFile() = iniPath;
}

QString SettingsStore::FilePath()
{
    return openSettings()->fileName();
}

QString SettingsStore::groupOf(const QString& path) const
{
    QString relative = path;
    if (relative.startsWith(RegistryKeys::Program, Qt::CaseInsensitive))
        relative = relative.mid(RegistryKeys::Program.size());
    QStringList parts = relative.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    return parts.join(QLatin1Char('/'));
}

QString SettingsStore::valueKey(const QString& name) const
{
    return openGroup_.isEmpty() ? name : openGroup_ + QLatin1Char('/') + name;
}

bool SettingsStore::KeyExists(const QString& path) const
{
    const QString group = groupOf(path);
    if (group.isEmpty()) return !settings_->allKeys().isEmpty();
    settings_->beginGroup(group);
    const bool exists = !settings_->allKeys().isEmpty();
    settings_->endGroup();
    return exists;
}

bool SettingsStore::OpenKey(const QString& path, bool canCreate)
{
    keyOpen_ = false;
    if (!KeyExists(path)) {
        if (!canCreate || access_ != Access::Write || !settings_->isWritable()) return false;
    }
    openGroup_ = groupOf(path);
    keyOpen_ = true;
    return true;
}

void SettingsStore::CloseKey()
{
    openGroup_.clear();
    keyOpen_ = false;
}

int SettingsStore::ReadInteger(const QString& name) const
{
    const QVariant stored = settings_->value(valueKey(name));
    bool ok = false;
    const int value = stored.toString().toInt(&ok);
    if (!keyOpen_ || !stored.isValid() || !ok)
        throw SettingsValueError(QStringLiteral("Invalid data type for '%1'").arg(name));
    return value;
}

bool SettingsStore::ReadBool(const QString& name) const
{
    return ReadInteger(name) != 0;
}

QString SettingsStore::ReadString(const QString& name) const
{
    if (!keyOpen_) return QString();
    return settings_->value(valueKey(name)).toString();
}

void SettingsStore::WriteInteger(const QString& name, int value)
{
    if (keyOpen_) settings_->setValue(valueKey(name), value);
}

void SettingsStore::WriteBool(const QString& name, bool value)
{
    WriteInteger(name, value ? 1 : 0);
}

void SettingsStore::WriteString(const QString& name, const QString& value)
{
    if (keyOpen_) settings_->setValue(valueKey(name), value);
}

void SettingsStore::DeleteKey(const QString& path)
{
    const QString group = groupOf(path);
    if (group.isEmpty())
        settings_->clear();
    else
        settings_->remove(group);
}

bool SettingsStore::Sync()
{
    settings_->sync();
    return settings_->status() == QSettings::NoError;
}
