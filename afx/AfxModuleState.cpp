#include "AfxModuleState.h"
#include "AfxState.h"

AFX_MODULE_STATE* AFXAPI AfxGetModuleState() {
    static AFX_MODULE_STATE state = {::GetModuleHandleA(nullptr), ::GetModuleHandleA(nullptr),
                                     nullptr};
    return &state;
}

HINSTANCE AFXAPI AfxGetInstanceHandle() {
    return AfxGetModuleState()->m_hCurrentInstanceHandle;
}

HINSTANCE AFXAPI AfxGetResourceHandle() {
    return AfxGetModuleState()->m_hCurrentResourceHandle;
}

std::unordered_map<HWND, CWnd*>& AfxHandleMap() {
    static std::unordered_map<HWND, CWnd*> map;
    return map;
}
