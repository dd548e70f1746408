// CQueryEdit: the edit control of the query field. It is the system's edit
// control in every respect but one: asked for its accessible object, it
// hands out the system's own object under the name "Search query", since
// the field has no label the system could take a name from.
#pragma once
#include <afxwin.h>

class CQueryFieldAccessible;

class CQueryEdit : public CEdit {
public:
    CQueryEdit();
    ~CQueryEdit() override;

protected:
    afx_msg LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnWindowDestroy(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    CQueryFieldAccessible* accessible = nullptr; // made on the first request
};
