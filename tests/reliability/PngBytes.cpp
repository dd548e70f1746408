// PngBytes: signature, chunks with their CRC32, and a zlib stream made of
// stored (uncompressed) deflate blocks with its Adler-32, which is all a
// PNG needs and keeps the builder short.
#include "PngBytes.h"
#include <algorithm>

namespace {

void AppendBigEndian(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

std::string Chunk(const char type[5], const std::string& data) {
    std::string typed(type, 4);
    typed += data;
    std::string chunk;
    AppendBigEndian(chunk, static_cast<uint32_t>(data.size()));
    chunk += typed;
    AppendBigEndian(chunk, Crc32(typed));
    return chunk;
}

uint32_t Adler32(const std::string& bytes) {
    uint32_t a = 1, b = 0;
    for (const char ch : bytes) {
        a = (a + static_cast<unsigned char>(ch)) % 65521;
        b = (b + a) % 65521;
    }
    return b << 16 | a;
}

// zlib header, the data in stored deflate blocks of at most 65535 bytes,
// then the Adler-32 of the data.
std::string StoredZlib(const std::string& data) {
    std::string out = "\x78\x01";
    size_t offset = 0;
    do {
        const size_t length = std::min<size_t>(65535, data.size() - offset);
        const bool last = offset + length == data.size();
        out += static_cast<char>(last ? 1 : 0);
        out += static_cast<char>(length & 0xFF);
        out += static_cast<char>(length >> 8);
        out += static_cast<char>(~length & 0xFF);
        out += static_cast<char>((~length >> 8) & 0xFF);
        out.append(data, offset, length);
        offset += length;
    } while (offset < data.size());
    AppendBigEndian(out, Adler32(data));
    return out;
}

std::string Ihdr(uint32_t width, uint32_t height) {
    std::string data;
    AppendBigEndian(data, width);
    AppendBigEndian(data, height);
    data += '\x08'; // bit depth
    data += '\x00'; // greyscale
    data += '\x00'; // deflate
    data += '\x00'; // adaptive filtering
    data += '\x00'; // no interlace
    return Chunk("IHDR", data);
}

std::string Rows(uint32_t width, uint32_t rows, char value) {
    std::string row(1, '\0'); // filter type None
    row.append(width, value);
    std::string all;
    for (uint32_t i = 0; i < rows; ++i)
        all += row;
    return all;
}

const char kSignature[] = "\x89PNG\r\n\x1a\n";

} // namespace

uint32_t Crc32(const std::string& bytes) {
    uint32_t crc = 0xFFFFFFFFu;
    for (const char ch : bytes) {
        crc ^= static_cast<unsigned char>(ch);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::string PngDeclaringSize(uint32_t width, uint32_t height, uint32_t rowsPresent) {
    return std::string(kSignature, 8) + Ihdr(width, height) +
           Chunk("IDAT", StoredZlib(Rows(width, rowsPresent, '\0'))) + Chunk("IEND", "");
}

std::string TinyValidPng(uint32_t width, uint32_t height) {
    return std::string(kSignature, 8) + Ihdr(width, height) +
           Chunk("IDAT", StoredZlib(Rows(width, height, '\x80'))) + Chunk("IEND", "");
}
