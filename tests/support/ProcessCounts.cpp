#include "ProcessCounts.h"

#include <windows.h>

#include <tlhelp32.h>
#include <vector>

size_t HeapBytesInUse() {
    std::vector<HANDLE> heaps(32);
    for (;;) {
        const DWORD count = ::GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
        if (count <= heaps.size()) {
            heaps.resize(count);
            break;
        }
        heaps.resize(count + 8); // a heap made between the two calls
    }
    size_t busy = 0;
    for (HANDLE heap : heaps) {
        if (!::HeapLock(heap))
            continue;
        PROCESS_HEAP_ENTRY entry{};
        while (::HeapWalk(heap, &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                busy += entry.cbData;
        ::HeapUnlock(heap);
    }
    return busy;
}

namespace {
BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    ::EnumChildWindows(window, &CountChild, count);
    return TRUE;
}
} // namespace

int ThreadWindowCount() {
    int count = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CountTopLevel, reinterpret_cast<LPARAM>(&count));
    return count;
}

int ProcessThreadCount() {
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    int count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Thread32First(snapshot, &entry); more;
         more = ::Thread32Next(snapshot, &entry))
        count += entry.th32OwnerProcessID == ::GetCurrentProcessId() ? 1 : 0;
    ::CloseHandle(snapshot);
    return count;
}

int GdiHeadroom(int limit) {
    HDC screen = ::GetDC(nullptr);
    std::vector<HBITMAP> made;
    made.reserve(static_cast<size_t>(limit));
    while (static_cast<int>(made.size()) < limit) {
        HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 1, 1);
        if (!bitmap)
            break;
        made.push_back(bitmap);
    }
    for (HBITMAP bitmap : made)
        ::DeleteObject(bitmap);
    ::ReleaseDC(nullptr, screen);
    return static_cast<int>(made.size());
}
