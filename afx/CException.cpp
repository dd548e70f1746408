// Exceptions thrown as pointers, the framework's way.
#include "CException.h"

CException::CException(BOOL bAutoDelete) : m_bAutoDelete(bAutoDelete) {}
CException::~CException() = default;

void CException::Delete() {
    if (m_bAutoDelete)
        delete this;
}

CResourceException::CResourceException() = default;
CResourceException::~CResourceException() = default;

void AFXAPI AfxThrowResourceException() {
    throw new CResourceException();
}
