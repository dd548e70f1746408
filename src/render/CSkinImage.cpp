// CSkinImage: decodes an image file once with GDI+, renders it at its own
// size into a memory DC holding a device-compatible bitmap, and throws the
// decoded image away; StretchDraw and AlphaDraw then cost one GDI blit.
// The image owns memDC and bitmap, and scaledDC and scaledBitmap: the
// picture as last stretched. Stretching with HALFTONE costs far more than a
// blit (a list background is stretched over every row on every paint), and
// lists repaint at one size again and again. The DC always goes before the
// bitmap that was selected into it, so a bitmap is never deleted while
// selected.
#include "CSkinImage.h"
#include "AnsiToWide.h"
#include "GdiPlus.h"
#include "ScaledSkinFile.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace {
using namespace Gdiplus;

// The caller's Graphics lends its DC for one GDI blit and gets it back when
// this goes out of scope. A failure stays in the Graphics' last status.
class BorrowedGraphicsDC {
public:
    explicit BorrowedGraphicsDC(Graphics* graphics) : graphics(graphics), dc(graphics->GetHDC()) {}
    ~BorrowedGraphicsDC() {
        if (dc)
            graphics->ReleaseHDC(dc);
    }
    BorrowedGraphicsDC(const BorrowedGraphicsDC&) = delete;
    BorrowedGraphicsDC& operator=(const BorrowedGraphicsDC&) = delete;
    HDC Get() const { return dc; }

private:
    Graphics* graphics;
    HDC dc;
};

// True when the rectangle lies wholly inside the DC's one visible rectangle.
bool FullyVisible(HDC dc, int x, int y, int w, int h) {
    RECT visible{};
    if (::GetClipBox(dc, &visible) != SIMPLEREGION)
        return false;
    return x >= visible.left && y >= visible.top && x + w <= visible.right &&
           y + h <= visible.bottom;
}

// A size GDI can take; anything beyond int counts as nothing decoded.
int ToPixelCount(UINT value) {
    return value > static_cast<UINT>(INT_MAX) ? 0 : static_cast<int>(value);
}

// The decoded file with its embedded colour profile applied, or null.
GpBitmap* DecodeFile(const char* path) {
    const std::wstring widePath = AnsiToWide(path);
    GpBitmap* decoded = nullptr;
    DllExports::GdipCreateBitmapFromFileICM(widePath.c_str(), &decoded);
    return decoded;
}

// The decoded size; 0 x 0 when nothing was decoded.
SIZE DecodedSize(GpBitmap* decoded) {
    UINT decodedWidth = 0;
    UINT decodedHeight = 0;
    if (decoded) {
        DllExports::GdipGetImageWidth(decoded, &decodedWidth);
        DllExports::GdipGetImageHeight(decoded, &decodedHeight);
    }
    return SIZE{ToPixelCount(decodedWidth), ToPixelCount(decodedHeight)};
}

void RenderUnscaled(GpBitmap* decoded, HDC target, int width, int height) {
    GpGraphics* graphics = nullptr;
    if (DllExports::GdipCreateFromHDC(target, &graphics) != Ok || !graphics)
        return;
    DllExports::GdipDrawImageRectRectI(graphics, decoded, 0, 0, width, height, 0, 0, width, height,
                                       UnitPixel, nullptr, nullptr, nullptr);
    DllExports::GdipDeleteGraphics(graphics);
}

// High-quality resampling of the whole picture to width x height. Mirrored
// edges keep the filter from blending transparent pixels into the border.
void RenderResampled(GpBitmap* decoded, SIZE source, HDC target, int width, int height) {
    GpGraphics* graphics = nullptr;
    if (DllExports::GdipCreateFromHDC(target, &graphics) != Ok || !graphics)
        return;
    GpImageAttributes* attributes = nullptr;
    if (DllExports::GdipCreateImageAttributes(&attributes) == Ok)
        DllExports::GdipSetImageAttributesWrapMode(attributes, WrapModeTileFlipXY, 0, FALSE);
    DllExports::GdipSetInterpolationMode(graphics, InterpolationModeHighQualityBicubic);
    DllExports::GdipSetPixelOffsetMode(graphics, PixelOffsetModeHalf);
    DllExports::GdipDrawImageRectRectI(graphics, decoded, 0, 0, width, height, 0, 0, source.cx,
                                       source.cy, UnitPixel, attributes, nullptr, nullptr);
    if (attributes)
        DllExports::GdipDisposeImageAttributes(attributes);
    DllExports::GdipDeleteGraphics(graphics);
}

// The first candidate file that decodes to a picture, or null; percent is
// the scale of the file taken.
GpBitmap* DecodeBestFile(const char* path, const CDpiScale& scale, int& percent) {
    const std::vector<ScaledSkinFile> candidates = ScaledSkinCandidates(path, scale);
    for (const ScaledSkinFile& file : candidates) {
        GpBitmap* decoded = DecodeFile(file.path.c_str());
        percent = file.percent;
        if (&file == &candidates.back() || DecodedSize(decoded).cx > 0)
            return decoded; // the named file is the last word, decoded or not
        if (decoded)
            DllExports::GdipDisposeImage(decoded);
    }
    return nullptr;
}

// A length of a picture drawn for filePercent at the scale: its 96-DPI
// length first, so a picture has one size whichever file it came from.
int ScaledLength(int length, int filePercent, const CDpiScale& scale) {
    return std::max(0, scale.Scale(::MulDiv(length, 100, filePercent))); // MulDiv: -1 on overflow
}
} // namespace

CSkinImage::CSkinImage() = default;

CSkinImage::~CSkinImage() {
    Release();
}

void CSkinImage::LoadFromFile(HDC referenceDC, const char* path, const CDpiScale& scale) {
    ReleaseScaled();
    ReplaceMemoryDC();
    int filePercent = 100;
    GpBitmap* decoded = DecodeBestFile(path, scale, filePercent);
    const SIZE size = DecodedSize(decoded);
    width = ScaledLength(size.cx, filePercent, scale);
    height = ScaledLength(size.cy, filePercent, scale);
    ReplaceBitmap(referenceDC);
    // When the bitmap could not be made (a picture too large for the
    // system, for instance) the image stays unloaded and nothing is drawn.
    if (decoded && IsLoaded() && width > 0 && height > 0) {
        if (width == size.cx && height == size.cy)
            RenderUnscaled(decoded, memDC, width, height);
        else
            RenderResampled(decoded, size, memDC, width, height);
    }
    if (decoded)
        DllExports::GdipDisposeImage(decoded);
}

void CSkinImage::CopyFrom(const CSkinImage& source, HDC referenceDC) {
    ReleaseScaled();
    ReplaceMemoryDC();
    width = source.width;
    height = source.height;
    ReplaceBitmap(referenceDC);
    if (source.IsLoaded() && IsLoaded() && width > 0 && height > 0)
        ::BitBlt(memDC, 0, 0, width, height, source.memDC, 0, 0, SRCCOPY);
}

void CSkinImage::ReplaceMemoryDC() {
    if (memDC)
        ::DeleteDC(memDC); // the old bitmap, if any, is now selected nowhere
    memDC = ::CreateCompatibleDC(nullptr);
}

void CSkinImage::ReplaceBitmap(HDC referenceDC) {
    if (bitmap)
        ::DeleteObject(bitmap);
    // A zero size still gives a bitmap (the 1 x 1 monochrome default), so an
    // undecodable file leaves a loaded image of 0 x 0.
    bitmap = ::CreateCompatibleBitmap(referenceDC, width, height);
    if (bitmap && memDC)
        ::SelectObject(memDC, bitmap);
}

void CSkinImage::StretchDraw(Gdiplus::Graphics* graphics, int x, int y, int w, int h) {
    if (!IsLoaded() || !graphics)
        return;
    BorrowedGraphicsDC target(graphics);
    if (!target.Get())
        return;
    ::SetStretchBltMode(target.Get(), HALFTONE);
    if (FullyVisible(target.Get(), x, y, w, h) && PrepareScaled(target.Get(), w, h))
        ::BitBlt(target.Get(), x, y, w, h, scaledDC, 0, 0, SRCCOPY);
    else
        ::StretchBlt(target.Get(), x, y, w, h, memDC, 0, 0, width, height, SRCCOPY);
}

// The stretched copy holds exactly what StretchBlt would write at (x, y)
// when nothing of the target rectangle is clipped: with SRCCOPY every pixel
// then depends only on the two sizes. (A clipped stretch is computed over
// the visible part and comes out differently under Wine.) Empty pictures and
// sizes are left to StretchBlt itself.
bool CSkinImage::PrepareScaled(HDC referenceDC, int w, int h) {
    if (scaledDC && scaledWidth == w && scaledHeight == h)
        return true;
    ReleaseScaled();
    if (width <= 0 || height <= 0 || w <= 0 || h <= 0)
        return false;
    scaledBitmap = ::CreateCompatibleBitmap(referenceDC, w, h);
    scaledDC = scaledBitmap ? ::CreateCompatibleDC(referenceDC) : nullptr;
    if (!scaledDC) {
        ReleaseScaled();
        return false;
    }
    ::SelectObject(scaledDC, scaledBitmap);
    ::SetStretchBltMode(scaledDC, HALFTONE);
    ::StretchBlt(scaledDC, 0, 0, w, h, memDC, 0, 0, width, height, SRCCOPY);
    scaledWidth = w;
    scaledHeight = h;
    return true;
}

void CSkinImage::ReleaseScaled() {
    if (scaledDC) {
        ::DeleteDC(scaledDC);
        scaledDC = nullptr;
    }
    if (scaledBitmap) {
        ::DeleteObject(scaledBitmap);
        scaledBitmap = nullptr;
    }
    scaledWidth = scaledHeight = 0;
}

void CSkinImage::AlphaDraw(Gdiplus::Graphics* graphics, int x, int y, int w, int h) {
    if (!IsLoaded() || !graphics)
        return;
    BorrowedGraphicsDC target(graphics);
    if (!target.Get())
        return;
    BLENDFUNCTION blend{};
    blend.BlendOp = AC_SRC_OVER;
    blend.BlendFlags = 0;
    blend.SourceConstantAlpha = 255;
    blend.AlphaFormat = AC_SRC_ALPHA;
    ::AlphaBlend(target.Get(), x, y, w, h, memDC, 0, 0, width, height, blend);
}

void CSkinImage::Release() {
    ReleaseScaled();
    if (memDC) {
        ::DeleteDC(memDC);
        memDC = nullptr;
    }
    if (bitmap) {
        ::DeleteObject(bitmap);
        bitmap = nullptr;
    }
}
