// PictureHeader: one small reader per format, each over bounds-checked
// little- and big-endian reads of the bytes given; a read past their end
// fails the whole format, so a header cut short is never sized.
#include "PictureHeader.h"

#include <algorithm>
#include <cstdlib>

namespace PictureHeader {
namespace {

constexpr std::string_view kPngSignature("\x89PNG\r\n\x1a\n", 8);

// Reads of fixed-width integers at an offset, false past the end.
struct Bytes {
    std::string_view data;

    bool Has(uint64_t offset, uint64_t count) const {
        return offset <= data.size() && count <= data.size() - offset;
    }
    uint32_t At(size_t offset) const { return static_cast<unsigned char>(data[offset]); }
    bool U8(uint64_t offset, uint32_t& value) const {
        if (!Has(offset, 1))
            return false;
        value = At(offset);
        return true;
    }
    bool Le16(uint64_t offset, uint32_t& value) const {
        if (!Has(offset, 2))
            return false;
        value = At(offset) | At(offset + 1) << 8;
        return true;
    }
    bool Be16(uint64_t offset, uint32_t& value) const {
        if (!Has(offset, 2))
            return false;
        value = At(offset) << 8 | At(offset + 1);
        return true;
    }
    bool Le32(uint64_t offset, uint32_t& value) const {
        if (!Has(offset, 4))
            return false;
        value = At(offset) | At(offset + 1) << 8 | At(offset + 2) << 16 | At(offset + 3) << 24;
        return true;
    }
    bool Be32(uint64_t offset, uint32_t& value) const {
        if (!Has(offset, 4))
            return false;
        value = At(offset) << 24 | At(offset + 1) << 16 | At(offset + 2) << 8 | At(offset + 3);
        return true;
    }
    bool Starts(uint64_t offset, std::string_view prefix) const {
        return Has(offset, prefix.size()) && data.substr(offset, prefix.size()) == prefix;
    }
};

// A signed 32-bit field as its length: its absolute value.
uint32_t Magnitude(uint32_t field) {
    const int64_t value = static_cast<int32_t>(field);
    return static_cast<uint32_t>(value < 0 ? -value : value);
}

uint32_t Clamped(int64_t value) {
    value = value < 0 ? -value : value;
    return value > int64_t(UINT32_MAX) ? UINT32_MAX : static_cast<uint32_t>(value);
}

std::optional<Size> Sized(Format format, uint32_t width, uint32_t height) {
    if (width == 0 || height == 0)
        return std::nullopt;
    return Size{format, width, height};
}

std::optional<Size> ReadPng(const Bytes& file) {
    uint32_t width = 0, height = 0;
    if (!file.Starts(12, "IHDR") || !file.Be32(16, width) || !file.Be32(20, height))
        return std::nullopt;
    return Sized(Format::Png, width, height);
}

// The DIB header at offset: BITMAPCOREHEADER (16-bit sizes) or any later
// header (signed 32-bit sizes, negative for top-down).
bool ReadDibHeader(const Bytes& file, uint64_t offset, uint32_t& width, uint32_t& height) {
    uint32_t headerSize = 0;
    if (!file.Le32(offset, headerSize))
        return false;
    if (headerSize == 12)
        return file.Le16(offset + 4, width) && file.Le16(offset + 6, height);
    if (headerSize < 16 || !file.Le32(offset + 4, width) || !file.Le32(offset + 8, height))
        return false;
    if (static_cast<int32_t>(width) <= 0)
        return false;
    height = Magnitude(height);
    return true;
}

std::optional<Size> ReadBmp(const Bytes& file) {
    uint32_t width = 0, height = 0;
    if (!ReadDibHeader(file, 14, width, height))
        return std::nullopt;
    return Sized(Format::Bmp, width, height);
}

// Skips GIF data sub-blocks from offset; false when they run out.
bool SkipSubBlocks(const Bytes& file, uint64_t& offset) {
    for (uint32_t length = 1; length != 0; offset += length) {
        if (!file.U8(offset++, length))
            return false;
    }
    return true;
}

// The logical screen, grown to cover every frame found; at least the first
// frame must lie within the bytes. Later frames are decoded only when a
// caller selects them, so running out of bytes after the first ends the walk.
std::optional<Size> ReadGif(const Bytes& file) {
    uint32_t width = 0, height = 0, flags = 0;
    if (!file.Le16(6, width) || !file.Le16(8, height) || !file.U8(10, flags))
        return std::nullopt;
    uint64_t offset = 13 + ((flags & 0x80) ? 3u << ((flags & 7) + 1) : 0);
    bool framed = false;
    for (uint32_t block = 0; file.U8(offset, block) && block != 0x3B;) {
        if (block == 0x21) {
            offset += 2; // introducer and label
        } else if (block == 0x2C) {
            uint32_t left = 0, top = 0, frameWidth = 0, frameHeight = 0, frameFlags = 0;
            if (!file.Le16(offset + 1, left) || !file.Le16(offset + 3, top) ||
                !file.Le16(offset + 5, frameWidth) || !file.Le16(offset + 7, frameHeight) ||
                !file.U8(offset + 9, frameFlags))
                break;
            if (frameWidth == 0 || frameHeight == 0)
                return std::nullopt;
            width = std::max(width, left + frameWidth);
            height = std::max(height, top + frameHeight);
            framed = true;
            offset += 10 + ((frameFlags & 0x80) ? 3u << ((frameFlags & 7) + 1) : 0);
            offset += 1; // LZW minimum code size
        } else {
            break; // not a block: the decoder stops here too
        }
        if (!SkipSubBlocks(file, offset))
            break;
    }
    if (!framed)
        return std::nullopt;
    return Sized(Format::Gif, width, height);
}

bool IsFrameHeader(uint32_t marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

bool IsStandalone(uint32_t marker) {
    return marker == 0x01 || marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7);
}

// Marker segments up to the first frame header. A height of 0 (given later
// in a DNL segment) is not sized.
std::optional<Size> ReadJpeg(const Bytes& file) {
    uint64_t offset = 2;
    uint32_t marker = 0, length = 0;
    for (;;) {
        if (!file.U8(offset, marker) || marker != 0xFF)
            return std::nullopt;
        while (file.U8(offset, marker) && marker == 0xFF)
            ++offset; // fill bytes
        if (!file.U8(offset++, marker))
            return std::nullopt;
        if (IsStandalone(marker))
            continue;
        if (marker == 0xD9 || marker == 0xDA || !file.Be16(offset, length) || length < 2)
            return std::nullopt; // scan data or the end before any frame
        if (IsFrameHeader(marker)) {
            uint32_t width = 0, height = 0;
            if (!file.Be16(offset + 3, height) || !file.Be16(offset + 5, width))
                return std::nullopt;
            return Sized(Format::Jpeg, width, height);
        }
        offset += length;
    }
}

// One icon directory entry: the PNG or DIB it points at decides, as the
// decoder reads those; the directory's bytes (0 meaning 256) otherwise.
bool ReadIconEntry(const Bytes& file, uint64_t entry, uint32_t& width, uint32_t& height) {
    uint32_t listedWidth = 0, listedHeight = 0, offset = 0;
    if (!file.U8(entry, listedWidth) || !file.U8(entry + 1, listedHeight) ||
        !file.Le32(entry + 12, offset) || !file.Has(offset, 16))
        return false;
    if (file.Starts(offset, kPngSignature)) {
        const std::optional<Size> png = ReadPng(Bytes{file.data.substr(offset)});
        if (!png)
            return false;
        width = png->width;
        height = png->height;
        return true;
    }
    uint32_t headerSize = 0;
    if (file.Le32(offset, headerSize) && headerSize >= 40) {
        if (!ReadDibHeader(file, offset, width, height))
            return false;
        height /= 2; // the colour rows and the mask rows
        return true;
    }
    width = listedWidth ? listedWidth : 256;
    height = listedHeight ? listedHeight : 256;
    return true;
}

std::optional<Size> ReadIcon(const Bytes& file) {
    uint32_t count = 0;
    if (!file.Le16(4, count) || count == 0)
        return std::nullopt;
    uint32_t width = 0, height = 0;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t entryWidth = 0, entryHeight = 0;
        if (!ReadIconEntry(file, 6 + 16ull * i, entryWidth, entryHeight) || entryWidth == 0 ||
            entryHeight == 0)
            return std::nullopt;
        width = std::max(width, entryWidth);
        height = std::max(height, entryHeight);
    }
    return Sized(Format::Icon, width, height);
}

// Every IFD of the chain must lie within the bytes and give both sizes.
std::optional<Size> ReadTiff(const Bytes& file) {
    const bool little = file.Starts(0, "II");
    const auto u16 = [&](uint64_t at, uint32_t& v) { return little ? file.Le16(at, v) : file.Be16(at, v); };
    const auto u32 = [&](uint64_t at, uint32_t& v) { return little ? file.Le32(at, v) : file.Be32(at, v); };
    constexpr int kMostImages = 1024; // a chain that loops ends here
    uint32_t ifd = 0, width = 0, height = 0;
    if (!u32(4, ifd) || ifd == 0)
        return std::nullopt;
    for (int image = 0; ifd != 0; ++image) {
        uint32_t entries = 0;
        if (image == kMostImages || !u16(ifd, entries))
            return std::nullopt;
        uint32_t imageWidth = 0, imageHeight = 0;
        for (uint32_t i = 0; i < entries; ++i) {
            const uint64_t entry = ifd + 2ull + 12ull * i;
            uint32_t tag = 0, type = 0, value = 0;
            if (!u16(entry, tag) || !u16(entry + 2, type))
                return std::nullopt;
            if (tag != 256 && tag != 257)
                continue;
            if (type == 3 ? !u16(entry + 8, value) : type == 4 ? !u32(entry + 8, value) : true)
                return std::nullopt;
            (tag == 256 ? imageWidth : imageHeight) = value;
        }
        if (imageWidth == 0 || imageHeight == 0 || !u32(ifd + 2ull + 12ull * entries, ifd))
            return std::nullopt;
        width = std::max(width, imageWidth);
        height = std::max(height, imageHeight);
    }
    return Sized(Format::Tiff, width, height);
}

// The larger of the bounds (device pixels, inclusive) and the frame (0.01
// mm) in the reference device's pixels.
std::optional<Size> ReadEmf(const Bytes& file) {
    uint32_t rect[8] = {}, device[4] = {};
    for (int i = 0; i < 8; ++i)
        if (!file.Le32(8 + 4 * i, rect[i]))
            return std::nullopt;
    for (int i = 0; i < 4; ++i)
        if (!file.Le32(72 + 4 * i, device[i]))
            return std::nullopt;
    const int64_t deviceWidth = static_cast<int32_t>(device[0]);
    const int64_t deviceHeight = static_cast<int32_t>(device[1]);
    const int64_t millimetresWide = static_cast<int32_t>(device[2]);
    const int64_t millimetresHigh = static_cast<int32_t>(device[3]);
    if (deviceWidth <= 0 || deviceHeight <= 0 || millimetresWide <= 0 || millimetresHigh <= 0)
        return std::nullopt;
    const auto length = [&](int first, int second) {
        return static_cast<int64_t>(static_cast<int32_t>(rect[second])) -
               static_cast<int32_t>(rect[first]);
    };
    // In floating point: the product of two 32-bit lengths can overflow 64 bits.
    const auto inPixels = [](int64_t hundredths, int64_t pixels, int64_t millimetres) {
        const double value = double(hundredths) * double(pixels) / (double(millimetres) * 100);
        return std::abs(value) >= double(UINT32_MAX) ? int64_t(UINT32_MAX) : int64_t(value);
    };
    const int64_t frameWidth = inPixels(length(4, 6), deviceWidth, millimetresWide);
    const int64_t frameHeight = inPixels(length(5, 7), deviceHeight, millimetresHigh);
    const uint32_t width = std::max(Clamped(length(0, 2) + 1), Clamped(frameWidth));
    const uint32_t height = std::max(Clamped(length(1, 3) + 1), Clamped(frameHeight));
    return Sized(Format::Emf, width, height);
}

// A placeable WMF's bounding box, in its units and in pixels at 96 DPI.
std::optional<Size> ReadWmf(const Bytes& file) {
    uint32_t box[4] = {}, unitsPerInch = 0;
    for (int i = 0; i < 4; ++i)
        if (!file.Le16(6 + 2 * i, box[i]))
            return std::nullopt;
    if (!file.Le16(14, unitsPerInch) || unitsPerInch == 0)
        return std::nullopt;
    const auto units = [&](int first, int second) {
        return Clamped(int64_t(static_cast<int16_t>(box[second])) - static_cast<int16_t>(box[first]));
    };
    const auto pixels = [&](uint32_t length) {
        return std::max(length, static_cast<uint32_t>(uint64_t(length) * 96 / unitsPerInch));
    };
    return Sized(Format::Wmf, pixels(units(0, 2)), pixels(units(1, 3)));
}

} // namespace

std::optional<Size> Read(std::string_view bytes) {
    const Bytes file{bytes};
    uint32_t word = 0;
    if (file.Starts(0, kPngSignature))
        return ReadPng(file);
    if (file.Starts(0, "BM"))
        return ReadBmp(file);
    if (file.Starts(0, "GIF87a") || file.Starts(0, "GIF89a"))
        return ReadGif(file);
    if (file.Starts(0, "\xFF\xD8"))
        return ReadJpeg(file);
    if (file.Starts(0, std::string_view("\0\0\1\0", 4)) || file.Starts(0, std::string_view("\0\0\2\0", 4)))
        return ReadIcon(file);
    if (file.Starts(0, std::string_view("II*\0", 4)) || file.Starts(0, std::string_view("MM\0*", 4)))
        return ReadTiff(file);
    if (file.Le32(0, word) && word == 1 && file.Le32(40, word) && word == 0x464D4520)
        return ReadEmf(file);
    if (file.Le32(0, word) && word == 0x9AC6CDD7)
        return ReadWmf(file);
    return std::nullopt;
}

bool WithinBound(uint64_t width, uint64_t height) {
    return width <= kMaxSide && height <= kMaxSide && width * height <= kMaxPixels;
}

} // namespace PictureHeader
