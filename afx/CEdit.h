// CEdit: the system edit control as a framework window.
#pragma once
#include "CWnd.h"

class AFX_CORE_API CEdit : public CWnd {
public:
    CEdit();
    ~CEdit() override;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    void SetSel(int nStartChar, int nEndChar, BOOL bNoScroll = FALSE);
};
