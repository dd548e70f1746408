// The process-wide module state: the instance that windows are registered
// for (the host program's, also when asked from an extension library), and
// the chain of extension libraries linked into the program.
#pragma once
#include "AfxDefs.h"

class CDynLinkLibrary;

struct AFX_MODULE_STATE {
    HINSTANCE m_hCurrentInstanceHandle;
    HINSTANCE m_hCurrentResourceHandle;
    // First linked extension library; each links to the next.
    CDynLinkLibrary* m_pFirstDLL;
};

AFX_CORE_API AFX_MODULE_STATE* AFXAPI AfxGetModuleState();
AFX_CORE_API HINSTANCE AFXAPI AfxGetInstanceHandle();
AFX_CORE_API HINSTANCE AFXAPI AfxGetResourceHandle();
