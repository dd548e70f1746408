#include "PngBytes.h"
#include "SkinnedBar.h"
#include "TestFiles.h"
#include <gtest/gtest.h>
#include <cstdio>

TEST(Probe, Images) {
    HDC screen = ::GetDC(nullptr);
    std::string valid = ReadFileBytes(SkinFiles::Get().background);
    struct C { const char* name; std::string path; } cases[] = {
        {"empty", WriteFileBytes("empty.png", "")},
        {"trunc", WriteFileBytes("trunc.png", valid.substr(0, valid.size() / 2))},
        {"text", WriteFileBytes("text.png", "hello world, not an image")},
        {"huge0", WriteFileBytes("huge0.png", PngDeclaringSize(20000, 20000, 0))},
        {"huge1", WriteFileBytes("huge1.png", PngDeclaringSize(20000, 20000, 1))},
        {"tiny", WriteFileBytes("tiny.png", TinyValidPng(3, 2))},
        {"folder", ScratchDir()},
        {"missing", ScratchPath("nope.png")},
        {"long", std::string(1 << 20, 'a')},
        {"nonascii", ScratchPath("\xe9\xff\x80.png")},
    };
    for (auto& c : cases) {
        size_t before = PrivateBytes();
        DWORD t = GetTickCount();
        CSkinImage image;
        image.LoadFromFile(screen, c.path.c_str());
        printf("%s: loaded=%d %dx%d ms=%lu mem=%lld\n", c.name, (int)image.IsLoaded(), image.GetWidth(), image.GetHeight(),
               GetTickCount() - t, (long long)(PrivateBytes() - before));
    }
    DWORD t = GetTickCount();
    for (int i = 0; i < 200; ++i) {
        CSkinImage image;
        image.LoadFromFile(screen, SkinFiles::Get().background.c_str());
    }
    printf("200 bg loads: %lu ms\n", GetTickCount() - t);
    t = GetTickCount();
    for (int i = 0; i < 200; ++i) {
        CSkinImage image;
        image.LoadFromFile(screen, SkinFiles::Get().icon.c_str());
    }
    printf("200 icon loads: %lu ms\n", GetTickCount() - t);
}
