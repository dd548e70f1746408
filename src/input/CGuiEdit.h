// CGuiEdit: the query edit frame, a small owned top-level window ("GUI_EDIT")
// that hosts the edit control the user types into, a Unicode control that
// holds any character (see CQueryEdit.h). Each change of the text is posted
// to the frame's owner (the bar) as UM_EDIT_UPDATED unless suppressNotify is
// set, and none while an input method's composition is open or settling
// (one follows when its result has changed the text; see CQueryEdit.h). A
// composition's start is posted to the owner as UM_COMPOSITION (1, 0). A
// text with characters the field's font has no glyphs for is shown
// in a fallback family's font (see CFontFallback.h) until the text fits the
// field's own font again.
#pragma once
#include "../render/CDpiScale.h"
#include "FieldLook.h"
#include <afxwin.h>
#include <string>

class CGuiEdit : public CWnd {
public:
    CGuiEdit();
    ~CGuiEdit() override;

    // placement: x, y, width and height, screen coordinates.
    BOOL Create(HWND parent, const RECT& placement);
    // Resizes the frame without moving it; the edit control covers it.
    void SetSize(int w, int h);
    // Sets the text and puts the caret after its last character; the narrow
    // form takes text in the ANSI code page.
    void SetText(const char* text);
    void SetTextW(const std::wstring& text);
    // Leaves text unchanged when there is no edit control. The narrow form
    // gives the text in the ANSI code page, with the system's default
    // character for what the code page cannot hold (GetWindowTextA).
    void GetText(CString& text);
    void GetTextW(std::wstring& text);
    HWND GetEditHwnd() const;
    void SetEditFocus();
    // True from the start of a composition until its result has settled.
    bool Composing() const;
    // The scale of the control's font; a created control gets a new font.
    void SetDpiScale(const CDpiScale& scale);
    // The control's font and colours as the host chose them; a created
    // control gets a new font and repaints at once. The caret and the
    // selection keep the system's look.
    void SetLook(const FieldLook& look);
    // Right-aligned text read right to left (ES_RIGHT, WS_EX_RTLREADING).
    // A created control is made again with the new style, keeping its
    // text, selection and focus: the edit control reads its alignment only
    // when it is created.
    void SetRightToLeft(bool rightToLeft);

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    // Runs as a frame of the library's code (CCallDepth).
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    int suppressNotify = 0;
    CEdit* edit = nullptr;
    HFONT font = nullptr;
    HFONT fallbackFont = nullptr;  // in use while the text needs it
    std::wstring fallbackFamily;   // the family of fallbackFont
    FieldLook look;
    HBRUSH backgroundBrush = nullptr; // the control's background while look.colored
    int width = 0;
    int height = 0;
    CDpiScale dpiScale;
    bool rightToLeft = false;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnPaint();
    afx_msg void OnEditUpdate();
    afx_msg LRESULT OnFieldFont(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnCtlColorEdit(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnFieldComposition(WPARAM wParam, LPARAM lParam);

private:
    // Makes the edit control (edit must be null) at rect in the frame's
    // client area, with the field's font; false when it did not appear.
    bool CreateEditControl(const RECT& rect);
    void RecreateEditControl();
    // The fallback family the text needs, empty when the field's own font
    // has its glyphs.
    std::wstring FamilyNeeded() const;
    // Asks for OnFieldFont when the font in use is not the one needed.
    void CheckFont();
    void DropFallbackFont();
    // Gives the control a font made for the look at the scale.
    void RenewFont();
    DECLARE_MESSAGE_MAP()
};

// Moves any window to (x, y), keeping its size, with repaint.
void MoveTo(CWnd* window, int x, int y);
