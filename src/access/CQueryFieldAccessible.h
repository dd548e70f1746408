// CQueryFieldAccessible: the accessible object of the query field. It is
// the system's own object for the edit control (role, value, states, caret
// and all) with one difference: its name is "Search query". Every answer
// but the name comes from the wrapped system object.
#pragma once
#include "CAccessibleBase.h"

class CWnd;

class CQueryFieldAccessible : public CAccessibleBase {
public:
    explicit CQueryFieldAccessible(CWnd* edit);

protected:
    ~CQueryFieldAccessible() override;
    void ForgetSource() override;
    HWND Window() const override { return window; }
    long ChildCount() const override;
    HRESULT Name(long id, BSTR* name) const override;
    HRESULT Value(long id, BSTR* value) const override;
    HRESULT Role(long id, VARIANT* role) const override;
    HRESULT State(long id, VARIANT* state) const override;
    HRESULT KeyboardShortcut(long id, BSTR* shortcut) const override;
    HRESULT Focus(VARIANT* child) const override;
    HRESULT Selection(VARIANT* children) const override;
    HRESULT DefaultAction(long id, BSTR* action) const override;
    HRESULT Location(long id, RECT& screen) const override;
    HRESULT HitTest(POINT screen, VARIANT* child) const override;
    HRESULT DoDefaultAction(long id) override;

private:
    // Asks the system object, about the child id given.
    template <class Call> HRESULT Forward(long id, Call call) const;

    HWND window;
    IAccessible* system = nullptr; // the edit control's standard object
};
