// CSettingsFile: the host's INI settings file, named as the profile
// functions name it. Reading goes through the profile functions; writing
// builds the new content in memory (SetIniValue) and puts it in place in
// one step: a copy beside the file, every byte checked and flushed, then
// swapped in for the file. A full disk, a crash, a read-only file or
// folder, or a file another process holds leaves the old bytes whole.
#pragma once
#include "CAtomicFile.h"
#include <string>
#include <windows.h>

class CSettingsFile {
public:
    // The call that swaps the written copy in for an existing file, with
    // the signature and meaning of ReplaceFileW.
    using ReplaceCall = CAtomicFile::ReplaceCall;

    explicit CSettingsFile(const std::wstring& path);

    // The value as GetPrivateProfileStringW gives it; empty when absent or
    // when no usable file is named. Section and key are ASCII.
    std::wstring Read(const char* section, const char* key) const;
    // Sets the value (ASCII, as section and key); true when the file holds
    // it afterwards. Nothing is written when the file already holds it.
    bool Write(const char* section, const char* key, const std::string& value) const;

    // The full path the profile functions use for this name: a bare file
    // name lies in the Windows folder, any other name is made full against
    // the current folder. Empty when the name cannot be used.
    std::wstring FullPath() const;

    // Replaces the swap call for tests (null restores ReplaceFileW);
    // returns the previous one.
    static ReplaceCall SetReplaceCall(ReplaceCall call);

private:
    std::wstring path;
};
