// CGuiEdit: the query edit frame, a small owned top-level window ("GUI_EDIT")
// that hosts the edit control the user types into. Each change of the text
// is posted to the frame's owner (the bar) as UM_EDIT_UPDATED unless
// suppressNotify is set.
#pragma once
#include "../render/CDpiScale.h"
#include <afxwin.h>

class CGuiEdit : public CWnd {
public:
    CGuiEdit();
    ~CGuiEdit() override;

    // placement: x, y, width and height, screen coordinates.
    BOOL Create(HWND parent, const RECT& placement);
    // Resizes the frame without moving it; the edit control covers it.
    void SetSize(int w, int h);
    // Sets the text and puts the caret after its last character.
    void SetText(const char* text);
    // Leaves text unchanged when there is no edit control.
    void GetText(CString& text);
    HWND GetEditHwnd() const;
    void SetEditFocus();
    // The scale of the control's font; a created control gets a new font.
    void SetDpiScale(const CDpiScale& scale);

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    int suppressNotify = 0;
    CEdit* edit = nullptr;
    HFONT font = nullptr;
    int width = 0;
    int height = 0;
    CDpiScale dpiScale;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnPaint();
    afx_msg void OnEditUpdate();
    DECLARE_MESSAGE_MAP()
};

// Moves any window to (x, y), keeping its size, with repaint.
void MoveTo(CWnd* window, int x, int y);
