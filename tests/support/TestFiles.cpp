#include "TestFiles.h"
#include <cstdio>
#include "../../src/render/GdiPlus.h"
#include <vector>
#include <windows.h>

namespace {
std::wstring Widen(const std::string& s) {
    return std::wstring(s.begin(), s.end()); // scratch paths are ASCII
}

bool EncoderFor(const wchar_t* mimeType, CLSID* clsid) {
    UINT count = 0, size = 0;
    Gdiplus::GetImageEncodersSize(&count, &size);
    std::vector<char> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    Gdiplus::GetImageEncoders(count, size, codecs);
    for (UINT i = 0; i < count; ++i) {
        if (std::wstring(codecs[i].MimeType) == mimeType) {
            *clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}
} // namespace

std::string ScratchDir() {
    static std::string dir;
    if (dir.empty()) {
        char temp[MAX_PATH];
        ::GetTempPathA(MAX_PATH, temp);
        dir = std::string(temp) + "tavrel-test-" + std::to_string(::GetCurrentProcessId());
        ::CreateDirectoryA(dir.c_str(), nullptr);
    }
    return dir;
}

std::string ScratchPath(const std::string& name) {
    return ScratchDir() + "\\" + name;
}

std::string WriteSolidPng(const std::string& name, int width, int height, uint32_t argb) {
    return WriteSolidPicture(name, width, height, argb, L"image/png", PixelFormat32bppARGB);
}

std::string WriteSolidPicture(const std::string& name, int width, int height, uint32_t argb,
                              const wchar_t* mimeType, int pixelFormat) {
    const std::string path = ScratchPath(name);
    Gdiplus::Bitmap bitmap(width, height, pixelFormat);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap.SetPixel(x, y, Gdiplus::Color(argb));
    CLSID encoder;
    if (EncoderFor(mimeType, &encoder))
        bitmap.Save(Widen(path).c_str(), &encoder, nullptr);
    return path;
}

std::string WriteFileBytes(const std::string& name, const std::string& bytes) {
    const std::string path = ScratchPath(name);
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    return path;
}

std::string ReadFileBytes(const std::string& path) {
    std::string bytes;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof(buffer), f)) > 0)
            bytes.append(buffer, n);
        std::fclose(f);
    }
    return bytes;
}
