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

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;

protected:
    long ChildCount() const override { return 3; }
    void ForgetSource() override;

private:
    HWND EditWindow() const;
    // The edit control's own object, asked for through its window.
    HRESULT QueryFieldObject(IAccessible** field) const;
    HRESULT ReturnQueryField(VARIANT* out) const;
    // Asks the query field's object about itself.
    template <class Call> HRESULT AskQueryField(Call call) const;

    CSearchBar* bar;
};
