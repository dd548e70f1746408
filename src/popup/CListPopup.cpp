// CListPopup: the window, back buffer, skins, text look, hover, click and
// accessibility that both popup lists share. It owns its text style, skins
// and back buffer; the lists own their rows.
#include "CListPopup.h"
#include "../access/CListAccessible.h"
#include "../frame/CCallDepth.h"
#include "../frame/Messages.h"
#include "../render/AnsiToWide.h"
#include "../render/GdiPlus.h"
#include "ListPainter.h"
#include "ListWindowClass.h"

namespace {
constexpr int kItemHeight = 25; // at 96 DPI
} // namespace

BEGIN_MESSAGE_MAP(CListPopup, CWnd)
    ON_WM_PAINT()
    ON_WM_CREATE()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_ACTIVATEAPP()
    ON_MESSAGE(UM_POPUP_CLOSE, OnPopupClose)
    ON_MESSAGE(WM_GETOBJECT, OnGetObject)
    ON_MESSAGE(WM_DESTROY, OnWindowDestroy)
END_MESSAGE_MAP()

CListPopup::CListPopup() {
    textStyle = new CTextStyle;
    SetTextLook(textLook);
}

// Each list has run ReleaseListParts already; this only covers a list whose
// destructor did not get that far.
CListPopup::~CListPopup() {
    CAccessibleBase::DisconnectAndRelease(accessible);
    ReleaseDrawing();
}

void CListPopup::ReleaseListParts() {
    // Clients may hold the accessible object longer than the rows live.
    CAccessibleBase::DisconnectAndRelease(accessible);
    // A list destroyed while shown must not leave its hooks behind.
    if (m_hWnd && IsWindowVisible())
        Hide();
    ReleaseDrawing();
}

void CListPopup::ReleaseDrawing() {
    delete textStyle;
    textStyle = nullptr;
    backgroundSkin.Release();
    highlightSkin.Release();
    ListPainter::ReleaseBackBuffer(m_hWnd, windowDC, bufferDC, bufferBitmap);
}

BOOL CListPopup::Create(HWND parent, int x, int y, int w, int h) {
    return CreateEx(WS_EX_TOOLWINDOW, "GUI_AFXSELECT", nullptr, WS_POPUP | WS_CHILD, x, y, w, h,
                    parent, nullptr);
}

BOOL CListPopup::PreCreateWindow(CREATESTRUCT& cs) {
    RegisterListWindowClass(cs);
    return CWnd::PreCreateWindow(cs);
}

void CListPopup::SetTextLook(const ListTextLook& look) {
    textLook = look;
    fontSize = ListPainter::ApplyTextLook(textLook, dpiScale, *textStyle, rowFonts);
    if (m_hWnd && IsWindowVisible())
        Invalidate(TRUE);
}

// The narrow path is kept as the host's bytes.
void CListPopup::SetBackgroundSkin(const char* path, int cornerRadius) {
    SetBackgroundSkinW(AnsiToWide(path), cornerRadius);
    if (path && *path)
        backgroundSkinPath = path;
}

void CListPopup::SetBackgroundSkinW(const std::wstring& path, int cornerRadius) {
    if (ListPainter::LoadSkin(windowDC, path, backgroundSkin, backgroundSkinPathW,
                              backgroundSkinPath, dpiScale) &&
        backgroundSkin.IsLoaded())
        ListPainter::RoundCorners(*this, width, height, cornerRadius);
}

void CListPopup::SetHighlightSkin(const char* path) {
    SetHighlightSkinW(AnsiToWide(path));
    if (path && *path)
        highlightSkinPath = path;
}

void CListPopup::SetHighlightSkinW(const std::wstring& path) {
    ListPainter::LoadSkin(windowDC, path, highlightSkin, highlightSkinPathW, highlightSkinPath,
                          dpiScale);
}

void CListPopup::SetRightToLeft(bool rtl) {
    if (rtl == rightToLeft)
        return;
    rightToLeft = rtl;
    if (m_hWnd && IsWindowVisible())
        Invalidate(TRUE);
}

int CListPopup::MirroredLeft(int left, int boxWidth) const {
    return rightToLeft ? width - left - boxWidth : left;
}

bool CListPopup::TakeDpiScale(const CDpiScale& scale) {
    if (scale == dpiScale)
        return false;
    dpiScale = scale;
    itemHeight = dpiScale.Scale(kItemHeight);
    fontSize = ListPainter::ApplyTextLook(textLook, dpiScale, *textStyle, rowFonts);
    if (!m_hWnd)
        return false;
    ListPainter::ReloadSkins(windowDC, dpiScale, backgroundSkin, backgroundSkinPathW,
                             highlightSkin, highlightSkinPathW);
    return true;
}

RECT CListPopup::RowRect(int row) const {
    return RECT{0, row * itemHeight, width, (row + 1) * itemHeight};
}

int CListPopup::OnCreate(LPCREATESTRUCT) {
    if (Default() == -1)
        return -1;
    ListPainter::CreateBackBuffer(m_hWnd, windowDC, bufferDC, bufferBitmap, width, height);
    return 0;
}

void CListPopup::OnPaint() {
    ListPainter::Paint(*this, windowDC, bufferDC, bufferBitmap, width, height,
                       [this](Gdiplus::Graphics* graphics) { DrawContent(graphics); });
}

void CListPopup::DrawContent(Gdiplus::Graphics* graphics) {
    if (backgroundSkin.IsLoaded())
        backgroundSkin.StretchDraw(graphics, 0, 0, width, height);
    for (int row = 0; row < RowCount(); ++row) {
        const int top = row * itemHeight;
        if (highlightSkin.IsLoaded() && row == hoverIndex)
            highlightSkin.StretchDraw(graphics, 0, top, width, itemHeight);
        DrawRow(graphics, row, top);
    }
    ListPainter::DrawFrame(graphics, m_hWnd, width, borderColor, dpiScale);
}

void CListPopup::DrawRowText(Gdiplus::Graphics* graphics, const std::wstring& text, int rowTop,
                             int left, int layoutWidth, int rightEdge, bool highlighted) {
    if (rightToLeft) {
        const int textTop = ListPainter::TextTop(rowTop, itemHeight, fontSize);
        ListPainter::DrawRightToLeftText(graphics, text, *textStyle, rowFonts, width - rightEdge,
                                         textTop, width - left, textTop + itemHeight, highlighted);
        return;
    }
    ListPainter::DrawRowText(graphics, text, *textStyle, rowFonts, static_cast<float>(left),
                             static_cast<float>(ListPainter::TextTop(rowTop, itemHeight, fontSize)),
                             static_cast<float>(layoutWidth), static_cast<float>(itemHeight),
                             rightEdge, highlighted);
}

void CListPopup::OnMouseMove(UINT, CPoint point) {
    ListPainter::SetHandCursor();
    const int hit = RowAt(point);
    if (hit != hoverIndex) {
        hoverIndex = hit;
        Invalidate(TRUE);
        CListAccessible::NotifyRowHighlighted(m_hWnd, hit);
    }
    Default();
}

void CListPopup::OnLButtonDown(UINT, CPoint point) {
    const int row = RowAt(point);
    if (row != -1)
        ChooseRow(row);
    Default();
}

void CListPopup::OnActivateApp(BOOL bActive, DWORD) {
    Default();
    if (!bActive)
        Close();
}

LRESULT CListPopup::OnPopupClose(WPARAM, LPARAM lParam) {
    if (lParam == POPUP_CLOSE_TOKEN)
        Close();
    return 0;
}

LRESULT CListPopup::OnGetObject(WPARAM wParam, LPARAM lParam) {
    if (!CAccessibleBase::IsClientObjectRequest(lParam))
        return Default();
    return CAccessibleBase::Answer(accessible, static_cast<ListAccessSource*>(this), wParam);
}

LRESULT CListPopup::OnWindowDestroy(WPARAM, LPARAM) {
    CAccessibleBase::DisconnectAndRelease(accessible);
    return Default();
}

LRESULT CListPopup::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const CCallDepth frame;
    return CWnd::WindowProc(message, wParam, lParam);
}
