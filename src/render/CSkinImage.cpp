// CSkinImage: decodes an image file once with GDI+, renders it at its own
// size into a memory DC holding a device-compatible bitmap, and throws the
// decoded image away; StretchDraw and AlphaDraw then cost one GDI blit.
// The rendered pixels also go to the process's CSkinPictureCache, so a file
// named again, and unchanged, is copied from there instead of decoded.
// Before GDI+ sees a file its header gives the picture's size
// (PictureHeader.h); a picture beyond the bound is never decoded.
// The image owns memDC and bitmap, and scaledDC and scaledBitmap: the
// picture as last stretched. Stretching with HALFTONE costs far more than a
// blit (a list background is stretched over every row on every paint), and
// lists repaint at one size again and again. The DC always goes before the
// bitmap that was selected into it, so a bitmap is never deleted while
// selected.
#include "CSkinImage.h"
#include "AnsiToWide.h"
#include "GdiPlus.h"
#include "CSkinPictureCache.h"
#include "GdiPlusDeleter.h"
#include "PictureHeader.h"
#include "ScaledSkinFile.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>
#include <string>
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

using OwnedBitmap = GdiPlusOwned<GpBitmap>;

constexpr uint64_t kFnvOffsetBasis = 14695981039346656037ull;

uint64_t Fnv1a(uint64_t hash, const unsigned char* bytes, size_t count) {
    for (size_t i = 0; i < count; ++i)
        hash = (hash ^ bytes[i]) * 1099511628211ull;
    return hash;
}

bool DeclaresBoundedPicture(const std::string& fileStart) {
    const std::optional<PictureHeader::Size> size = PictureHeader::Read(fileStart);
    return size && PictureHeader::WithinBound(size->width, size->height);
}

// A candidate file as read once, for the cache stamp and for the decision
// to decode it. A picture beyond the bound, or one whose size its header
// does not give, is never handed to the decoder (which would spend seconds
// and gigabytes on a huge one), and its hash covers only the first bytes
// that refused it: hashing all of a huge file would cost the time refusing
// it saves, and only a new header can make it count.
struct CandidateFile {
    bool readable = false;
    bool bounded = false;
    uint64_t hash = kFnvOffsetBasis;
    uint64_t size = 0;
};

// Most headers lie in the first 64 KiB; where the size is not found there
// (a TIFF directory after the image data, a JPEG after large metadata), it
// is looked for again at kBytesRead and at the end of the file.
CandidateFile ReadCandidate(const std::wstring& path) {
    constexpr size_t kFirstLook = 64 * 1024;
    CandidateFile result;
    if (path.size() > kLongestPath)
        return result;
    const std::unique_ptr<void, BOOL(WINAPI*)(HANDLE)> file(
        ::CreateFileW(path.c_str(), GENERIC_READ,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr),
        ::CloseHandle);
    if (file.get() == INVALID_HANDLE_VALUE)
        return result;
    std::string start; // the first bytes, until the header has decided
    bool decided = false;
    unsigned char buffer[16384];
    DWORD read = 0;
    bool ok = true;
    while ((ok = ::ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr) != FALSE) &&
           read > 0) {
        if (!decided) {
            start.append(reinterpret_cast<const char*>(buffer), read);
            const bool lookNow = (start.size() >= kFirstLook && start.size() - read < kFirstLook) ||
                                 start.size() >= PictureHeader::kBytesRead;
            if (lookNow && (PictureHeader::Read(start) || start.size() >= PictureHeader::kBytesRead)) {
                decided = true;
                result.bounded = DeclaresBoundedPicture(start);
                if (!result.bounded)
                    break;
            }
        }
        result.hash = Fnv1a(result.hash, buffer, read);
        result.size += read;
    }
    if (!decided)
        result.bounded = DeclaresBoundedPicture(start);
    if (!result.bounded) {
        result.hash = Fnv1a(kFnvOffsetBasis, reinterpret_cast<const unsigned char*>(start.data()),
                            start.size());
        result.size = start.size();
    }
    result.readable = ok || !result.bounded;
    return result;
}

std::vector<CandidateFile> ReadCandidates(const std::vector<ScaledSkinFile>& candidates) {
    std::vector<CandidateFile> files;
    for (const ScaledSkinFile& candidate : candidates)
        files.push_back(ReadCandidate(candidate.path));
    return files;
}

// The decoded file with its embedded colour profile applied, or null.
OwnedBitmap DecodeFile(const std::wstring& path, const CandidateFile& file) {
    GpBitmap* decoded = nullptr;
    if (file.bounded)
        DllExports::GdipCreateBitmapFromFileICM(path.c_str(), &decoded);
    return OwnedBitmap(decoded);
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

// GDI+ drawing on the DC, or null.
GdiPlusOwned<GpGraphics> GraphicsOn(HDC target) {
    GpGraphics* graphics = nullptr;
    if (DllExports::GdipCreateFromHDC(target, &graphics) != Ok)
        graphics = nullptr;
    return GdiPlusOwned<GpGraphics>(graphics);
}

void RenderUnscaled(GpBitmap* decoded, HDC target, int width, int height) {
    const GdiPlusOwned<GpGraphics> graphics = GraphicsOn(target);
    if (graphics)
        DllExports::GdipDrawImageRectRectI(graphics.get(), decoded, 0, 0, width, height, 0, 0,
                                           width, height, UnitPixel, nullptr, nullptr, nullptr);
}

// High-quality resampling of the whole picture to width x height. Mirrored
// edges keep the filter from blending transparent pixels into the border.
void RenderResampled(GpBitmap* decoded, SIZE source, HDC target, int width, int height) {
    const GdiPlusOwned<GpGraphics> graphics = GraphicsOn(target);
    if (!graphics)
        return;
    GpImageAttributes* made = nullptr;
    if (DllExports::GdipCreateImageAttributes(&made) != Ok)
        made = nullptr;
    const GdiPlusOwned<GpImageAttributes> attributes(made);
    if (attributes)
        DllExports::GdipSetImageAttributesWrapMode(attributes.get(), WrapModeTileFlipXY, 0, FALSE);
    DllExports::GdipSetInterpolationMode(graphics.get(), InterpolationModeHighQualityBicubic);
    DllExports::GdipSetPixelOffsetMode(graphics.get(), PixelOffsetModeHalf);
    DllExports::GdipDrawImageRectRectI(graphics.get(), decoded, 0, 0, width, height, 0, 0,
                                       source.cx, source.cy, UnitPixel, attributes.get(), nullptr,
                                       nullptr);
}

// True when the decoded picture has no transparency of its own: a pixel
// format without alpha (JPEG, 24-bit BMP), and for a palette, no
// transparent colour in it.
bool IsOpaquePicture(GpBitmap* decoded) {
    PixelFormat format = PixelFormatUndefined;
    if (DllExports::GdipGetImagePixelFormat(decoded, &format) != Ok || IsAlphaPixelFormat(format))
        return false;
    if (!IsIndexedPixelFormat(format))
        return true;
    INT size = 0;
    if (DllExports::GdipGetImagePaletteSize(decoded, &size) != Ok || size < INT(sizeof(ColorPalette)))
        return false;
    std::vector<BYTE> buffer(static_cast<size_t>(size));
    auto* palette = reinterpret_cast<ColorPalette*>(buffer.data());
    return DllExports::GdipGetImagePalette(decoded, palette, size) == Ok &&
           !(palette->Flags & PaletteFlagsHasAlpha);
}

// The first candidate file that decodes to a picture, or null; percent is
// the scale of the file taken. A file refused by its header counts as one
// that does not decode.
OwnedBitmap DecodeBestFile(const std::vector<ScaledSkinFile>& candidates,
                           const std::vector<CandidateFile>& files, int& percent) {
    for (size_t i = 0; i < candidates.size(); ++i) {
        OwnedBitmap decoded = DecodeFile(candidates[i].path, files[i]);
        percent = candidates[i].percent;
        if (i + 1 == candidates.size() || DecodedSize(decoded.get()).cx > 0)
            return decoded; // the named file is the last word, decoded or not
    }
    return nullptr;
}

std::wstring FullPath(const std::wstring& path) {
    wchar_t full[MAX_PATH * 2];
    const DWORD capacity = sizeof(full) / sizeof(full[0]);
    const DWORD length = ::GetFullPathNameW(path.c_str(), capacity, full, nullptr);
    return length > 0 && length < capacity ? std::wstring(full, length) : path;
}

// A file name in a cache key or stamp, which are byte strings: UTF-8.
std::string KeyText(const std::wstring& path) {
    if (path.empty() || path.size() > static_cast<size_t>(INT_MAX / 4))
        return std::string();
    const int length = static_cast<int>(path.size());
    std::string text(static_cast<size_t>(length) * 4, '\0');
    const int written = ::WideCharToMultiByte(CP_UTF8, 0, path.data(), length, &text[0],
                                              static_cast<int>(text.size()), nullptr, nullptr);
    text.resize(written > 0 ? static_cast<size_t>(written) : 0);
    return text;
}

// What the picture of these candidates is made from: every candidate
// file's full name, size and a hash of its bytes (a time stamp could miss
// a rewrite within its granularity); a refused file's are marked r (see
// CandidateFile). Empty when a file cannot be read, and then the picture is
// not cached.
std::string FilesStamp(const std::vector<ScaledSkinFile>& candidates,
                       const std::vector<CandidateFile>& files) {
    std::string stamp;
    for (size_t i = 0; i < candidates.size(); ++i) {
        const CandidateFile& file = files[i];
        if (!file.readable)
            return std::string();
        char numbers[64];
        std::snprintf(numbers, sizeof(numbers), "|%s%llx|%llx|%d\n", file.bounded ? "" : "r",
                      static_cast<unsigned long long>(file.size),
                      static_cast<unsigned long long>(file.hash), candidates[i].percent);
        stamp += KeyText(FullPath(candidates[i].path)) + numbers;
    }
    return stamp;
}

std::string CacheKey(const std::wstring& path, const CDpiScale& scale) {
    return std::to_string(scale.GetDpi()) + "|" + KeyText(FullPath(path));
}

int BitsPerPixel(HBITMAP bitmap) {
    BITMAP info{};
    return ::GetObject(bitmap, sizeof(info), &info) ? info.bmBitsPixel : 0;
}

// The header of a top-down 32-bit DIB of the picture's size.
BITMAPINFO TopDownInfo(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
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
    LoadFromFile(referenceDC, AnsiToWide(path), scale);
}

// A picture whose memory runs out on the way (its pixels are copied into
// vectors sized by it) ends as a file that does not decode: 0 x 0.
void CSkinImage::LoadFromFile(HDC referenceDC, const std::wstring& path, const CDpiScale& scale) {
    ReleaseScaled();
    ReplaceMemoryDC();
    try {
        LoadPicture(referenceDC, path, scale);
    } catch (const std::bad_alloc&) {
        width = height = 0;
        ReplaceMemoryDC();
        ReplaceBitmap(referenceDC);
    }
}

void CSkinImage::LoadPicture(HDC referenceDC, const std::wstring& path, const CDpiScale& scale) {
    const std::vector<ScaledSkinFile> candidates = ScaledSkinCandidates(path, scale);
    const std::vector<CandidateFile> files = ReadCandidates(candidates);
    const std::string key = CacheKey(path, scale);
    const std::string stamp = FilesStamp(candidates, files);
    if (!stamp.empty() && LoadFromCache(referenceDC, key, stamp))
        return;
    int filePercent = 100;
    OwnedBitmap decoded = DecodeBestFile(candidates, files, filePercent);
    const SIZE size = DecodedSize(decoded.get());
    width = ScaledLength(size.cx, filePercent, scale);
    height = ScaledLength(size.cy, filePercent, scale);
    // Drawn larger than a picture may be (a large one at a high scale), it
    // is refused as one declaring that size would be.
    if (!PictureHeader::WithinBound(static_cast<uint64_t>(width), static_cast<uint64_t>(height))) {
        width = height = 0;
        decoded.reset();
    }
    ReplaceBitmap(referenceDC);
    // When the bitmap could not be made (a picture too large for the
    // system, for instance) the image stays unloaded and nothing is drawn.
    if (decoded && IsLoaded() && width > 0 && height > 0) {
        if (width == size.cx && height == size.cy)
            RenderUnscaled(decoded.get(), memDC, width, height);
        else
            RenderResampled(decoded.get(), size, memDC, width, height);
        // GDI+ drawing into a device bitmap leaves its alpha bytes as they
        // were (0), and the layered windows would show such a picture as
        // fully transparent.
        if (IsOpaquePicture(decoded.get()))
            MakeOpaque();
        // Only pictures that decoded are kept: a failure may be passing
        // (GDI+ not started yet, a file still being written).
        if (!stamp.empty())
            KeepInCache(key, stamp);
    }
}

// The cache holds 32-bit pixels, so it serves only bitmaps of that depth,
// where they are copied exactly.
bool CSkinImage::LoadFromCache(HDC referenceDC, const std::string& key, const std::string& stamp) {
    CSkinPictureCache::Picture picture;
    if (!CSkinPictureCache::Find(key, stamp, picture))
        return false;
    HBITMAP made = ::CreateCompatibleBitmap(referenceDC, picture.width, picture.height);
    BITMAPINFO info = TopDownInfo(picture.width, picture.height);
    if (!made || BitsPerPixel(made) != 32 ||
        ::SetDIBits(memDC, made, 0, picture.height, picture.pixels.data(), &info,
                    DIB_RGB_COLORS) != picture.height) {
        if (made)
            ::DeleteObject(made);
        return false;
    }
    if (bitmap)
        ::DeleteObject(bitmap);
    bitmap = made;
    width = picture.width;
    height = picture.height;
    if (memDC)
        ::SelectObject(memDC, bitmap);
    return true;
}

// The bitmap is read while selected nowhere: the stock 1 x 1 bitmap (what
// a zero-sized request gives) stands in for it meanwhile.
void CSkinImage::KeepInCache(const std::string& key, const std::string& stamp) const {
    if (BitsPerPixel(bitmap) != 32)
        return;
    if (!CSkinPictureCache::Fits(width, height)) {
        CSkinPictureCache::Forget(key); // what the key held is out of date
        return;
    }
    CSkinPictureCache::Picture picture;
    picture.width = width;
    picture.height = height;
    picture.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    BITMAPINFO info = TopDownInfo(width, height);
    ::SelectObject(memDC, ::CreateCompatibleBitmap(memDC, 0, 0));
    const int rows =
        ::GetDIBits(memDC, bitmap, 0, height, picture.pixels.data(), &info, DIB_RGB_COLORS);
    ::SelectObject(memDC, bitmap);
    if (rows == height)
        CSkinPictureCache::Store(key, stamp, std::move(picture));
}

// The bitmap is rewritten while selected nowhere, as in KeepInCache.
void CSkinImage::MakeOpaque() {
    if (BitsPerPixel(bitmap) != 32)
        return;
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    BITMAPINFO info = TopDownInfo(width, height);
    ::SelectObject(memDC, ::CreateCompatibleBitmap(memDC, 0, 0));
    if (::GetDIBits(memDC, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS) == height) {
        for (uint32_t& pixel : pixels)
            pixel |= 0xFF000000u;
        ::SetDIBits(memDC, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    }
    ::SelectObject(memDC, bitmap);
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

void CSkinImage::CopyDraw(Gdiplus::Graphics* graphics, int x, int y) {
    if (!IsLoaded() || !graphics)
        return;
    BorrowedGraphicsDC target(graphics);
    if (target.Get())
        ::BitBlt(target.Get(), x, y, width, height, memDC, 0, 0, SRCCOPY);
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
