// CDC: a device context handle. A CDC made by CWnd::GetDC is a temporary
// object owned by the framework; it lives until CWnd::ReleaseDC.
#pragma once
#include "AfxDefs.h"

class AFX_CORE_API CDC {
public:
    CDC() = default;
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }

    HDC m_hDC = nullptr;
};
