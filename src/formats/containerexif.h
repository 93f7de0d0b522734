#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The EXIF data that the newer formats carry, as TIFF blocks: a TIFF header with its IFDs, which
// the EXIF reader reads as it reads a JPEG's EXIF segment.
struct ExifBlock {
    // What the block's first IFD is: IFD0 (with its pointers to the other IFDs), or, where a
    // format stores them apart (Canon's CR3), the Exif IFD or the GPS IFD.
    enum class First { Ifd0, ExifIfd, GpsIfd };
    QByteArray tiff;
    First first = First::Ifd0;
};

// The block of a PNG's "eXIf" chunk, or of a WebP's "EXIF" chunk; empty when there is none.
QByteArray PngExifTiff(const QByteArray& png);
QByteArray WebPExifTiff(const QByteArray& webp);

// The blocks of a camera RAW file: a TIFF-based file is its own block (Olympus' and Panasonic's
// magic numbers are read as TIFF's), a Fujifilm file has the EXIF segment of its preview JPEG, a
// CR3 file its CMT boxes.
QList<ExifBlock> RawExifBlocks(const QByteArray& raw);

// The blocks of a picture file of one of the formats read by their contents (formatdetection.h),
// found by its contents as the viewers find its decoder. Nothing for the other formats, for a file
// without EXIF data and for one whose container is damaged. Raises PixlyError when the file cannot
// be read.
QList<ExifBlock> PictureExifBlocks(const QString& path);
