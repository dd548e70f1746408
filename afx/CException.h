// CException and CResourceException: the framework throws exceptions as
// heap pointers; the catcher calls Delete() when it is done with one.
#pragma once
#include "AfxDefs.h"

class AFX_CORE_API CException {
public:
    explicit CException(BOOL bAutoDelete = TRUE);
    virtual ~CException();
    void Delete();

protected:
    BOOL m_bAutoDelete;
};

class AFX_CORE_API CResourceException : public CException {
public:
    CResourceException();
    ~CResourceException() override;
};

// Throws a new CResourceException*; never returns.
[[noreturn]] AFX_CORE_API void AFXAPI AfxThrowResourceException();
