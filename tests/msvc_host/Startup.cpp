// The start of a program that has no C runtime: the entry point gives main
// its arguments (from the command line, in the ANSI code page) and ends the
// process with main's result. memset and memcpy, which the compiler calls
// for zeroing and copying blocks, are defined here for the same reason;
// this file is compiled with -fno-builtin so they do not call themselves.
#include <windows.h>

#include <shellapi.h>

int main(int argc, char** argv);

extern "C" {

void* memset(void* destination, int value, size_t count) {
    auto* bytes = static_cast<unsigned char*>(destination);
    while (count--)
        *bytes++ = static_cast<unsigned char>(value);
    return destination;
}

void* memcpy(void* destination, const void* source, size_t count) {
    auto* to = static_cast<unsigned char*>(destination);
    const auto* from = static_cast<const unsigned char*>(source);
    while (count--)
        *to++ = *from++;
    return destination;
}

void mainCRTStartup() {
    static char text[4096];
    static char* argv[16];
    int argc = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    char* next = text;
    if (!wide || argc > 15)
        argc = 0;
    for (int i = 0; i < argc; ++i) {
        const int room = static_cast<int>(text + sizeof(text) - next);
        const int size =
            ::WideCharToMultiByte(CP_ACP, 0, wide[i], -1, next, room, nullptr, nullptr);
        argv[i] = next;
        if (size == 0)
            *next = '\0';
        next += size ? size : 1;
    }
    ::LocalFree(wide);
    ::ExitProcess(static_cast<UINT>(main(argc, argv)));
}

} // extern "C"
