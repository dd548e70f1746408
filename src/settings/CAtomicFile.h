// CAtomicFile: a file that is read whole and replaced in one step. Reading
// takes the bytes (up to a bound) and notes whether the file exists and its
// attributes; replacing writes the new bytes to a copy beside the file,
// checks and flushes every byte, then swaps the copy in (ReplaceFileW, or a
// move for a new file). A full disk, a crash, a read-only file or folder, or
// a file another process holds leaves the old bytes whole.
#pragma once
#include <string>
#include <windows.h>

class CAtomicFile {
public:
    // The call that swaps the written copy in for an existing file, with
    // the signature and meaning of ReplaceFileW.
    using ReplaceCall = BOOL(WINAPI*)(LPCWSTR replaced, LPCWSTR replacement, LPCWSTR backup,
                                      DWORD flags, LPVOID exclude, LPVOID reserved);

    explicit CAtomicFile(std::wstring fullPath);

    // Reads the file; false when it exists but cannot be read, is a folder,
    // or is larger than maxBytes (unless cutAtMax, which reads that many).
    // A missing file reads as empty and not existing.
    bool Read(LONGLONG maxBytes, bool cutAtMax = false);
    // Puts the content in the file's place; true when it is there.
    bool Replace(const std::string& content) const;

    bool Exists() const { return exists; }
    const std::string& Content() const { return content; }
    // Replaces the swap call for tests (null restores ReplaceFileW);
    // returns the previous one.
    static ReplaceCall SetReplaceCall(ReplaceCall call);

private:
    std::wstring path;
    bool exists = false;
    DWORD attributes = 0;
    std::string content;
};
