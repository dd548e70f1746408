// ListAccessSource: what a popup list tells its accessible object. Both
// lists implement it over their own rows; CListAccessible reads only
// through it, so it never holds a row or an index of its own.
#pragma once
#include <string>
#include <windows.h>

class ListAccessSource {
public:
    virtual HWND ListWindow() const = 0;
    virtual const wchar_t* ListName() const = 0;
    virtual int RowCount() const = 0;
    // The row's UTF-16 text.
    virtual std::wstring RowName(int row) const = 0;
    // What the row is, beyond its text; empty for none.
    virtual std::wstring RowDescription(int) const { return std::wstring(); }
    // False for a row that neither the mouse nor the keys can choose.
    virtual bool RowSelectable(int row) const = 0;
    // The highlighted row, or -1.
    virtual int HighlightedRow() const = 0;
    // A row's rectangle in the list's client coordinates.
    virtual RECT RowRect(int row) const = 0;
    // The row that a click at the client point would choose, or -1.
    virtual int RowAt(POINT client) const = 0;
    // Does what a click on the row does.
    virtual void ChooseRow(int row) = 0;

protected:
    ~ListAccessSource() = default;
};
