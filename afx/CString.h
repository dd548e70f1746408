// CString: the framework's narrow string, only as much of it as callers use.
// It holds a std::string; every module shares one C++ runtime DLL, so the
// object may be filled in one DLL and read in another.
#pragma once
#include "AfxDefs.h"
#include <string>

class CString {
public:
    CString() = default;
    CString(const char* text) : m_text(text ? text : "") {}
    CString(const std::string& text) : m_text(text) {}

    int GetLength() const { return static_cast<int>(m_text.size()); }
    BOOL IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    operator const char*() const { return m_text.c_str(); }
    const std::string& Str() const { return m_text; }

    CString& operator=(const char* text) {
        m_text = text ? text : "";
        return *this;
    }
    bool operator==(const char* text) const { return m_text == (text ? text : ""); }
    bool operator!=(const char* text) const { return !(*this == text); }

private:
    std::string m_text;
};
