// CSkinCanvas: one skin picture being drawn, with the few shapes the default
// skin is made of (rounded rectangles, soft shadows, glyph text), saved as a
// PNG with straight per-pixel alpha. Drawing happens on a bitmap four times
// the picture's size, which SavePng reduces by averaging each 4 x 4 block:
// GDI+ under Wine fills shapes without anti-aliasing, and the averaged
// samples give smooth edges on every system. Callers draw in the picture's
// own pixel coordinates; a canvas for a scaled variant (scale 2 for the
// scale-200 files) holds that many more pixels each way for the same
// drawing. The canvas owns its GDI+ bitmap and the graphics
// drawing into it; the graphics goes first, since it draws into the bitmap.
#pragma once
#include "../GdiPlus.h"
#include <memory>
#include <string>

class CSkinCanvas {
  public:
    CSkinCanvas(int width, int height, int pictureScale = 1);
    ~CSkinCanvas();
    CSkinCanvas(const CSkinCanvas&) = delete;
    CSkinCanvas& operator=(const CSkinCanvas&) = delete;

    Gdiplus::Graphics& Graphics() { return *graphics; }
    int Width() const { return width; }
    int Height() const { return height; }

    void FillRoundRect(const Gdiplus::RectF& rect, float radius, const Gdiplus::Brush& brush);
    void DrawRoundRect(const Gdiplus::RectF& rect, float radius, const Gdiplus::Pen& pen);
    // A blurred shadow of a rounded rectangle: stacked faint copies, each a
    // little larger, so the edge fades out over `spread` pixels.
    void SoftShadow(const Gdiplus::RectF& rect, float radius, float offsetY, int spread,
                    BYTE alphaPerLayer);
    // Restricts drawing to a rounded rectangle until ResetClip.
    void ClipToRoundRect(const Gdiplus::RectF& rect, float radius);
    void ResetClip();
    // One line of text centred in the rectangle, in a bold sans-serif face.
    void DrawCentredText(const wchar_t* text, const Gdiplus::RectF& rect, float pixelSize,
                         Gdiplus::Color color);
    // Writes the picture as a PNG file; false when GDI+ could not.
    bool SavePng(const std::wstring& path);

    // The path of a rounded rectangle; radius 0 gives plain corners.
    static void AddRoundRect(Gdiplus::GraphicsPath& path, const Gdiplus::RectF& rect, float radius);

  private:
    // The picture at its own size: each pixel the average of its samples,
    // weighted by their alpha so that transparent samples add no colour.
    std::unique_ptr<Gdiplus::Bitmap> Reduced();

    // Samples per pixel along each axis.
    static constexpr int kScale = 4;

    int width;
    int height;
    int pixelWidth; // of the saved picture
    int pixelHeight;
    std::unique_ptr<Gdiplus::Bitmap> bitmap;
    std::unique_ptr<Gdiplus::Graphics> graphics;
};
