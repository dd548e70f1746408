// CListPopup: what the engine list and the suggestion list have in common: a
// hidden owned popup of the class "GUI_AFXSELECT" that paints its rows
// through a back buffer (the window's DC, a memory DC and its bitmap), its
// background and highlight skins, its text look at its DPI scale, hover
// highlighting, a click that chooses the row under the pointer, its
// accessible object, and the direction its rows read in. Each list adds its
// rows, how one row is drawn, and how it shows, hides and closes.
#pragma once
#include "../access/ListAccessSource.h"
#include "../hooks/CPopupHook.h"
#include "../render/CDpiScale.h"
#include "../render/CFontFallback.h"
#include "../render/CSkinImage.h"
#include "../render/CTextStyle.h"
#include "ListTextLook.h"
#include <afxwin.h>
#include <string>

namespace Gdiplus {
class Graphics;
}
class CListAccessible;

class CListPopup : public CWnd, public ListAccessSource {
public:
    CListPopup();
    ~CListPopup() override;

    BOOL Create(HWND parent, int x, int y, int w, int h);
    // Paths come in the ANSI code page or, in the W forms, in UTF-16; the
    // list keeps both forms. An empty path changes nothing.
    void SetBackgroundSkin(const char* path, int cornerRadius);
    void SetBackgroundSkinW(const std::wstring& path, int cornerRadius);
    void SetHighlightSkin(const char* path);
    void SetHighlightSkinW(const std::wstring& path);
    // The rows' text as the host chose it; a shown list repaints at once.
    void SetTextLook(const ListTextLook& look);
    // Right to left: every row is laid out as a mirror of its left-to-right
    // self (an engine's icon, a recent search's clock and the text's start at
    // the right end), and its text is right-aligned in right-to-left reading
    // order; a left-to-right text among them still reads left to right. The
    // pictures are drawn as they are, rows keep their rectangles, keys work
    // as before. A shown list repaints at once.
    void SetRightToLeft(bool rtl);
    bool IsRightToLeft() const { return rightToLeft; }
    virtual void Show() = 0;
    virtual void Hide() = 0;

    // ListAccessSource
    HWND ListWindow() const override { return m_hWnd; }
    int HighlightedRow() const override { return hoverIndex; }
    RECT RowRect(int row) const override;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    // Runs as a frame of the library's code (CCallDepth).
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    HDC windowDC = nullptr;
    HDC bufferDC = nullptr;
    HBITMAP bufferBitmap = nullptr;
    int width = 0;
    int height = 0;
    int itemHeight = 25;
    int fontSize = 13;
    int hoverIndex = -1;
    UINT32 borderColor = 0xFE333333;
    CDpiScale dpiScale;
    CTextStyle* textStyle = nullptr;
    ListTextLook textLook; // what textStyle is made from, at 96 DPI
    CSkinImage backgroundSkin;
    CSkinImage highlightSkin;
    std::string backgroundSkinPath;
    std::string highlightSkinPath;
    std::wstring backgroundSkinPathW;
    std::wstring highlightSkinPathW;
    CRowFonts rowFonts; // fallback fonts of rows in other scripts
    CPopupHook popupHook;
    CListAccessible* accessible = nullptr; // made on the first request
    bool rightToLeft = false;

protected:
    // Row height 25 and the text size at 96 DPI, at the new scale, and the
    // loaded skins again; false when the scale is the same or the list has
    // no window (nothing more to reload or resize).
    bool TakeDpiScale(const CDpiScale& scale);
    // The first steps of a list's destruction, while its own Hide still
    // runs: the accessible object, the hooks and the window of a shown list,
    // the text style, the skins and the back buffer, in this order. The
    // list deletes its rows after it.
    void ReleaseListParts();
    // Where a box that stands left px from the left edge in a left-to-right
    // row stands in this list's direction.
    int MirroredLeft(int left, int boxWidth) const;
    // A row's text, vertically centred in the row at rowTop, in the span
    // from left to rightEdge of a left-to-right row. Left to right, it starts
    // at left in a layout box layoutWidth wide, and a text that reads right
    // to left ends at rightEdge; right to left, the span is mirrored and
    // every text ends at its right end. Either is clipped at the span's
    // other end.
    void DrawRowText(Gdiplus::Graphics* graphics, const std::wstring& text, int rowTop, int left,
                     int layoutWidth, int rightEdge, bool highlighted);
    // One row's content over the background and the highlight.
    virtual void DrawRow(Gdiplus::Graphics* graphics, int row, int rowTop) = 0;
    // Hiding by an outside click or deactivation.
    virtual void Close() = 0;
    void DrawContent(Gdiplus::Graphics* graphics);
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnPaint();
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnActivateApp(BOOL bActive, DWORD dwThreadID);
    afx_msg LRESULT OnPopupClose(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnWindowDestroy(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    // The text style, the skins and the back buffer; each can go twice.
    void ReleaseDrawing();
};
