// CBarAccessible: the accessible object of the search bar, a tool bar named
// "Search" with three children: the engine chooser (a drop-down button
// whose value is the current engine), the query field (the edit control's
// own accessible object) and the search button. Everything is read live
// from the bar; locations and hit-testing use the bar's click rectangles.
#pragma once
#include "CAccessibleBase.h"

class CSearchBar;

class CBarAccessible : public CAccessibleBase {
public:
    enum Child : long { kEngineChooser = 1, kQueryField = 2, kSearchButton = 3 };

    explicit CBarAccessible(CSearchBar* bar);

    // The event for a new current engine, the engine chooser's value.
    static void NotifyEngineChanged(HWND bar);

protected:
    void ForgetSource() override;
    HWND Window() const override;
    long ChildCount() const override { return 3; }
    HRESULT ChildObject(long id, IDispatch** object) const override;
    HRESULT Name(long id, BSTR* name) const override;
    HRESULT Value(long id, BSTR* value) const override;
    HRESULT Role(long id, VARIANT* role) const override;
    HRESULT State(long id, VARIANT* state) const override;
    HRESULT KeyboardShortcut(long id, BSTR* shortcut) const override;
    HRESULT Focus(VARIANT* child) const override;
    HRESULT DefaultAction(long id, BSTR* action) const override;
    HRESULT Location(long id, RECT& screen) const override;
    HRESULT HitTest(POINT screen, VARIANT* child) const override;
    HRESULT DoDefaultAction(long id) override;

private:
    HWND EditWindow() const;
    // The edit control's own object, asked for through its window.
    HRESULT QueryFieldObject(IAccessible** field) const;
    HRESULT ReturnQueryField(VARIANT* out) const;
    // Asks the query field's object about itself.
    template <class Call> HRESULT AskQueryField(Call call) const;

    CSearchBar* bar;
};
