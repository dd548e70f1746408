// CEngineList: the drop-down of search engines, one row (icon and name) per
// engine. A click on a row writes its index to the settings file, closes the
// list and posts UM_ENGINE_CHOSEN with the entry to the owner (the bar).
// While it is open the bar's keys move its highlight and choose from it.
#pragma once
#include "../access/ListAccessSource.h"
#include "../hooks/CPopupHook.h"
#include "../render/CFontFallback.h"
#include "../render/CSkinImage.h"
#include "../render/CTextStyle.h"
#include "ListTextLook.h"
#include "EngineItem.h"
#include <afxwin.h>
#include <string>
#include <vector>

namespace Gdiplus {
class Graphics;
}
class CListAccessible;

class CEngineList : public CWnd, public ListAccessSource {
public:
    CEngineList();
    ~CEngineList() override;

    BOOL Create(HWND parent, int x, int y, int w, int h);
    // Paths and names come in the ANSI code page or, in the W forms, in
    // UTF-16; the list keeps both forms (see EngineItem.h).
    void SetBackgroundSkin(const char* path, int cornerRadius);
    void SetBackgroundSkinW(const std::wstring& path, int cornerRadius);
    void SetHighlightSkin(const char* path);
    void SetHighlightSkinW(const std::wstring& path);
    void SetSettingsPath(const char* path);
    void SetSettingsPathW(const std::wstring& path);
    // 1 when added; 0 for a null, empty or already present name. Names are
    // compared in UTF-16, whichever way they came.
    int AddEngine(const char* iconPath, const char* name, const char* urlPrefix);
    int AddEngineW(const wchar_t* iconPath, const wchar_t* name, const wchar_t* urlPrefix);
    BOOL HasEngine(const char* name) const;
    BOOL HasEngineW(const std::wstring& name) const;
    EngineItem* GetItem(int index) const;
    // The entry at that address, or null: the address is compared with the
    // entries', never read, so any value is safe to pass.
    const EngineItem* FindItem(LPARAM address) const;
    int GetCount() const { return static_cast<int>(items.size()); }
    // Index of the row holding the client point, or -1.
    int HitTest(CPoint point) const;
    void Show();
    void Hide();
    // Row sizes, text size and pictures follow the scale; a change reloads
    // the skins and icons and resizes the list.
    void SetDpiScale(const CDpiScale& scale);
    // The rows' text as the host chose it; a shown list repaints at once.
    void SetTextLook(const ListTextLook& look);
    // Index of the engine with that name, or -1.
    int IndexOf(const std::string& name) const;
    int IndexOfW(const std::wstring& name) const;
    // Highlights the row (none for a row that cannot be chosen) and tells
    // accessibility clients.
    void SetHighlight(int row);
    // Moves the highlight by one choosable row in the direction of step,
    // stopping at the ends; from no highlight Down starts at the top and
    // Up at the bottom.
    void MoveHighlight(int step);

    // ListAccessSource
    HWND ListWindow() const override { return m_hWnd; }
    const wchar_t* ListName() const override { return L"Search engines"; }
    int RowCount() const override { return GetCount(); }
    std::wstring RowName(int row) const override;
    // Only rows with an icon are drawn and clickable.
    bool RowSelectable(int row) const override;
    int HighlightedRow() const override { return hoverIndex; }
    RECT RowRect(int row) const override;
    int RowAt(POINT client) const override { return HitTest(client); }
    // A click's effect: closes, stores the index, tells the owner.
    void ChooseRow(int row) override;
    // Whether the last choice reached the settings file (false when no file
    // is named or the write failed, and the file holds what it held).
    bool ChoiceStored() const { return choiceStored; }

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    // Runs as a frame of the library's code (CCallDepth).
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    HDC windowDC = nullptr;
    HDC bufferDC = nullptr;
    HBITMAP bufferBitmap = nullptr;
    int width = 0;
    int height = 0;
    int itemWidth = 100;
    int itemHeight = 25;
    int fontSize = 13;
    std::vector<EngineItem*> items;
    int hoverIndex = -1;
    CTextStyle* textStyle = nullptr;
    ListTextLook textLook; // what textStyle is made from, at 96 DPI
    CSkinImage backgroundSkin;
    CSkinImage highlightSkin;
    std::string backgroundSkinPath;
    std::string highlightSkinPath;
    std::string settingsPath;
    std::wstring backgroundSkinPathW;
    std::wstring highlightSkinPathW;
    std::wstring settingsPathW;
    CRowFonts rowFonts; // fallback fonts of rows in other scripts
    CPopupHook popupHook;
    UINT32 borderColor = 0xFE333333;
    CDpiScale dpiScale;
    CListAccessible* accessible = nullptr; // made on the first request
    bool choiceStored = false;

protected:
    void DrawContent(Gdiplus::Graphics* graphics);
    // Writes the index under [Select] Index of the settings file and notes
    // whether it got there.
    void StoreChosenIndex(int index);
    // Takes a new entry whose strings are set; 0 when its name is taken.
    int AddItem(EngineItem* item);
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnPaint();
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnActivateApp(BOOL bActive, DWORD dwThreadID);
    afx_msg LRESULT OnPopupClose(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnWindowDestroy(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
