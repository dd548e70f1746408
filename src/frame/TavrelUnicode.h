// CTavrelUnicode: the bar's UTF-16 operations, the twins of the host
// interface's string operations. Not part of Tavrel.h: the 23 slots and the
// eight exports of Tavrel.dll stay as they are. Every bar object implements
// it beside CTavrel, and the C interface (TavrelC.dll, tavrel_c.h) reaches it
// from a bar's CTavrel* by a cross-cast (dynamic_cast), which needs no
// export of its own.
//
// Strings are NUL-terminated UTF-16; null or empty where a slot ignores them
// is ignored the same way. An engine registered here appends its query in
// UTF-8 (see SearchUrl.h).
#pragma once
#include <string>

class CTavrelUnicode {
public:
    virtual void SetBackgroundImageW(const wchar_t* path, int cornerRadius) = 0;
    virtual void SetActiveBackgroundImageW(const wchar_t* path) = 0;
    virtual void SetEngineIconImageW(const wchar_t* path) = 0;
    virtual void SetArrowImageW(const wchar_t* path) = 0;
    virtual void SetSearchButtonImageW(const wchar_t* path) = 0;
    virtual void SetEngineListBackgroundW(const wchar_t* path) = 0;
    virtual void SetEngineListHighlightW(const wchar_t* path) = 0;
    virtual void SetSuggestionListBackgroundW(const wchar_t* path) = 0;
    virtual void SetSuggestionListHighlightW(const wchar_t* path) = 0;
    virtual void GetQueryTextW(std::wstring& text) = 0;
    virtual void AddSuggestionW(const wchar_t* text) = 0;
    virtual int AddEngineW(const wchar_t* iconPath, const wchar_t* name,
                           const wchar_t* urlPrefix) = 0;
    // The bar's own copies, valid until the current engine changes.
    virtual const wchar_t* GetEngineNameW() = 0;
    virtual const wchar_t* GetEngineUrlW() = 0;
    virtual void SetSettingsFileW(const wchar_t* iniPath) = 0;

protected:
    ~CTavrelUnicode() = default;
};
