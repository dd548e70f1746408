// PngBytes: PNG files assembled byte by byte, for images that no encoder
// would write: a header that declares any size over a tiny (or missing)
// picture, and files cut short. Chunks carry correct CRC32s, so a decoder
// cannot reject them for a bad checksum before it reaches the size.
#pragma once
#include <cstdint>
#include <string>

// CRC-32 (ISO-HDLC, the polynomial PNG and zlib use) of bytes.
uint32_t Crc32(const std::string& bytes);

// A PNG whose IHDR declares width x height, 8-bit greyscale, followed by
// one IDAT holding a valid zlib stream of just rowsPresent rows (each one
// filter byte and width zero bytes; 0 gives an empty stream), then IEND.
std::string PngDeclaringSize(uint32_t width, uint32_t height, uint32_t rowsPresent);

// A complete, valid width x height PNG (greyscale, every pixel mid grey).
std::string TinyValidPng(uint32_t width, uint32_t height);

// A complete, valid width x height PNG (greyscale, every pixel black) whose
// rows are compressed: one fixed-Huffman deflate block of a literal zero
// and then copies of 258 bytes at distance 1, 13 bits each, so that 20000 x
// 20000 pixels take about 2.5 MB and still decode in full.
std::string CompressedBlackPng(uint32_t width, uint32_t height);
