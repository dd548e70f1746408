// PictureHeader: the size read from small generated headers of every format
// (multi-image files, top-down and core bitmaps, headers cut short, sizes
// that lie past the bytes), the bound at its edges, and real files written
// by GDI+'s own encoders, read by the header reader and loaded by
// CSkinImage on both sides of the bound.
#include "render/CSkinImage.h"
#include "render/PictureHeader.h"
#include "TestFiles.h"
#include "render/GdiPlus.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace {
using PictureHeader::Format;

std::string Le16(uint32_t v) { return {char(v & 0xFF), char(v >> 8 & 0xFF)}; }
std::string Le32(uint32_t v) { return Le16(v & 0xFFFF) + Le16(v >> 16); }
std::string Be16(uint32_t v) { return {char(v >> 8 & 0xFF), char(v & 0xFF)}; }
std::string Be32(uint32_t v) { return Be16(v >> 16) + Be16(v & 0xFFFF); }
std::string Zeros(size_t n) { return std::string(n, '\0'); }

std::string Png(uint32_t width, uint32_t height) {
    return std::string("\x89PNG\r\n\x1a\n", 8) + Be32(13) + "IHDR" + Be32(width) + Be32(height) +
           "\x08\x06" + Zeros(3) + Be32(0);
}

std::string Dib(uint32_t width, uint32_t height) {
    return Le32(40) + Le32(width) + Le32(height) + Le16(1) + Le16(32) + Zeros(24);
}

std::string Bmp(const std::string& dib) { return "BM" + Zeros(12) + dib; }

// Logical screen with a 2-colour global table, then the blocks.
std::string Gif(uint32_t width, uint32_t height, const std::string& blocks) {
    return "GIF89a" + Le16(width) + Le16(height) + "\x80" + Zeros(2) + Zeros(6) + blocks;
}
std::string GifFrame(uint32_t left, uint32_t top, uint32_t width, uint32_t height) {
    return "\x2C" + Le16(left) + Le16(top) + Le16(width) + Le16(height) + '\0' + "\x02" +
           "\x02\x4C\x01" + '\0';
}
const std::string kGifExtension = std::string("\x21\xF9\x04\x01\0\0\0", 7) + '\0';

std::string JpegSegment(uint8_t marker, const std::string& body) {
    return std::string("\xFF") + char(marker) + Be16(uint32_t(body.size() + 2)) + body;
}
std::string JpegFrame(uint8_t marker, uint32_t width, uint32_t height) {
    return JpegSegment(marker, "\x08" + Be16(height) + Be16(width) + "\x01\x01\x11" + '\0');
}

// An icon (type 1) or cursor (type 2) directory whose entries point at the
// images that follow it, in order.
std::string Icon(uint32_t type, const std::vector<std::pair<std::string, std::string>>& entries) {
    std::string directory = Zeros(2) + Le16(type) + Le16(uint32_t(entries.size()));
    std::string images;
    uint32_t offset = 6 + 16 * uint32_t(entries.size());
    for (const auto& entry : entries) {
        directory += entry.first + Zeros(6) + Le32(uint32_t(entry.second.size())) +
                     Le32(offset + uint32_t(images.size()));
        images += entry.second;
    }
    return directory + images;
}

// One IFD entry: tag, type (3 SHORT, 4 LONG), one value.
std::string TiffEntry(bool little, uint32_t tag, uint32_t type, uint32_t value) {
    const auto u16 = little ? Le16 : Be16;
    const auto u32 = little ? Le32 : Be32;
    return u16(tag) + u16(type) + u32(1) + (type == 3 ? u16(value) + Zeros(2) : u32(value));
}
std::string TiffIfd(bool little, const std::vector<std::string>& entries, uint32_t next) {
    std::string ifd = (little ? Le16 : Be16)(uint32_t(entries.size()));
    for (const std::string& entry : entries)
        ifd += entry;
    return ifd + (little ? Le32 : Be32)(next);
}

std::string Emf(int32_t boundsRight, int32_t boundsBottom, int32_t frameRight, int32_t frameBottom,
                int32_t devicePixels, int32_t deviceMillimetres) {
    return Le32(1) + Le32(108) + Le32(0) + Le32(0) + Le32(boundsRight) + Le32(boundsBottom) +
           Le32(0) + Le32(0) + Le32(frameRight) + Le32(frameBottom) + Le32(0x464D4520) +
           Zeros(28) + Le32(devicePixels) + Le32(devicePixels) + Le32(deviceMillimetres) +
           Le32(deviceMillimetres) + Zeros(20);
}

std::string Wmf(uint32_t right, uint32_t bottom, uint32_t unitsPerInch) {
    return Le32(0x9AC6CDD7) + Zeros(2) + Le16(0) + Le16(0) + Le16(right) + Le16(bottom) +
           Le16(unitsPerInch) + Zeros(6);
}

struct Case {
    const char* what;
    std::string bytes;
    bool sized;
    Format format;
    uint32_t width;
    uint32_t height;
};

} // namespace

TEST(PictureHeader, ReadsEveryFormatAndRefusesWhatItCannotSize) {
    const std::string tiffLittle = "II*" + Zeros(1) + Le32(8);
    const std::string jpegStart = "\xFF\xD8" + JpegSegment(0xE0, "JFIF" + Zeros(10));
    const Case cases[] = {
        {"png", Png(20000, 20000), true, Format::Png, 20000, 20000},
        {"png, cut in IHDR", Png(20, 20).substr(0, 22), false, Format::Png, 0, 0},
        {"png, zero width", Png(0, 20), false, Format::Png, 0, 0},
        {"bmp, bottom-up", Bmp(Dib(640, 480)), true, Format::Bmp, 640, 480},
        {"bmp, top-down", Bmp(Dib(640, uint32_t(-480))), true, Format::Bmp, 640, 480},
        {"bmp, most negative height", Bmp(Dib(1, 0x80000000u)), true, Format::Bmp, 1, 0x80000000u},
        {"bmp, v5 header", Bmp(Le32(124) + Le32(9000) + Le32(2) + Zeros(112)), true, Format::Bmp,
         9000, 2},
        {"bmp, core header", Bmp(Le32(12) + Le16(300) + Le16(200) + Le16(1) + Le16(24)), true,
         Format::Bmp, 300, 200},
        {"bmp, negative width", Bmp(Dib(uint32_t(-5), 5)), false, Format::Bmp, 0, 0},
        {"bmp, unknown header size", Bmp(Le32(8) + Le32(5) + Le32(5)), false, Format::Bmp, 0, 0},
        {"gif, frames within the screen", Gif(100, 50, kGifExtension + GifFrame(5, 5, 10, 10) + ";"),
         true, Format::Gif, 100, 50},
        {"gif, a later frame past the screen",
         Gif(10, 10, GifFrame(0, 0, 10, 10) + kGifExtension + GifFrame(2, 0, 9000, 5) + ";"), true,
         Format::Gif, 9002, 10},
        {"gif, frames cut after the first", Gif(10, 10, GifFrame(0, 0, 10, 10) + "\x2C\x01"), true,
         Format::Gif, 10, 10},
        {"gif, no frame", Gif(10, 10, kGifExtension + ";"), false, Format::Gif, 0, 0},
        {"gif, empty frame", Gif(10, 10, GifFrame(0, 0, 0, 10)), false, Format::Gif, 0, 0},
        {"jpeg, after APPn and fill bytes",
         jpegStart + JpegSegment(0xE1, Zeros(1000)) + "\xFF" + JpegFrame(0xC2, 400, 300), true,
         Format::Jpeg, 400, 300},
        {"jpeg, a table is not a frame", jpegStart + JpegSegment(0xC4, Zeros(20)) + JpegFrame(0xC0, 7, 9),
         true, Format::Jpeg, 7, 9},
        {"jpeg, scan before any frame", jpegStart + JpegSegment(0xDA, Zeros(10)) + JpegFrame(0xC0, 7, 9),
         false, Format::Jpeg, 0, 0},
        {"jpeg, height left to DNL", jpegStart + JpegFrame(0xC0, 7, 0), false, Format::Jpeg, 0, 0},
        {"jpeg, segment past the end", jpegStart + JpegSegment(0xE1, Zeros(50)).substr(0, 20), false,
         Format::Jpeg, 0, 0},
        {"ico, the embedded images decide",
         Icon(1, {{"\x10\x10", Dib(16, 32) + Zeros(64)}, {std::string(2, '\0'), Png(300, 20000)}}),
         true, Format::Icon, 300, 20000},
        {"cur, directory sizes for other data", Icon(2, {{std::string("\x20\0", 2), Zeros(40)}}), true,
         Format::Icon, 32, 256},
        {"ico, an entry past the end",
         Icon(1, {{"\x10\x10", Dib(16, 32)}}).substr(0, 30), false, Format::Icon, 0, 0},
        {"ico, no entries", Icon(1, {}), false, Format::Icon, 0, 0},
        {"tiff, the largest of two images",
         tiffLittle +
             TiffIfd(true, {TiffEntry(true, 256, 3, 100), TiffEntry(true, 257, 3, 50)}, 8 + 30) +
             TiffIfd(true, {TiffEntry(true, 256, 4, 9000), TiffEntry(true, 257, 4, 10)}, 0),
         true, Format::Tiff, 9000, 50},
        {"tiff, big-endian",
         std::string("MM\0*", 4) + Be32(8) +
             TiffIfd(false, {TiffEntry(false, 257, 3, 3), TiffEntry(false, 256, 4, 7)}, 0),
         true, Format::Tiff, 7, 3},
        {"tiff, an IFD chain that loops",
         tiffLittle + TiffIfd(true, {TiffEntry(true, 256, 3, 1), TiffEntry(true, 257, 3, 1)}, 8),
         false, Format::Tiff, 0, 0},
        {"tiff, no height", tiffLittle + TiffIfd(true, {TiffEntry(true, 256, 3, 1)}, 0), false,
         Format::Tiff, 0, 0},
        {"tiff, IFD past the end", "II*" + Zeros(1) + Le32(4000) + Zeros(8), false, Format::Tiff, 0, 0},
        {"emf, frame in device pixels", Emf(99, 49, 5000, 2500, 1000, 250), true, Format::Emf, 200,
         100},
        {"emf, bounds larger than the frame", Emf(8999, 9, 100, 100, 1000, 250), true, Format::Emf,
         9000, 10},
        {"emf, no reference device", Emf(99, 49, 5000, 2500, 0, 0), false, Format::Emf, 0, 0},
        {"wmf, units finer than pixels", Wmf(1440, 720, 1440), true, Format::Wmf, 1440, 720},
        {"wmf, units coarser than pixels", Wmf(100, 50, 48), true, Format::Wmf, 200, 100},
        {"wmf, not placeable", Le16(1) + Le16(9) + Le16(0x300) + Zeros(12), false, Format::Wmf, 0, 0},
        {"text", "just some text, not a picture", false, Format::Png, 0, 0},
        {"empty", "", false, Format::Png, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<PictureHeader::Size> size = PictureHeader::Read(c.bytes);
        ASSERT_EQ(c.sized, size.has_value());
        if (!size)
            continue;
        EXPECT_EQ(int(c.format), int(size->format));
        EXPECT_EQ(c.width, size->width);
        EXPECT_EQ(c.height, size->height);
    }

    // The bound: 8192 a side and 32 Mi pixels in all, both inclusive.
    EXPECT_TRUE(PictureHeader::WithinBound(8192, 4096));
    EXPECT_TRUE(PictureHeader::WithinBound(5792, 5792));
    EXPECT_FALSE(PictureHeader::WithinBound(5793, 5793));
    EXPECT_FALSE(PictureHeader::WithinBound(8193, 1));
    EXPECT_FALSE(PictureHeader::WithinBound(1, 8193));
    EXPECT_FALSE(PictureHeader::WithinBound(8192, 8192));
}

// Files of GDI+'s own encoders: the header reader agrees with the decoder
// on their size, and CSkinImage loads one at the longest side allowed but
// refuses one a pixel longer, which the decoder alone would take.
TEST(PictureHeader, AgreesWithTheEncodersAndBoundsTheLoads) {
    struct Encoded {
        const char* extension;
        const wchar_t* mimeType;
        Format format;
        bool decodes;
    };
    // Wine's GIF encoder writes a frame without image data, which no decoder
    // takes: its GIF is checked by the header alone.
    const Encoded encoders[] = {{"png", L"image/png", Format::Png, true},
                                {"bmp", L"image/bmp", Format::Bmp, true},
                                {"gif", L"image/gif", Format::Gif, false},
                                {"jpg", L"image/jpeg", Format::Jpeg, true},
                                {"tif", L"image/tiff", Format::Tiff, true}};
    HDC screen = ::GetDC(nullptr);
    for (const Encoded& encoder : encoders) {
        for (const int width : {3, 8192, 8193}) {
            SCOPED_TRACE(std::string(encoder.extension) + " " + std::to_string(width) + " x 2");
            const std::string path =
                WriteSolidPicture("header-" + std::to_string(width) + "." + encoder.extension, width,
                                  2, 0xFF3060C0, encoder.mimeType, PixelFormat24bppRGB);
            const std::optional<PictureHeader::Size> size = PictureHeader::Read(ReadFileBytes(path));
            ASSERT_TRUE(size.has_value());
            EXPECT_EQ(int(encoder.format), int(size->format));
            EXPECT_EQ(uint32_t(width), size->width);
            EXPECT_EQ(2u, size->height);

            if (!encoder.decodes)
                continue;
            CSkinImage image;
            image.LoadFromFile(screen, path.c_str());
            EXPECT_TRUE(image.IsLoaded());
            EXPECT_EQ(width > 8192 ? 0 : width, image.GetWidth());
            EXPECT_EQ(width > 8192 ? 0 : 2, image.GetHeight());
        }
    }
    ::ReleaseDC(nullptr, screen);
}
