// LaunchLog: the recording stand-ins for the registry and shell calls.
#include "LaunchLog.h"

namespace {
int g_count = 0;
std::string g_lastUrl;

// Any non-null value serves: the stand-ins never use the key.
HKEY FakeKey() {
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x1234));
}

LSTATUS WINAPI OpenKey(HKEY, LPCSTR, PHKEY key) {
    *key = FakeKey();
    return ERROR_SUCCESS;
}

LSTATUS WINAPI OpenKeyEx(HKEY, LPCSTR, DWORD, REGSAM, PHKEY key) {
    *key = FakeKey();
    return ERROR_SUCCESS;
}

LSTATUS WINAPI CloseKey(HKEY) {
    return ERROR_SUCCESS;
}

HINSTANCE WINAPI ShellExecuteRecorder(HWND, LPCSTR, LPCSTR file, LPCSTR, LPCSTR, INT) {
    ++g_count;
    g_lastUrl = file ? file : "";
    return reinterpret_cast<HINSTANCE>(static_cast<ULONG_PTR>(33)); // success
}
} // namespace

LaunchLog::LaunchLog() {
    const LaunchSeam recording{OpenKey, OpenKeyEx, CloseKey, ShellExecuteRecorder};
    previous = SetLaunchSeam(&recording);
    Clear();
}

LaunchLog::~LaunchLog() {
    SetLaunchSeam(&previous);
}

int LaunchLog::Count() const {
    return g_count;
}

const std::string& LaunchLog::LastUrl() const {
    return g_lastUrl;
}

void LaunchLog::Clear() {
    g_count = 0;
    g_lastUrl.clear();
}
