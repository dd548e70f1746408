// tavrel_skin_generator [OUTDIR [--theme dark]]: draws the demo's default
// skin (or, with --theme dark, its dark skin) with GDI+ and writes it as PNG
// files with per-pixel alpha into OUTDIR (default: the current folder). The pictures are sized for the bar's fixed layout rules:
// the icon sits 6 pixels from the left edge, the arrow follows it after 3,
// the query field starts right after the arrow and is 14 pixels high, level
// with the icon, and the search button keeps 6 pixels from the right edge.
// Each picture is also written drawn at twice the size, as NAME.scale-200.png,
// which the bar takes on screens of 200%.
#include "CSkinCanvas.h"

#include <cstdio>
#include <functional>
#include <string>

using namespace Gdiplus;

namespace {
constexpr int kBarWidth = 420;
constexpr int kBarHeight = 34;
// The visible body of the bar; the rest of the picture is its shadow.
const RectF kBarBody(2.0f, 2.5f, 416.0f, 28.0f);
constexpr float kBarRadius = 8.0f;
// Right edge of the engine area (icon 6..22, arrow 25..32; the field
// starts at 35).
constexpr float kEngineAreaRight = 33.5f;

// The colours of one skin; the light one is the default skin, the dark one
// is drawn for hosts with a dark look (its texts are set light by the host).
struct Palette {
    Color body, border, activeBorder, activeGlow, engineAreaTop, engineAreaBottom,
        activeEngineAreaTop, activeEngineAreaBottom, divider, glyph, buttonTop, buttonBottom,
        buttonBorder, listTop, listBottom, highlightFill, highlightEdge;
};

const Palette kLight = {
    Color(255, 255, 255, 255),       Color(255, 0xAE, 0xB8, 0xC4), Color(255, 0x2F, 0x6F, 0xDE),
    Color(110, 0x4A, 0x8B, 0xF0),    Color(255, 0xF3, 0xF5, 0xF8), Color(255, 0xE6, 0xEA, 0xF0),
    Color(255, 0xEC, 0xF3, 0xFE),    Color(255, 0xDA, 0xE7, 0xFB), Color(255, 0xD0, 0xD7, 0xE0),
    Color(255, 0x5F, 0x6B, 0x7A),    Color(255, 0x4A, 0x8B, 0xF0), Color(255, 0x2A, 0x66, 0xD6),
    Color(255, 0x24, 0x5C, 0xC4),    Color(255, 0xFF, 0xFF, 0xFF), Color(255, 0xF6, 0xF8, 0xFB),
    Color(255, 0xDC, 0xE8, 0xFB),    Color(255, 0xC2, 0xD6, 0xF6)};

const Palette kDark = {
    Color(255, 0x20, 0x23, 0x28),    Color(255, 0x4A, 0x52, 0x5E), Color(255, 0x5A, 0x9B, 0xFF),
    Color(110, 0x4A, 0x8B, 0xF0),    Color(255, 0x2C, 0x31, 0x38), Color(255, 0x25, 0x29, 0x2F),
    Color(255, 0x2A, 0x36, 0x48),    Color(255, 0x23, 0x2E, 0x3E), Color(255, 0x3C, 0x43, 0x4D),
    Color(255, 0xB8, 0xC2, 0xCE),    Color(255, 0x3A, 0x7B, 0xE0), Color(255, 0x24, 0x58, 0xB8),
    Color(255, 0x1E, 0x4C, 0xA4),    Color(255, 0x26, 0x2A, 0x30), Color(255, 0x20, 0x23, 0x28),
    Color(255, 0x2F, 0x4A, 0x70),    Color(255, 0x3D, 0x5E, 0x8C)};

const Palette* g_palette = &kLight;

const Color kWhite(255, 255, 255, 255);

void FillVertical(CSkinCanvas& canvas, const RectF& rect, const Color& top, const Color& bottom) {
    // The brush spans one pixel more than the area, so the last row gets
    // the bottom colour instead of wrapping back to the top one.
    LinearGradientBrush brush(PointF(0, rect.Y - 1), PointF(0, rect.Y + rect.Height + 1), top,
                              bottom);
    canvas.Graphics().FillRectangle(&brush, rect);
}

// The bar's picture; the active one has a blue frame with a glow around it
// and a bluish engine area, so the state reads at a glance.
void DrawBar(CSkinCanvas& canvas, bool active) {
    canvas.SoftShadow(kBarBody, kBarRadius, 1.0f, 3, 30);
    if (active) {
        const Pen glow(g_palette->activeGlow, 3.5f);
        canvas.DrawRoundRect(
            RectF(kBarBody.X - 0.5f, kBarBody.Y - 0.5f, kBarBody.Width + 1, kBarBody.Height + 1),
            kBarRadius + 0.5f, glow);
    }
    const SolidBrush body(g_palette->body);
    canvas.FillRoundRect(kBarBody, kBarRadius, body);

    canvas.ClipToRoundRect(kBarBody, kBarRadius);
    FillVertical(canvas, RectF(0, 0, kEngineAreaRight, kBarHeight),
                 active ? g_palette->activeEngineAreaTop : g_palette->engineAreaTop,
                 active ? g_palette->activeEngineAreaBottom : g_palette->engineAreaBottom);
    const Pen divider(g_palette->divider, 1.0f);
    canvas.Graphics().DrawLine(&divider, kEngineAreaRight, 7.0f, kEngineAreaRight, 27.0f);
    canvas.ResetClip();

    const Pen border(active ? g_palette->activeBorder : g_palette->border, active ? 1.3f : 1.0f);
    canvas.DrawRoundRect(
        RectF(kBarBody.X + 0.5f, kBarBody.Y + 0.5f, kBarBody.Width - 1, kBarBody.Height - 1),
        kBarRadius - 0.5f, border);
}

// A small chevron pointing down; the picture is wider than the glyph so
// that the query field starts a little after it.
void DrawArrow(CSkinCanvas& canvas) {
    Pen pen(g_palette->glyph, 1.6f);
    pen.SetLineJoin(LineJoinRound);
    pen.SetStartCap(LineCapRound);
    pen.SetEndCap(LineCapRound);
    const PointF chevron[] = {PointF(1.2f, 1.4f), PointF(4.0f, 4.4f), PointF(6.8f, 1.4f)};
    canvas.Graphics().DrawLines(&pen, chevron, 3);
}

void DrawMagnifier(CSkinCanvas& canvas, float cx, float cy, float radius) {
    const Pen ring(kWhite, 2.0f);
    canvas.Graphics().DrawEllipse(&ring, cx - radius, cy - radius, 2 * radius, 2 * radius);
    Pen handle(kWhite, 2.6f);
    handle.SetStartCap(LineCapRound);
    handle.SetEndCap(LineCapRound);
    const float start = radius * 0.72f;
    canvas.Graphics().DrawLine(&handle, cx + start, cy + start, cx + radius + 3.8f,
                               cy + radius + 3.8f);
}

void DrawSearchButton(CSkinCanvas& canvas) {
    const RectF face(0.5f, 0.5f, canvas.Width() - 1.0f, canvas.Height() - 1.0f);
    LinearGradientBrush fill(PointF(0, -1), PointF(0, static_cast<float>(canvas.Height() + 1)),
                             g_palette->buttonTop, g_palette->buttonBottom);
    canvas.FillRoundRect(face, 6.0f, fill);
    const Pen border(g_palette->buttonBorder, 1.0f);
    canvas.DrawRoundRect(face, 6.0f, border);
    DrawMagnifier(canvas, 13.0f, 10.5f, 4.8f);
}

// The icon shown before any engine's own icon: a plain globe.
void DrawGenericEngineIcon(CSkinCanvas& canvas) {
    const Pen line(g_palette->glyph, 1.2f);
    Graphics& g = canvas.Graphics();
    g.DrawEllipse(&line, 1.5f, 1.5f, 13.0f, 13.0f);
    g.DrawEllipse(&line, 5.0f, 1.5f, 6.0f, 13.0f);
    g.DrawLine(&line, 1.5f, 8.0f, 14.5f, 8.0f);
}

// An engine's icon: a white letter on a rounded square of its own colour.
void DrawLetterIcon(CSkinCanvas& canvas, const wchar_t* letter, const Color& colour) {
    const RectF tile(0.5f, 0.5f, 15.0f, 15.0f);
    const SolidBrush fill(colour);
    canvas.FillRoundRect(tile, 3.5f, fill);
    canvas.DrawCentredText(letter, RectF(0, 0.5f, 16, 16), 11.0f, kWhite);
}

void DrawListBackground(CSkinCanvas& canvas) {
    FillVertical(
        canvas,
        RectF(0, 0, static_cast<float>(canvas.Width()), static_cast<float>(canvas.Height())),
        g_palette->listTop, g_palette->listBottom);
}

// The hovered row; the list stretches it over the row, so it is opaque.
void DrawListHighlight(CSkinCanvas& canvas) {
    const float w = static_cast<float>(canvas.Width());
    const float h = static_cast<float>(canvas.Height());
    const SolidBrush fill(g_palette->highlightFill);
    canvas.Graphics().FillRectangle(&fill, RectF(0, 0, w, h));
    const SolidBrush edge(g_palette->highlightEdge);
    canvas.Graphics().FillRectangle(&edge, RectF(0, 0, w, 1));
    canvas.Graphics().FillRectangle(&edge, RectF(0, h - 1, w, 1));
}

struct SkinPicture {
    const wchar_t* file;
    int width;
    int height;
    std::function<void(CSkinCanvas&)> draw;
};

const SkinPicture kPictures[] = {
    {L"bar.png", kBarWidth, kBarHeight, [](CSkinCanvas& c) { DrawBar(c, false); }},
    {L"bar-active.png", kBarWidth, kBarHeight, [](CSkinCanvas& c) { DrawBar(c, true); }},
    {L"engine.png", 16, 16, DrawGenericEngineIcon},
    {L"arrow.png", 10, 6, DrawArrow},
    {L"search.png", 30, 24, DrawSearchButton},
    {L"engine-list.png", 100, 75, DrawListBackground},
    {L"engine-list-highlight.png", 100, 25, DrawListHighlight},
    {L"suggestion-list.png", kBarWidth, 100, DrawListBackground},
    {L"suggestion-list-highlight.png", kBarWidth, 25, DrawListHighlight},
    {L"atlas.png", 16, 16,
     [](CSkinCanvas& c) { DrawLetterIcon(c, L"A", Color(255, 0xE8, 0x71, 0x0A)); }},
    {L"wikinet.png", 16, 16,
     [](CSkinCanvas& c) { DrawLetterIcon(c, L"W", Color(255, 0x1E, 0x8E, 0x3E)); }},
    {L"codefind.png", 16, 16,
     [](CSkinCanvas& c) { DrawLetterIcon(c, L"C", Color(255, 0x8E, 0x44, 0xAD)); }},
};

std::wstring Widen(const char* text) {
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring wide(length > 0 ? static_cast<size_t>(length) : 1, L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], length);
    wide.resize(wide.size() - 1);
    return wide;
}

// "bar.png" at scale 2 is "bar.scale-200.png".
std::wstring FileAtScale(const std::wstring& file, int scale) {
    if (scale == 1)
        return file;
    const size_t dot = file.rfind(L'.');
    return file.substr(0, dot) + L".scale-" + std::to_wstring(scale * 100) + file.substr(dot);
}

int WriteSkin(const std::wstring& folder) {
    int failures = 0;
    for (const SkinPicture& picture : kPictures) {
        for (int scale : {1, 2}) {
            CSkinCanvas canvas(picture.width, picture.height, scale);
            picture.draw(canvas);
            const std::wstring path = folder + L"\\" + FileAtScale(picture.file, scale);
            if (!canvas.SavePng(path)) {
                std::fprintf(stderr, "skin generator: cannot write %ls\n", path.c_str());
                ++failures;
            }
        }
    }
    return failures;
}
} // namespace

int main(int argc, char** argv) {
    const std::wstring folder = argc > 1 ? Widen(argv[1]) : L".";
    if (argc > 3 && std::string(argv[2]) == "--theme" && std::string(argv[3]) == "dark")
        g_palette = &kDark;
    ::CreateDirectoryW(folder.c_str(), nullptr);
    GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (GdiplusStartup(&token, &input, nullptr) != Ok) {
        std::fputs("skin generator: GDI+ did not start\n", stderr);
        return 1;
    }
    const int failures = WriteSkin(folder);
    GdiplusShutdown(token);
    return failures == 0 ? 0 : 1;
}
