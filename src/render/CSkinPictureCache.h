// CSkinPictureCache: skin pictures as rendered from their files, kept for
// the whole process, so that a file named again is not decoded again: the
// same icon for the bar and for an engine, one picture for both lists, a
// second bar with the same skin, a skin loaded again unchanged. Decoding is
// the dearest step of making a bar (each decode also searches the
// registered image decoders).
//
// A picture is found only under the stamp it was stored with: the caller's
// description of every file it came from (name, size and a hash of its
// bytes), so a file changed on disk is decoded again. The cache holds at most
// MaxBytes of pixels and drops the least recently used picture first. Its
// functions may be called from any thread.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

class CSkinPictureCache {
public:
    static constexpr size_t MaxBytes = 4 * 1024 * 1024;

    struct Picture {
        int width = 0;
        int height = 0;
        std::vector<uint32_t> pixels; // width x height, top row first, 32-bit BGRA
    };

    // Copies the picture stored under key with this stamp; false when there
    // is none (or it was stored with another stamp).
    static bool Find(const std::string& key, const std::string& stamp, Picture& picture);
    // Keeps the picture under key, replacing what the key held. A picture
    // larger than MaxBytes is not kept.
    static void Store(const std::string& key, const std::string& stamp, Picture picture);
    // True when a picture of width x height is small enough to be kept;
    // callers check before they copy its pixels out.
    static bool Fits(int width, int height);
    // Drops the picture under key, if any.
    static void Forget(const std::string& key);
    // Drops every picture.
    static void Clear();
    // The pictures held and their bytes.
    static size_t Count();
    static size_t Bytes();
};
