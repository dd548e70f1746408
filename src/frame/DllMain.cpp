// Entry point of Tavrel.dll: links the library into the host program's chain
// of extension libraries at load and unlinks it at unload.
#include <afxdllx.h>
#include <new>

namespace {
AFX_EXTENSION_MODULE g_module = {FALSE, nullptr, nullptr};
}

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        if (!AfxInitExtensionModule(g_module, hInstance))
            return FALSE;
        // The framework owns the link from here on.
        new (std::nothrow) CDynLinkLibrary(g_module);
    } else if (reason == DLL_PROCESS_DETACH) {
        AfxTermExtensionModule(g_module);
    }
    return TRUE;
}
