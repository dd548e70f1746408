// access_client HWND OUTPUT: reads the accessible object of a window in
// another process as a screen reader does and writes what it read to
// OUTPUT: "name|role|child count", then "name|state" per child, in UTF-8.
// Exit code 0 when everything could be read.
#include <cstdio>
#include <cstdlib>
#include <oleacc.h>
#include <string>
#include <windows.h>

namespace {
std::string Utf8(const wchar_t* text) {
    if (!text)
        return std::string();
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(size > 0 ? size - 1 : 0), '\0');
    if (size > 1)
        ::WideCharToMultiByte(CP_UTF8, 0, text, -1, &result[0], size, nullptr, nullptr);
    return result;
}

bool ReadName(IAccessible* object, long id, std::string& name) {
    VARIANT child;
    child.vt = VT_I4;
    child.lVal = id;
    BSTR text = nullptr;
    const bool ok = object->get_accName(child, &text) == S_OK;
    name = Utf8(text);
    ::SysFreeString(text);
    return ok;
}

bool ReadNumber(IAccessible* object, long id, bool role, long& number) {
    VARIANT child, value;
    child.vt = VT_I4;
    child.lVal = id;
    ::VariantInit(&value);
    const HRESULT hr =
        role ? object->get_accRole(child, &value) : object->get_accState(child, &value);
    number = value.vt == VT_I4 ? value.lVal : -1;
    return hr == S_OK && value.vt == VT_I4;
}

int Read(HWND window, std::string& report) {
    IAccessible* list = nullptr;
    if (FAILED(::AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible),
                                            reinterpret_cast<void**>(&list))))
        return 2;
    std::string name;
    long role = 0, count = 0;
    bool ok = ReadName(list, CHILDID_SELF, name) && ReadNumber(list, CHILDID_SELF, true, role) &&
              list->get_accChildCount(&count) == S_OK;
    report = name + "|" + std::to_string(role) + "|" + std::to_string(count) + "\n";
    for (long id = 1; ok && id <= count; ++id) {
        long state = 0;
        ok = ReadName(list, id, name) && ReadNumber(list, id, false, state);
        report += name + "|" + std::to_string(state) + "\n";
    }
    list->Release();
    return ok ? 0 : 3;
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 3)
        return 1;
    const HWND window =
        reinterpret_cast<HWND>(static_cast<ULONG_PTR>(std::strtoull(argv[1], nullptr, 10)));
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::string report;
    const int result = Read(window, report);
    ::CoUninitialize();
    if (FILE* out = std::fopen(argv[2], "wb")) {
        std::fwrite(report.data(), 1, report.size(), out);
        std::fclose(out);
    }
    return result;
}
