// Fuzzes the picture header reader, PictureHeader::Read, over any bytes as
// the first bytes of a file: it never reads past them, a size it gives is
// never zero, a format whose size lies at fixed offsets keeps that size when
// more bytes follow, and the bound agrees with its definition.
#include "FuzzCheck.h"
#include "PictureHeader.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::optional<PictureHeader::Size> read = PictureHeader::Read(bytes);
    if (!read)
        return 0;
    FUZZ_CHECK(read->width > 0 && read->height > 0);
    const bool within = PictureHeader::WithinBound(read->width, read->height);
    FUZZ_CHECK(within == (read->width <= PictureHeader::kMaxSide &&
                          read->height <= PictureHeader::kMaxSide &&
                          uint64_t(read->width) * read->height <= PictureHeader::kMaxPixels));
    using PictureHeader::Format;
    if (read->format == Format::Png || read->format == Format::Bmp ||
        read->format == Format::Emf || read->format == Format::Wmf) {
        const std::string longer = std::string(bytes) + std::string(64, '\xFF');
        const std::optional<PictureHeader::Size> again = PictureHeader::Read(longer);
        FUZZ_CHECK(again && again->format == read->format && again->width == read->width &&
                   again->height == read->height);
    }
    return 0;
}
