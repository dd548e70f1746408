// CSkinCanvas: the supersampled drawing surface of one skin picture.
#include "CSkinCanvas.h"
#include "../PngEncoder.h"

using namespace Gdiplus;

namespace {
// Families tried in order for glyph text: the one Wine setups here carry,
// then those of a Windows installation. GDI+ under Wine does not resolve
// its generic sans-serif family, so it comes last.
const wchar_t* const kGlyphFamilies[] = {L"DejaVu Sans", L"Segoe UI", L"Arial", L"Tahoma"};

std::unique_ptr<FontFamily> FindGlyphFamily() {
    for (const wchar_t* name : kGlyphFamilies) {
        auto family = std::make_unique<FontFamily>(name);
        if (family->IsAvailable())
            return family;
    }
    return std::unique_ptr<FontFamily>(FontFamily::GenericSansSerif()->Clone());
}
} // namespace

CSkinCanvas::CSkinCanvas(int width, int height, int pictureScale)
    : width(width), height(height), pixelWidth(width * pictureScale),
      pixelHeight(height * pictureScale),
      bitmap(std::make_unique<Bitmap>(pixelWidth * kScale, pixelHeight * kScale,
                                      PixelFormat32bppARGB)),
      graphics(std::make_unique<Gdiplus::Graphics>(bitmap.get())) {
    graphics->Clear(Color(0, 0, 0, 0));
    const REAL samples = static_cast<REAL>(kScale * pictureScale);
    graphics->ScaleTransform(samples, samples);
    graphics->SetSmoothingMode(SmoothingModeAntiAlias);
    graphics->SetPixelOffsetMode(PixelOffsetModeHalf);
    graphics->SetTextRenderingHint(TextRenderingHintAntiAlias);
}

CSkinCanvas::~CSkinCanvas() {
    graphics.reset();
    bitmap.reset();
}

void CSkinCanvas::AddRoundRect(GraphicsPath& path, const RectF& rect, float radius) {
    if (radius <= 0) {
        path.AddRectangle(rect);
        return;
    }
    const float d = radius * 2;
    const float right = rect.X + rect.Width - d;
    const float bottom = rect.Y + rect.Height - d;
    path.AddArc(rect.X, rect.Y, d, d, 180, 90);
    path.AddArc(right, rect.Y, d, d, 270, 90);
    path.AddArc(right, bottom, d, d, 0, 90);
    path.AddArc(rect.X, bottom, d, d, 90, 90);
    path.CloseFigure();
}

void CSkinCanvas::FillRoundRect(const RectF& rect, float radius, const Brush& brush) {
    GraphicsPath path;
    AddRoundRect(path, rect, radius);
    graphics->FillPath(&brush, &path);
}

void CSkinCanvas::DrawRoundRect(const RectF& rect, float radius, const Pen& pen) {
    GraphicsPath path;
    AddRoundRect(path, rect, radius);
    graphics->DrawPath(&pen, &path);
}

void CSkinCanvas::SoftShadow(const RectF& rect, float radius, float offsetY, int spread,
                             BYTE alphaPerLayer) {
    SolidBrush layer(Color(alphaPerLayer, 0, 0, 0));
    for (int i = spread; i >= 1; --i) {
        const float grow = static_cast<float>(i);
        const RectF shadow(rect.X - grow, rect.Y + offsetY - grow, rect.Width + 2 * grow,
                           rect.Height + 2 * grow);
        FillRoundRect(shadow, radius + grow, layer);
    }
}

void CSkinCanvas::ClipToRoundRect(const RectF& rect, float radius) {
    GraphicsPath path;
    AddRoundRect(path, rect, radius);
    graphics->SetClip(&path);
}

void CSkinCanvas::ResetClip() {
    graphics->ResetClip();
}

void CSkinCanvas::DrawCentredText(const wchar_t* text, const RectF& rect, float pixelSize,
                                  Color color) {
    const std::unique_ptr<FontFamily> family = FindGlyphFamily();
    const Font font(family.get(), pixelSize, FontStyleBold, UnitPixel);
    StringFormat format;
    format.SetAlignment(StringAlignmentCenter);
    format.SetLineAlignment(StringAlignmentCenter);
    const SolidBrush brush(color);
    graphics->DrawString(text, -1, &font, rect, &format, &brush);
}

std::unique_ptr<Bitmap> CSkinCanvas::Reduced() {
    graphics->Flush(FlushIntentionSync);
    auto picture = std::make_unique<Bitmap>(pixelWidth, pixelHeight, PixelFormat32bppARGB);
    const Rect sampleArea(0, 0, pixelWidth * kScale, pixelHeight * kScale);
    const Rect pictureArea(0, 0, pixelWidth, pixelHeight);
    BitmapData samples{};
    BitmapData pixels{};
    if (bitmap->LockBits(&sampleArea, ImageLockModeRead, PixelFormat32bppARGB, &samples) != Ok)
        return nullptr;
    if (picture->LockBits(&pictureArea, ImageLockModeWrite, PixelFormat32bppARGB, &pixels) != Ok) {
        bitmap->UnlockBits(&samples);
        return nullptr;
    }
    for (int y = 0; y < pixelHeight; ++y) {
        auto* out = reinterpret_cast<UINT32*>(static_cast<BYTE*>(pixels.Scan0) + y * pixels.Stride);
        for (int x = 0; x < pixelWidth; ++x) {
            UINT32 alpha = 0, red = 0, green = 0, blue = 0;
            for (int sy = 0; sy < kScale; ++sy) {
                const auto* row = reinterpret_cast<const UINT32*>(
                    static_cast<const BYTE*>(samples.Scan0) + (y * kScale + sy) * samples.Stride);
                for (int sx = 0; sx < kScale; ++sx) {
                    const UINT32 argb = row[x * kScale + sx];
                    const UINT32 a = argb >> 24;
                    alpha += a;
                    red += ((argb >> 16) & 0xFF) * a;
                    green += ((argb >> 8) & 0xFF) * a;
                    blue += (argb & 0xFF) * a;
                }
            }
            const UINT32 a = alpha / (kScale * kScale);
            out[x] = alpha == 0
                         ? 0
                         : a << 24 | (red / alpha) << 16 | (green / alpha) << 8 | blue / alpha;
        }
    }
    picture->UnlockBits(&pixels);
    bitmap->UnlockBits(&samples);
    return picture;
}

bool CSkinCanvas::SavePng(const std::wstring& path) {
    CLSID png;
    if (!FindPngEncoder(&png))
        return false;
    const std::unique_ptr<Bitmap> picture = Reduced();
    return picture && picture->Save(path.c_str(), &png, nullptr) == Ok;
}
