// CSearchBar painting: the skin images are blended into the back buffer,
// which UpdateLayeredWindow shows with its per-pixel alpha. Pictures are
// drawn as they are in both directions; only their places mirror. Nothing is
// decoded here; every image already sits in its own memory DC.
#include "../input/CGuiEdit.h"
#include "../popup/CEngineList.h"
#include "../popup/CSuggestionList.h"
#include "../render/GdiPlus.h"
#include "CSearchBar.h"

namespace {
typedef BOOL(WINAPI* UpdateLayeredWindowFn)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF,
                                            BLENDFUNCTION*, DWORD);
HMODULE g_user32 = nullptr; // kept for the life of the process
} // namespace

void CSearchBar::OnPaint() {
    CPaintDC dc(this); // validates; the bar never draws through it
    if (!bufferDC)
        return;
    Gdiplus::Graphics graphics(bufferDC);
    Compose(&graphics);
}

void CSearchBar::Compose(Gdiplus::Graphics* graphics) {
    // Start from fully transparent pixels: blending over the previous paint
    // would make semi-transparent edges more opaque with every repaint.
    // Blended over transparent black, a background that covers the buffer
    // exactly (the bar takes its size) comes out as itself, so it is
    // copied instead.
    if (backgroundImage.IsLoaded() && backgroundImage.GetWidth() == barWidth &&
        backgroundImage.GetHeight() == barHeight) {
        backgroundImage.CopyDraw(graphics, 0, 0);
    } else {
        ::PatBlt(bufferDC, 0, 0, barWidth, barHeight, BLACKNESS);
        if (backgroundImage.IsLoaded())
            backgroundImage.AlphaDraw(graphics, 0, 0, barWidth, barHeight);
    }
    if (active && activeBackgroundImage.IsLoaded())
        activeBackgroundImage.AlphaDraw(graphics, 0, 0, barWidth, barHeight);
    if (engineIconImage.IsLoaded())
        engineIconImage.AlphaDraw(graphics, ShownX(iconX, engineIconImage.GetWidth()), iconY,
                                  engineIconImage.GetWidth(), engineIconImage.GetHeight());
    if (arrowImage.IsLoaded())
        arrowImage.AlphaDraw(graphics, ShownX(arrowX, arrowImage.GetWidth()), arrowY,
                             arrowImage.GetWidth(), arrowImage.GetHeight());
    if (searchButtonImage.IsLoaded())
        searchButtonImage.AlphaDraw(graphics, ShownX(searchButtonX, searchButtonImage.GetWidth()),
                                    searchButtonY, searchButtonImage.GetWidth(),
                                    searchButtonImage.GetHeight());

    CRect window;
    GetWindowRect(&window);
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    // Through void*: the looked-up address has FARPROC's generic type.
    auto update = reinterpret_cast<UpdateLayeredWindowFn>(
        reinterpret_cast<void*>(GetUpdateLayeredWindow()));
    if (!update)
        return;
    POINT destination = {window.left, window.top};
    SIZE size = {barWidth, barHeight};
    POINT source = {0, 0};
    update(m_hWnd, windowDC, &destination, &size, bufferDC, &source, 0, &blend, ULW_ALPHA);
    RaiseChildrenAboveBar(restackAfterLayout);
    restackAfterLayout = false;
}

FARPROC CSearchBar::GetUpdateLayeredWindow() {
    if (!g_user32)
        g_user32 = ::LoadLibraryA("User32.DLL");
    if (!g_user32)
        return nullptr;
    return ::GetProcAddress(g_user32, "UpdateLayeredWindow");
}

// Windows keeps owned windows above their owner. Wine does not: a layered
// update or an activating click can stack the bar over its own query field
// and open popups, where they would no longer get clicks and keys. Putting
// them back on top, without activating them, changes nothing on Windows.
// When the shown children already lead the z-order in the order the raises
// would leave them in, the raises would end where they began, each at the
// cost of a window-position round trip through the window system; none is
// made then, except after the bar's own window was resized or shown (a
// layout, a new background, ShowBar), which the paint that follows answers
// by raising them in any case: their order never depends on what other
// windows a layout happened to move.
void CSearchBar::RaiseChildrenAboveBar(bool force) {
    const CWnd* children[] = {queryEdit, engineList, suggestionList};
    HWND shown[3];
    int count = 0;
    for (const CWnd* child : children) {
        if (child && ::IsWindowVisible(child->m_hWnd))
            shown[count++] = child->m_hWnd;
    }
    if (!force && ChildrenLeadZOrder(shown, count))
        return;
    for (int i = 0; i < count; ++i)
        ::SetWindowPos(shown[i], HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// True when the top-level z-order starts with shown[count - 1], then
// shown[count - 2] and so on, directly one after the other.
bool CSearchBar::ChildrenLeadZOrder(const HWND* shown, int count) {
    if (count == 0)
        return true;
    HWND at = ::GetWindow(shown[count - 1], GW_HWNDFIRST);
    for (int i = count - 1; i >= 0; --i) {
        if (at != shown[i])
            return false;
        at = ::GetWindow(at, GW_HWNDNEXT);
    }
    return true;
}
