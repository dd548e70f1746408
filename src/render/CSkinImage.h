// CSkinImage: an image file decoded once with GDI+ and rendered at its own
// size into a memory DC; painting then costs one GDI blit. A file that does
// not decode still gives a loaded image of 0 x 0, and so does one whose
// header declares a picture beyond the bound of PictureHeader.h (or that
// would be drawn beyond it at the scale), which is never decoded. The last stretched copy
// is kept, so that repainting at the same size is a plain blit.
#pragma once
#include "CDpiScale.h"
#include <string>
#include <windows.h>

namespace Gdiplus {
class Graphics;
}

class CSkinImage {
public:
    CSkinImage();
    virtual ~CSkinImage();
    CSkinImage(const CSkinImage&) = delete;
    CSkinImage& operator=(const CSkinImage&) = delete;

    // referenceDC: the owner window's own DC. path: never null. Above 96
    // DPI the picture is taken from the best scaled variant of the file (see
    // ScaledSkinFile.h) and held at its 96-DPI size times the scale, so
    // GetWidth and GetHeight give the pixels it covers on screen.
    void LoadFromFile(HDC referenceDC, const char* path, const CDpiScale& scale = CDpiScale());
    // The same for a file named in UTF-16, opened by that name; the narrow
    // form above names its file in the ANSI code page.
    void LoadFromFile(HDC referenceDC, const std::wstring& path,
                      const CDpiScale& scale = CDpiScale());
    // Becomes a copy of another image's pixels, without decoding anything.
    void CopyFrom(const CSkinImage& source, HDC referenceDC);
    // Opaque copy of the whole picture, stretched to (x, y, w, h); the
    // stretched pixels are kept for the next call with the same size.
    void StretchDraw(Gdiplus::Graphics* graphics, int x, int y, int w, int h);
    // The whole picture copied at its own size to (x, y), alpha included.
    void CopyDraw(Gdiplus::Graphics* graphics, int x, int y);
    // Per-pixel alpha blend of the whole picture over (x, y, w, h).
    void AlphaDraw(Gdiplus::Graphics* graphics, int x, int y, int w, int h);
    int GetWidth() const { return width; }
    int GetHeight() const { return height; }
    bool IsLoaded() const { return memDC && bitmap; }
    // Deletes the DC and the bitmap, and the stretched copy; the size stays.
    void Release();

    HDC memDC = nullptr;
    HBITMAP bitmap = nullptr;
    int width = 0;
    int height = 0;
    // The picture as StretchDraw last stretched it, scaledWidth x scaledHeight.
    HDC scaledDC = nullptr;
    HBITMAP scaledBitmap = nullptr;
    int scaledWidth = 0;
    int scaledHeight = 0;

private:
    // The picture of the file (or of its best scaled variant) into the fresh
    // memory DC that LoadFromFile made.
    void LoadPicture(HDC referenceDC, const std::wstring& path, const CDpiScale& scale);
    // LoadFromFile makes a fresh memory DC first, then a fresh bitmap for it.
    void ReplaceMemoryDC();
    void ReplaceBitmap(HDC referenceDC);
    // The picture of key from the process's cache, when its files still
    // have this stamp (see CSkinPictureCache.h).
    bool LoadFromCache(HDC referenceDC, const std::string& key, const std::string& stamp);
    void KeepInCache(const std::string& key, const std::string& stamp) const;
    void MakeOpaque();
    // Makes the stretched copy w x h; false when it cannot be made.
    bool PrepareScaled(HDC referenceDC, int w, int h);
    void ReleaseScaled();
};
