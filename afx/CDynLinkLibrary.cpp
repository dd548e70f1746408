#include "CDynLinkLibrary.h"

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL bSystem)
    : m_hModule(state.hModule), m_hResource(state.hResource), m_bSystem(bSystem) {
    AFX_MODULE_STATE* module = AfxGetModuleState();
    m_pNextDLL = module->m_pFirstDLL;
    module->m_pFirstDLL = this;
}

CDynLinkLibrary::~CDynLinkLibrary() {
    for (CDynLinkLibrary** link = &AfxGetModuleState()->m_pFirstDLL; *link;
         link = &(*link)->m_pNextDLL) {
        if (*link == this) {
            *link = m_pNextDLL;
            break;
        }
    }
}

BOOL AFXAPI AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule) {
    if (!state.bInitialized) {
        state.hModule = hModule;
        state.hResource = hModule;
        state.bInitialized = TRUE;
    }
    return TRUE;
}

void AFXAPI AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL bAll) {
    CDynLinkLibrary** link = &AfxGetModuleState()->m_pFirstDLL;
    while (*link) {
        CDynLinkLibrary* library = *link;
        if (bAll || library->m_hModule == state.hModule)
            delete library; // unlinks itself
        else
            link = &library->m_pNextDLL;
    }
}
