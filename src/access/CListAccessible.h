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

protected:
    void ForgetSource() override;
    HWND Window() const override;
    long ChildCount() const override;
    HRESULT Name(long id, BSTR* name) const override;
    HRESULT Role(long id, VARIANT* role) const override;
    HRESULT Description(long id, BSTR* description) const override;
    HRESULT State(long id, VARIANT* state) const override;
    // Focus and selection are both the highlighted row.
    HRESULT Focus(VARIANT* child) const override;
    HRESULT Selection(VARIANT* children) const override;
    HRESULT DefaultAction(long id, BSTR* action) const override;
    HRESULT Location(long id, RECT& screen) const override;
    HRESULT HitTest(POINT screen, VARIANT* child) const override;
    HRESULT DoDefaultAction(long id) override;

private:
    static int RowOf(long childId) { return static_cast<int>(childId) - 1; }
    bool Choosable(long id) const;

    ListAccessSource* source;
};
