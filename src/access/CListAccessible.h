// CListAccessible: the accessible object of a popup list (the engine list
// or the suggestion list): a list with one list item per row, read live
// through the list's ListAccessSource. Rows are simple children whose ids
// are the row index plus one; a row that no longer exists is an invalid id.
#pragma once
#include "CAccessibleBase.h"

class ListAccessSource;

class CListAccessible : public CAccessibleBase {
public:
    explicit CListAccessible(ListAccessSource* source);

    // The events for a highlight that moved to row: selection, then focus.
    static void NotifyRowHighlighted(HWND list, int row);

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
    long ChildCount() const override;
    void ForgetSource() override;

private:
    static int RowOf(long childId) { return static_cast<int>(childId) - 1; }
    HRESULT ReturnHighlighted(VARIANT* out) const;

    ListAccessSource* source;
};
