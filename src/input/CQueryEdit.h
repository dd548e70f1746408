// CQueryEdit: the edit control of the query field, a Unicode window (made
// with the wide functions, subclassed with them). It is the system's edit
// control in every respect but two: asked for its accessible object, it
// hands out the system's own object under the name "Search query", since
// the field has no label the system could take a name from; and while it
// has the keyboard focus, a thread hook keeps characters that the ANSI code
// page cannot carry intact on their way through a host's ANSI message loop.
//
// The hook: GetMessageA and PeekMessageA hand a host its messages in the
// code page, so a WM_CHAR or WM_IME_CHAR for a character outside it would
// reach the field as '?'. A WH_GETMESSAGE hook sees each message in UTF-16
// before that conversion; for such a character (and only then) it turns
// the message into UM_WIDE_CHAR or UM_WIDE_IME_CHAR, which no conversion
// touches and which the field handles as the original message. A character
// the code page holds, and every message of a Unicode loop, pass unchanged.
#pragma once
#include <afxwin.h>

class CQueryFieldAccessible;

class CQueryEdit : public CEdit {
public:
    CQueryEdit();
    ~CQueryEdit() override;

    // True when the character survives the trip through the ANSI code page.
    static bool FitsCodePage(wchar_t ch);
    // Runs as a frame of the library's code (CCallDepth).
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    afx_msg LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnWindowDestroy(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetFocusMessage(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnKillFocusMessage(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnWideChar(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnWideImeChar(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    CQueryFieldAccessible* accessible = nullptr; // made on the first request
};
