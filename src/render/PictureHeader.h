// PictureHeader: the size a picture file declares, read from its header
// before anything decodes it, as a pure function of the file's first bytes
// (no window, no Windows header), so that it can be table-tested and fuzzed
// natively as well as run under Wine.
//
// The formats are those GDI+ decodes: PNG (IHDR), BMP (every DIB header,
// BITMAPCOREHEADER included; a negative height is a top-down picture of
// that height), GIF (the logical screen and every frame found in the bytes;
// the first frame must be there), JPEG (the first SOFn frame header), ICO
// and CUR (every directory entry, sized from the PNG or DIB it holds),
// TIFF (every image of the IFD chain), EMF (its bounds and its frame in the
// reference device's pixels) and placeable WMF (its bounding box, in its own
// units and at 96 DPI). Anything else, a header cut short, a size of zero
// or size information beyond the bytes given is not sized.
//
// Where a file holds several images the size reported is the largest width
// and the largest height among them, so a bound on it holds for each.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace PictureHeader {

// The largest picture a skin may hold: no real skin comes near it, and the
// decoder's time and memory grow with the pixels it declares. Side lengths
// are checked separately, as a 1-pixel-high strip still costs its length.
constexpr uint32_t kMaxSide = 8192;
constexpr uint64_t kMaxPixels = 32ull * 1024 * 1024;
// The most of a file's start a caller hands over (a skin picture whole);
// size information further on is not found, and the file not sized.
constexpr size_t kBytesRead = 16 * 1024 * 1024;

enum class Format { Png, Bmp, Gif, Jpeg, Icon, Tiff, Emf, Wmf };

struct Size {
    Format format;
    uint32_t width;
    uint32_t height;
};

// The size declared by a file whose first bytes (up to kBytesRead) these
// are; nothing when the format is unknown or the size cannot be read.
std::optional<Size> Read(std::string_view bytes);
// True when width x height is within kMaxSide a side and kMaxPixels in all.
bool WithinBound(uint64_t width, uint64_t height);

} // namespace PictureHeader
