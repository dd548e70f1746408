// CPaintDC: BeginPaint in the constructor, EndPaint in the destructor.
#pragma once
#include "CDC.h"

class AFX_CORE_API CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps{};

protected:
    HWND m_hWnd;
};
