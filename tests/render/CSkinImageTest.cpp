// CSkinImage against real GDI+ decoding and real GDI blits: sizes after a
// load, files that do not decode, handle release over many loads, and the
// pixels that StretchDraw and AlphaDraw leave on a canvas.
#include "render/CSkinImage.h"
#include "Pixels.h"
#include "TestFiles.h"
#include "render/GdiPlus.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

namespace {
constexpr uint32_t kBlue = 0xFF0000FF;
constexpr uint32_t kGreen = 0xFF00FF00;
// An opaque copy makes no promise about the alpha byte of a plain 32-bit
// target (Wine's halftone stretch clears it).
constexpr uint32_t kRgb = 0x00FFFFFF;

// Each channel within 2 of the expected value (blend rounding differs).
bool Near(uint32_t actual, uint32_t expected) {
    const int tolerance = 2;
    for (int shift = 0; shift < 32; shift += 8) {
        const int a = (actual >> shift) & 0xFF;
        const int e = (expected >> shift) & 0xFF;
        if (std::abs(a - e) > tolerance)
            return false;
    }
    return true;
}

// A bitmap file whose header claims 50,000 x 50,000 pixels of 24 bits and
// holds none of them.
std::string HugeDeclaredBmp() {
    const char header[] = "BM\x36\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0"
                          "\x50\xC3\0\0\x50\xC3\0\0\x01\0\x18\0";
    std::string bytes(header, sizeof(header) - 1);
    bytes.resize(54, '\0');
    return WriteFileBytes("huge.bmp", bytes);
}
} // namespace

class SkinImageTest : public ::testing::Test {
protected:
    void SetUp() override { screenDC = ::GetDC(nullptr); }
    void TearDown() override { ::ReleaseDC(nullptr, screenDC); }

    enum class Blit { Stretch, Alpha };

    // Draws the image into target on a canvas of one colour; returns the
    // canvas pixels and the Graphics' last status.
    std::vector<uint32_t> DrawOnCanvas(CSkinImage& image, Blit blit, RECT target, int canvasWidth,
                                       int canvasHeight, uint32_t background,
                                       Gdiplus::Status* status = nullptr) {
        Canvas canvas = MakeCanvas(canvasWidth, canvasHeight, background);
        {
            Gdiplus::Graphics graphics(canvas.dc);
            const int w = target.right - target.left;
            const int h = target.bottom - target.top;
            if (blit == Blit::Stretch)
                image.StretchDraw(&graphics, target.left, target.top, w, h);
            else
                image.AlphaDraw(&graphics, target.left, target.top, w, h);
            if (status)
                *status = graphics.GetLastStatus();
        }
        ::GdiFlush();
        std::vector<uint32_t> pixels(canvas.bits, canvas.bits + canvasWidth * canvasHeight);
        FreeCanvas(canvas);
        return pixels;
    }

    HDC screenDC = nullptr;
};

TEST_F(SkinImageTest, LoadTakesTheSizeAndPixelsOfTheLastFile) {
    const std::string wide = WriteSolidPng("wide.png", 5, 3, kGreen);
    const std::string tall = WriteSolidPng("tall.png", 2, 7, 0xFFFF0000);
    CSkinImage image;
    image.LoadFromFile(screenDC, wide.c_str());
    EXPECT_EQ(5, image.GetWidth());
    EXPECT_EQ(3, image.GetHeight());
    image.LoadFromFile(screenDC, tall.c_str());
    ASSERT_TRUE(image.IsLoaded());
    EXPECT_EQ(2, image.GetWidth());
    EXPECT_EQ(7, image.GetHeight());
    const PixelImage pixels = ReadMemoryDC(image.memDC);
    ASSERT_EQ(2, pixels.width);
    ASSERT_EQ(7, pixels.height);
    EXPECT_EQ(0xFFFF0000u, pixels.At(1, 6));
}

TEST_F(SkinImageTest, UndecodableFilesGiveALoadedEmptyImageThatDrawsNothing) {
    const std::string good = WriteSolidPng("good.png", 4, 4, kGreen);
    const std::string paths[] = {
        ScratchPath("missing.png"),
        "",
        WriteFileBytes("empty.png", ""),
        WriteFileBytes("garbage.png", "\x89PNG\r\n\x1a\n not really an image"),
        HugeDeclaredBmp(),
    };
    for (const std::string& path : paths) {
        SCOPED_TRACE("path: '" + path + "'");
        CSkinImage image;
        image.LoadFromFile(screenDC, good.c_str());
        image.LoadFromFile(screenDC, path.c_str());
        EXPECT_TRUE(image.IsLoaded());
        EXPECT_EQ(0, image.GetWidth());
        EXPECT_EQ(0, image.GetHeight());
        for (Blit blit : {Blit::Stretch, Blit::Alpha}) {
            const auto pixels = DrawOnCanvas(image, blit, {0, 0, 6, 6}, 6, 6, kBlue);
            EXPECT_EQ(std::vector<uint32_t>(36, kBlue), pixels);
        }
    }
}

// Without a usable reference DC no bitmap can be made; the image then stays
// unloaded instead of drawing from a half-made memory DC.
TEST_F(SkinImageTest, ABitmapThatCannotBeMadeLeavesTheImageUnloaded) {
    const std::string good = WriteSolidPng("good.png", 4, 4, kGreen);
    CSkinImage image;
    image.LoadFromFile(nullptr, good.c_str());
    EXPECT_FALSE(image.IsLoaded());
    const auto pixels = DrawOnCanvas(image, Blit::Alpha, {0, 0, 4, 4}, 4, 4, kBlue);
    EXPECT_EQ(std::vector<uint32_t>(16, kBlue), pixels);
}

TEST_F(SkinImageTest, RepeatedLoadsReleaseTheReplacedHandles) {
    const std::string good = WriteSolidPng("repeat.png", 3, 3, kGreen);
    const std::string missing = ScratchPath("repeat-missing.png");
    CSkinImage image;
    image.LoadFromFile(screenDC, good.c_str());
    // A picture of 0 x 0 gets the system's shared 1 x 1 bitmap (the one a
    // fresh memory DC holds), which deleting leaves alone.
    const HDC freshDC = ::CreateCompatibleDC(nullptr);
    const HGDIOBJ sharedEmptyBitmap = ::GetCurrentObject(freshDC, OBJ_BITMAP);
    ::DeleteDC(freshDC);
    int leaked = 0;
    int unloaded = 0;
    // Far past the per-process GDI handle limit: leaking either handle would
    // make the loads fail long before the end.
    for (int i = 0; i < 20000; ++i) {
        const HDC oldDC = image.memDC;
        const HBITMAP oldBitmap = image.bitmap;
        image.LoadFromFile(screenDC, (i % 2 ? good : missing).c_str());
        leaked += ::GetObjectType(oldDC) != 0 ||
                  (oldBitmap != sharedEmptyBitmap && ::GetObjectType(oldBitmap) != 0);
        unloaded += !image.IsLoaded();
    }
    EXPECT_EQ(0, leaked);
    EXPECT_EQ(0, unloaded);
    EXPECT_EQ(3, image.GetWidth());
    const HBITMAP probe = ::CreateCompatibleBitmap(screenDC, 64, 64);
    EXPECT_NE(nullptr, probe);
    ::DeleteObject(probe);
}

TEST_F(SkinImageTest, ReleaseAndDestructionDeleteTheHandles) {
    const std::string path = WriteSolidPng("release.png", 6, 2, kGreen);
    CSkinImage image;
    image.LoadFromFile(screenDC, path.c_str());
    const HDC dc = image.memDC;
    const HBITMAP bitmap = image.bitmap;
    image.Release();
    EXPECT_FALSE(image.IsLoaded());
    EXPECT_EQ(0u, ::GetObjectType(dc));
    EXPECT_EQ(0u, ::GetObjectType(bitmap));
    EXPECT_EQ(6, image.GetWidth());
    EXPECT_EQ(2, image.GetHeight());
    image.Release(); // twice is harmless

    HDC destroyedDC = nullptr;
    HBITMAP destroyedBitmap = nullptr;
    {
        CSkinImage destroyed;
        destroyed.LoadFromFile(screenDC, path.c_str());
        destroyedDC = destroyed.memDC;
        destroyedBitmap = destroyed.bitmap;
    }
    EXPECT_EQ(0u, ::GetObjectType(destroyedDC));
    EXPECT_EQ(0u, ::GetObjectType(destroyedBitmap));
}

TEST_F(SkinImageTest, DrawingAFreshImageTouchesNeitherCanvasNorGraphics) {
    CSkinImage image;
    for (Blit blit : {Blit::Stretch, Blit::Alpha}) {
        Gdiplus::Status status = Gdiplus::GenericError;
        const auto pixels = DrawOnCanvas(image, blit, {0, 0, 4, 4}, 4, 4, kBlue, &status);
        EXPECT_EQ(std::vector<uint32_t>(16, kBlue), pixels);
        EXPECT_EQ(Gdiplus::Ok, status);
    }
    image.AlphaDraw(nullptr, 0, 0, 1, 1); // no graphics: nothing to draw on
}

TEST_F(SkinImageTest, StretchDrawFillsExactlyTheTargetRectangle) {
    const std::string path = WriteSolidPng("stretch.png", 3, 2, kGreen);
    CSkinImage image;
    image.LoadFromFile(screenDC, path.c_str());
    const RECT targets[] = {{1, 1, 7, 5}, {2, 3, 5, 5}}; // doubled, own size
    for (const RECT& target : targets) {
        SCOPED_TRACE(::testing::Message() << "target " << target.left << "," << target.top << " "
                                          << target.right << "," << target.bottom);
        const auto pixels = DrawOnCanvas(image, Blit::Stretch, target, 8, 6, kBlue);
        for (int y = 0; y < 6; ++y) {
            for (int x = 0; x < 8; ++x) {
                const POINT point{x, y};
                const uint32_t expected = ::PtInRect(&target, point) ? kGreen : kBlue;
                ASSERT_EQ(expected & kRgb, pixels[y * 8 + x] & kRgb) << "at " << x << "," << y;
            }
        }
    }
}

TEST_F(SkinImageTest, AlphaDrawBlendsEachPixelOverTheCanvas) {
    struct Case {
        uint32_t picture;
        uint32_t expected; // over opaque blue
    };
    const Case cases[] = {
        {kGreen, kGreen},         // opaque replaces
        {0x80FF0000, 0xFF80007F}, // half red over blue
        {0x00FF0000, kBlue},      // transparent leaves the canvas
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << "picture " << c.picture);
        const std::string path = WriteSolidPng("alpha.png", 2, 2, c.picture);
        CSkinImage image;
        image.LoadFromFile(screenDC, path.c_str());
        const auto pixels = DrawOnCanvas(image, Blit::Alpha, {1, 1, 5, 5}, 6, 6, kBlue);
        EXPECT_PRED2(Near, pixels[3 * 6 + 3], c.expected);
        EXPECT_EQ(kBlue, pixels[0]); // outside the target
    }
}

// A picture without alpha draws opaque, as the same picture in a PNG with
// full alpha does; pictures with alpha keep theirs (the cases above).
TEST_F(SkinImageTest, PicturesWithoutAlphaDrawOpaque) {
    struct Case {
        const char* name;
        const wchar_t* mime;
        int tolerance; // JPEG's compression moves a solid colour a little
    };
    const Case cases[] = {{"opaque.bmp", L"image/bmp", 0}, {"opaque.jpg", L"image/jpeg", 8}};
    const uint32_t red = 0xFFFF0000;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = WriteSolidPicture(c.name, 8, 8, red, c.mime, PixelFormat24bppRGB);
        for (int load = 0; load < 2; ++load) { // decoded, then from the picture cache
            CSkinImage image;
            image.LoadFromFile(screenDC, path.c_str());
            ASSERT_EQ(8, image.GetWidth());
            const auto pixels = DrawOnCanvas(image, Blit::Alpha, {1, 1, 5, 5}, 6, 6, kBlue);
            for (int channel = 0; channel < 32; channel += 8)
                EXPECT_NEAR((red >> channel) & 0xFF, (pixels[3 * 6 + 3] >> channel) & 0xFF,
                            c.tolerance)
                    << std::hex << pixels[3 * 6 + 3] << ", load " << load;
        }
    }
}
