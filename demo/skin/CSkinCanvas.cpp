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

CSkinCanvas::CSkinCanvas(int width, int height)
    : width(width), height(height),
      bitmap(std::make_unique<Bitmap>(width, height, PixelFormat32bppARGB)),
      graphics(std::make_unique<Gdiplus::Graphics>(bitmap.get())) {
    graphics->Clear(Color(0, 0, 0, 0));
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

bool CSkinCanvas::SavePng(const std::wstring& path) {
    CLSID png;
    if (!FindPngEncoder(&png))
        return false;
    graphics->Flush(FlushIntentionSync);
    return bitmap->Save(path.c_str(), &png, nullptr) == Ok;
}
