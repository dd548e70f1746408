// ImportHook: while one lives, calls that this program's own code (the
// library's classes are linked in statically) makes to one imported
// function go to a stand-in instead; calls made inside system DLLs do not.
// Tests count platform work with it (bitmaps made, files decoded, windows
// repositioned) without any seam in the product.
#pragma once
#include <windows.h>

class ImportHook {
public:
    // dll as the program imports it ("gdi32.dll"), function by name.
    ImportHook(const char* dll, const char* function, void* standIn);
    ~ImportHook();
    ImportHook(const ImportHook&) = delete;
    ImportHook& operator=(const ImportHook&) = delete;

    // The function the program called before; null when not imported.
    template <class Fn> Fn Original() const { return reinterpret_cast<Fn>(original); }
    bool Installed() const { return slot != nullptr; }

private:
    void Write(void* value);
    void** slot = nullptr;
    void* original = nullptr;
};
