#pragma once

// Named EXIF files shared by the reader's tests and the fuzzer's seed corpus.

#include "exifbuilder.h"

#include <QList>
#include <QPair>
#include <QString>

namespace exiftest {

namespace tag {
constexpr uint16_t ImageWidth = 0x0100;
constexpr uint16_t Compression = 0x0103;
constexpr uint16_t Make = 0x010F;
constexpr uint16_t Model = 0x0110;
constexpr uint16_t Orientation = 0x0112;
constexpr uint16_t XResolution = 0x011A;
constexpr uint16_t YResolution = 0x011B;
constexpr uint16_t ResolutionUnit = 0x0128;
constexpr uint16_t DateTime = 0x0132;
constexpr uint16_t JpegInterchangeFormat = 0x0201;
constexpr uint16_t JpegInterchangeFormatLength = 0x0202;
constexpr uint16_t YCbCrPositioning = 0x0213;
constexpr uint16_t ExposureTime = 0x829A;
constexpr uint16_t FNumber = 0x829D;
constexpr uint16_t ExifPointer = 0x8769;
constexpr uint16_t GpsPointer = 0x8825;
constexpr uint16_t ExifVersion = 0x9000;
constexpr uint16_t DateTimeOriginal = 0x9003;
constexpr uint16_t ExposureBiasValue = 0x9204;
constexpr uint16_t MeteringMode = 0x9207;
constexpr uint16_t Flash = 0x9209;
constexpr uint16_t FocalLength = 0x920A;
constexpr uint16_t MakerNote = 0x927C;
constexpr uint16_t ColorSpace = 0xA001;
constexpr uint16_t PixelXDimension = 0xA002;
constexpr uint16_t PixelYDimension = 0xA003;
constexpr uint16_t InteropPointer = 0xA005;
constexpr uint16_t FocalPlaneResolutionUnit = 0xA210;
constexpr uint16_t GpsVersionId = 0x0000;
constexpr uint16_t GpsLatitudeRef = 0x0001;
constexpr uint16_t GpsLatitude = 0x0002;
constexpr uint16_t GpsLongitudeRef = 0x0003;
constexpr uint16_t GpsLongitude = 0x0004;
constexpr uint16_t GpsAltitudeRef = 0x0005;
constexpr uint16_t GpsAltitude = 0x0006;
constexpr uint16_t InteropIndex = 0x0001;
constexpr uint16_t InteropVersion = 0x0002;
} // namespace tag

inline QByteArray CameraMakerNote()
{
    QByteArray note;
    for (int i = 0; i < 16; ++i)
        note.append(static_cast<char>(i * 17));
    return note;
}

// A camera's EXIF block: IFD0 with the usual tags, an Exif IFD with a maker note and an
// Interoperability IFD, a GPS IFD, and IFD1 describing the thumbnail.
inline TiffBuilder CameraTiff(ByteOrder order)
{
    TiffBuilder tiff(order);
    const int ifd0 = tiff.AddIfd();
    const int exif = tiff.AddIfd();
    const int interop = tiff.AddIfd();
    const int gps = tiff.AddIfd();
    const int ifd1 = tiff.AddIfd();
    tiff.AddAscii(ifd0, tag::Make, QByteArray("Pixly", 6))
        .AddAscii(ifd0, tag::Model, QByteArray("Camera X100", 12))
        .Add(ifd0, tag::Orientation, Short, {1})
        .Add(ifd0, tag::XResolution, Rational, {72, 1})
        .Add(ifd0, tag::YResolution, Rational, {72, 1})
        .Add(ifd0, tag::ResolutionUnit, Short, {2})
        .AddAscii(ifd0, tag::DateTime, QByteArray("2023:05:01 12:34:56", 20))
        .AddPointer(ifd0, tag::ExifPointer, exif)
        .AddPointer(ifd0, tag::GpsPointer, gps)
        .Add(ifd0, tag::YCbCrPositioning, Short, {1})
        .SetNext(ifd0, ifd1);
    tiff.Add(exif, tag::ExposureTime, Rational, {1, 250})
        .Add(exif, tag::FNumber, Rational, {28, 10})
        .AddUndefined(exif, tag::ExifVersion, "0220")
        .AddAscii(exif, tag::DateTimeOriginal, QByteArray("2023:05:01 12:34:56", 20))
        .Add(exif, tag::ExposureBiasValue, SRational, {-1, 3})
        .Add(exif, tag::MeteringMode, Short, {5})
        .Add(exif, tag::Flash, Short, {16})
        .Add(exif, tag::FocalLength, Rational, {50, 1})
        .AddUndefined(exif, tag::MakerNote, CameraMakerNote())
        .Add(exif, tag::ColorSpace, Short, {1})
        .Add(exif, tag::PixelXDimension, Long, {4000})
        .Add(exif, tag::PixelYDimension, Short, {3000})
        .AddPointer(exif, tag::InteropPointer, interop)
        .Add(exif, tag::FocalPlaneResolutionUnit, Short, {2});
    tiff.AddAscii(interop, tag::InteropIndex, QByteArray("R98", 4))
        .AddUndefined(interop, tag::InteropVersion, "0100");
    tiff.Add(gps, tag::GpsVersionId, Byte, {2, 2, 0, 0})
        .AddAscii(gps, tag::GpsLatitudeRef, QByteArray("N", 2))
        .Add(gps, tag::GpsLatitude, Rational, {50, 1, 5, 1, 3000, 100})
        .AddAscii(gps, tag::GpsLongitudeRef, QByteArray("E", 2))
        .Add(gps, tag::GpsLongitude, Rational, {14, 1, 25, 1, 1234, 100})
        .Add(gps, tag::GpsAltitudeRef, Byte, {0})
        .Add(gps, tag::GpsAltitude, Rational, {250, 1});
    tiff.Add(ifd1, tag::Compression, Short, {6})
        .Add(ifd1, tag::XResolution, Rational, {72, 1})
        .Add(ifd1, tag::JpegInterchangeFormat, Long, {1234})
        .Add(ifd1, tag::JpegInterchangeFormatLength, Long, {5000});
    return tiff;
}

// IFD0 holds Exif pointers that all lead to one IFD, which again points many times
// at a last IFD full of entries: read naively, its lines would come a million times.
inline TiffBuilder FanOutTiff(ByteOrder order, int fanOut)
{
    TiffBuilder tiff(order);
    const int ifd0 = tiff.AddIfd();
    const int middle = tiff.AddIfd();
    const int last = tiff.AddIfd();
    for (int i = 0; i < fanOut; ++i) {
        tiff.AddPointer(ifd0, tag::ExifPointer, middle);
        tiff.AddPointer(middle, tag::ExifPointer, last);
        tiff.Add(last, tag::ImageWidth, Short, {i});
    }
    return tiff;
}

// IFDs nested through Exif pointers, each also holding its depth as ImageWidth.
inline TiffBuilder NestedTiff(ByteOrder order, int depth)
{
    TiffBuilder tiff(order);
    for (int i = 0; i < depth; ++i)
        tiff.AddIfd();
    for (int i = 0; i < depth; ++i) {
        if (i + 1 < depth) tiff.AddPointer(i, tag::ExifPointer, i + 1);
        tiff.Add(i, tag::ImageWidth, Short, {i});
    }
    return tiff;
}

// Entries of every value type, inline and at an offset, with the odd ones that end an IFD last.
inline TiffBuilder EveryTypeTiff(ByteOrder order)
{
    TiffBuilder tiff(order);
    const int ifd0 = tiff.AddIfd();
    tiff.Add(ifd0, 0x0001, Byte, {1, 2, 3})
        .Add(ifd0, 0x0002, Byte, {1, 2, 3, 4, 5, 6})
        .AddAscii(ifd0, 0x0003, QByteArray("ab\0", 3))
        .AddAscii(ifd0, 0x0004, QByteArray("a longer\ttext\r\n\x8A\xE8", 17))
        .Add(ifd0, 0x0005, Short, {1, 2})
        .Add(ifd0, 0x0006, Short, {1, 2, 3})
        .Add(ifd0, 0x0007, Long, {7})
        .Add(ifd0, 0x0008, Long, {7, 8})
        .Add(ifd0, 0x0009, Rational, {1, 2})
        .AddUndefined(ifd0, 0x000A, "\x01\x02")
        .AddUndefined(ifd0, 0x000B, "\x01\x02\x03\x04\x05")
        .Add(ifd0, 0x000C, SLong, {-7})
        .Add(ifd0, 0x000D, SLong, {-7, 8})
        .Add(ifd0, 0x000E, SRational, {-1, 2})
        .AddRaw(ifd0, 0x000F, Float, 1, 0x3F800000)
        .AddRaw(ifd0, 0x0010, Double, 1, 8);
    return tiff;
}

// Files for the fuzzer to start from: sound ones in both byte orders and hostile ones.
inline QList<QPair<QString, QByteArray>> SeedFiles()
{
    QList<QPair<QString, QByteArray>> seeds;
    for (const ByteOrder order : {BigEndian, LittleEndian}) {
        const QString suffix = order == BigEndian ? QStringLiteral("_mm.jpg") : QStringLiteral("_ii.jpg");
        seeds.append({QStringLiteral("camera") + suffix, ExifJpeg(CameraTiff(order))});
        seeds.append({QStringLiteral("every_type") + suffix, ExifJpeg(EveryTypeTiff(order))});
        seeds.append({QStringLiteral("nested") + suffix, ExifJpeg(NestedTiff(order, 40))});
        seeds.append({QStringLiteral("fan_out") + suffix, ExifJpeg(FanOutTiff(order, 8))});
        TiffBuilder loop(order);
        const int ifd0 = loop.AddIfd();
        const int gps = loop.AddIfd();
        loop.AddPointer(ifd0, tag::ExifPointer, ifd0)
            .AddPointer(ifd0, tag::GpsPointer, gps)
            .AddPointer(gps, tag::GpsPointer, gps)
            .AddRaw(gps, tag::GpsLatitudeRef, Ascii, 4000000000u, 8)
            .AddRaw(gps, tag::GpsLatitude, Rational, 0x7FFFFFFF, 8)
            .SetNext(gps, ifd0)
            .SetNext(ifd0, ifd0);
        seeds.append({QStringLiteral("loops") + suffix, ExifJpeg(loop)});
        TiffBuilder edge(order);
        const int edgeIfd0 = edge.AddIfd();
        edge.AddRaw(edgeIfd0, tag::Make, Ascii, 536, 65000)
            .AddRaw(edgeIfd0, tag::GpsPointer, Long, 1, 65535)
            .AddRaw(edgeIfd0, tag::ExifPointer, Long, 1, 0xFFFFFFF4)
            .SetNextRaw(edgeIfd0, 65530);
        seeds.append({QStringLiteral("section_edge") + suffix, ExifJpeg(edge, QByteArray(70000, 'A'))});
    }
    const QByteArray jfif = Segment(0xE0, QByteArray("JFIF\0\x01\x02\0\0\x01\0\x01\0\0", 14));
    seeds.append(
        {QStringLiteral("jfif_then_exif.jpg"), Jpeg({jfif, ExifSegment(CameraTiff(BigEndian).Build())})});
    return seeds;
}

} // namespace exiftest
