// CQueryEdit: the edit control of the query field, a Unicode window (made
// with the wide functions, subclassed with them). It is the system's edit
// control in every respect but three: asked for its accessible object, it
// hands out the system's own object under the name "Search query", since
// the field has no label the system could take a name from; while it has
// the keyboard focus, a thread hook keeps characters that the ANSI code
// page cannot carry intact on their way through a host's ANSI message loop;
// and it places an input method's windows and follows its compositions.
//
// The hook: GetMessageA and PeekMessageA hand a host its messages in the
// code page, so a WM_CHAR or WM_IME_CHAR for a character outside it would
// reach the field as '?'. A WH_GETMESSAGE hook sees each message in UTF-16
// before that conversion; for such a character (and only then) it turns
// the message into UM_WIDE_CHAR or UM_WIDE_IME_CHAR, which no conversion
// touches and which the field handles as the original message. A character
// the code page holds, and every message of a Unicode loop, pass unchanged.
//
// Input methods: when the field takes the focus, and as a composition goes
// on, the field puts the composition window at the caret in the field's own
// font and the candidate window below the caret, clear of the field. A
// composition may change the control's text before the user has chosen
// anything (Wine's edit control shows the composition string in the text),
// so from its start until its result has settled in the text the field
// tells its parent (UM_COMPOSITION) and the parent holds back its change
// notifications; at the end the parent learns whether the text changed.
// A composition that ends without a result leaves the text as it was.
#pragma once
#include <afxwin.h>
#include <string>

class CQueryFieldAccessible;

class CQueryEdit : public CEdit {
public:
    CQueryEdit();
    ~CQueryEdit() override;

    // True when the character survives the trip through the ANSI code page.
    static bool FitsCodePage(wchar_t ch);
    // Runs as a frame of the library's code (CCallDepth).
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // From the start of a composition until its result has settled.
    bool Composing() const { return composition != Composition::None; }

protected:
    afx_msg LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnWindowDestroy(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetFocusMessage(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnKillFocusMessage(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnWideChar(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnWideImeChar(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnStartComposition(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnComposition(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnEndComposition(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnImeNotify(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnPlacementChange(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnTimerMessage(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    // Open: between WM_IME_STARTCOMPOSITION and WM_IME_ENDCOMPOSITION.
    // Settling: ended, while the characters of its result may still be on
    // their way (the system posts them).
    enum class Composition { None, Open, Settling };

    // Composition and candidate windows at the caret, when the caret is
    // this field's.
    void PlaceInputMethodWindows();
    void BeginComposition();
    void RestoreTextBeforeComposition();
    void StartSettling();
    void FinishComposition();
    std::wstring Text() const;

    CQueryFieldAccessible* accessible = nullptr; // made on the first request
    Composition composition = Composition::None;
    bool resultCommitted = false;
    std::wstring textBeforeComposition;
    DWORD selectionStart = 0;
    DWORD selectionEnd = 0;
};
