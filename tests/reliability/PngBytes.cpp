// PngBytes: signature, chunks with their CRC32, and a zlib stream made of
// stored (uncompressed) deflate blocks with its Adler-32, which is all a
// PNG needs and keeps the builder short; for huge pictures of zeros, one
// block of fixed Huffman codes instead.
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

// Deflate's bit order: fields from the least significant bit up, Huffman
// codes from their most significant bit.
class BitWriter {
public:
    void Field(uint32_t value, int bits) {
        for (int i = 0; i < bits; ++i)
            Bit((value >> i) & 1);
    }
    void Code(uint32_t code, int bits) {
        for (int i = bits - 1; i >= 0; --i)
            Bit((code >> i) & 1);
    }
    std::string Finish() {
        if (used)
            out += static_cast<char>(pending);
        return out;
    }

private:
    void Bit(uint32_t bit) {
        pending |= bit << used;
        if (++used == 8) {
            out += static_cast<char>(pending);
            pending = 0;
            used = 0;
        }
    }
    std::string out;
    uint32_t pending = 0;
    int used = 0;
};

// zlib header, one final fixed-Huffman block of count zero bytes, the
// Adler-32 (of zeros only b grows: by 1 per byte).
std::string ZerosZlib(uint64_t count) {
    constexpr uint32_t kLiteralZero = 0x30, kLength258 = 0xC5, kEndOfBlock = 0; // codes
    BitWriter bits;
    bits.Field(1, 1); // the last block
    bits.Field(1, 2); // fixed Huffman codes
    bits.Code(kLiteralZero, 8);
    uint64_t left = count - 1;
    for (; left >= 258; left -= 258) {
        bits.Code(kLength258, 8);
        bits.Code(0, 5); // distance 1
    }
    for (; left > 0; --left)
        bits.Code(kLiteralZero, 8);
    bits.Code(kEndOfBlock, 7);
    std::string out = "\x78\x01" + bits.Finish();
    AppendBigEndian(out, static_cast<uint32_t>(count % 65521) << 16 | 1);
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

std::string CompressedBlackPng(uint32_t width, uint32_t height) {
    return std::string(kSignature, 8) + Ihdr(width, height) +
           Chunk("IDAT", ZerosZlib(uint64_t(height) * (uint64_t(width) + 1))) + Chunk("IEND", "");
}

std::string TinyValidPng(uint32_t width, uint32_t height) {
    return std::string(kSignature, 8) + Ihdr(width, height) +
           Chunk("IDAT", StoredZlib(Rows(width, height, '\x80'))) + Chunk("IEND", "");
}
