// TavrelC.dll as a program in any language meets it: exactly the plain
// names of tavrel_c.h exported, each found by GetProcAddress and the same
// function the import library reaches; and the boundary stays safe (null
// bars, the snprintf-like text copy, exceptions turned into failure values).
#include "../../capi/Guarded.h"
#include "MessageRecorder.h"
#include "ModuleExports.h"
#include "RefusedBar.h"
#include "tavrel_c.h"
#include <algorithm>
#include <climits>
#include <gtest/gtest.h>
#include <iterator>
#include <new>
#include <string>
#include <utility>

namespace {
// The windows the bar owns that have this class name, the first one.
HWND OwnedWindow(HWND bar, const char* className) {
    HWND found = nullptr;
    while ((found = ::FindWindowExA(nullptr, found, className, nullptr)))
        if (::GetWindow(found, GW_OWNER) == bar)
            return found;
    return nullptr;
}

// Function addresses of any signature, comparable (void (*)() converts
// from every function type without a warning).
using AnyFunctionPointer = void (*)();
template <typename Function> AnyFunctionPointer AnyFunction(Function* function) {
    return reinterpret_cast<AnyFunctionPointer>(function);
}
} // namespace

TEST(CInterface, ExportsExactlyThePlainNamesOnEveryArchitecture) {
    HMODULE module = ::GetModuleHandleA("TavrelC.dll");
    ASSERT_NE(nullptr, module);
    const std::vector<std::string> expected = {"TavrelAddEngine",
                                               "TavrelAddEngineW",
                                               "TavrelAddSuggestion",
                                               "TavrelAddSuggestionW",
                                               "TavrelCleanup",
                                               "TavrelClearHistory",
                                               "TavrelClearSuggestions",
                                               "TavrelCreate",
                                               "TavrelCreateBar",
                                               "TavrelDestroyBar",
                                               "TavrelGetEngineIndex",
                                               "TavrelGetEngineName",
                                               "TavrelGetEngineNameW",
                                               "TavrelGetEngineUrl",
                                               "TavrelGetEngineUrlW",
                                               "TavrelGetHistoryCount",
                                               "TavrelGetHistoryEntryW",
                                               "TavrelGetQueryText",
                                               "TavrelGetQueryTextW",
                                               "TavrelGetVersion",
                                               "TavrelGetWindowHandle",
                                               "TavrelPreTranslateMessage",
                                               "TavrelSetActiveBackgroundImage",
                                               "TavrelSetActiveBackgroundImageW",
                                               "TavrelSetArrowImage",
                                               "TavrelSetArrowImageW",
                                               "TavrelSetBackgroundImage",
                                               "TavrelSetBackgroundImageW",
                                               "TavrelSetEngineIconImage",
                                               "TavrelSetEngineIconImageW",
                                               "TavrelSetEngineListBackground",
                                               "TavrelSetEngineListBackgroundW",
                                               "TavrelSetEngineListHighlight",
                                               "TavrelSetEngineListHighlightW",
                                               "TavrelSetHistoryFile",
                                               "TavrelSetHistoryFileW",
                                               "TavrelSetLayoutDirection",
                                               "TavrelSetListHighlightTextColor",
                                               "TavrelSetListTextStyle",
                                               "TavrelSetListTextStyleW",
                                               "TavrelSetPosition",
                                               "TavrelSetQueryFieldStyle",
                                               "TavrelSetQueryFieldStyleW",
                                               "TavrelSetSearchButtonImage",
                                               "TavrelSetSearchButtonImageW",
                                               "TavrelSetSettingsFile",
                                               "TavrelSetSettingsFileW",
                                               "TavrelSetSuggestionListBackground",
                                               "TavrelSetSuggestionListBackgroundW",
                                               "TavrelSetSuggestionListHighlight",
                                               "TavrelSetSuggestionListHighlightW",
                                               "TavrelSetSuggestionUrl",
                                               "TavrelSetSuggestionUrlW",
                                               "TavrelShowBar",
                                               "TavrelShowSuggestions",
                                               "TavrelStartup",
                                               "TavrelUpdateLayout"};
    EXPECT_EQ(expected, ExportedNames(module));
    for (const std::string& name : expected)
        EXPECT_NE(nullptr, ::GetProcAddress(module, name.c_str())) << name;
    // This program's imports went through the import library: by the same names.
    EXPECT_EQ(AnyFunction(&TavrelGetQueryText),
              AnyFunction(::GetProcAddress(module, "TavrelGetQueryText")));
    EXPECT_EQ(AnyFunction(&TavrelAddEngine),
              AnyFunction(::GetProcAddress(module, "TavrelAddEngine")));
    EXPECT_EQ(static_cast<DWORD>(TAVREL_VERSION), TavrelGetVersion());
}

TEST(CInterface, NullBarsDoNothingAndAnswerZero) {
    ExpectEveryFunctionRefuses(nullptr);
    EXPECT_FALSE(TavrelPreTranslateMessage(nullptr));
}

// What counts as a suggestion URL; asking it is the suggest tests' part.
TEST(CInterface, SuggestionUrlsNeedAnEngineAndATemplate) {
    MessageRecorder host;
    TavrelBar* bar = TavrelCreate();
    const wchar_t kTemplate[] = L"http://127.0.0.1:9/complete?q={searchTerms}";
    EXPECT_EQ(0, TavrelSetSuggestionUrlW(bar, 0, kTemplate)) << "no window, no engine";
    const RECT placement = {10, 20, 300, 30};
    ASSERT_EQ(1, TavrelCreateBar(bar, host.hwnd(), &placement));
    EXPECT_EQ(0, TavrelSetSuggestionUrlW(bar, 0, kTemplate)) << "no engine yet";
    ASSERT_EQ(1, TavrelAddEngineW(bar, L"", L"Один", L"http://one.example/?q="));
    ASSERT_EQ(1, TavrelAddEngineW(bar, L"", L"Two", L"http://two.example/?q="));
    for (const wchar_t* refused :
         {L"http://127.0.0.1/complete?q=", L"ftp://127.0.0.1/?q={searchTerms}",
          L"127.0.0.1/?q={searchTerms}", L"http:/127.0.0.1/?q={searchTerms}",
          L" http://127.0.0.1/?q={searchTerms}", L"http://127.0.0.1/?q={SEARCHTERMS}"})
        EXPECT_EQ(0, TavrelSetSuggestionUrlW(bar, 1, refused)) << refused;
    EXPECT_EQ(0, TavrelSetSuggestionUrlW(bar, 2, kTemplate));
    EXPECT_EQ(0, TavrelSetSuggestionUrlW(bar, -1, kTemplate));
    EXPECT_EQ(0, TavrelSetSuggestionUrlW(bar, 2, nullptr)) << "no engine to remove it from";
    EXPECT_EQ(1, TavrelSetSuggestionUrlW(bar, 0, kTemplate));
    EXPECT_EQ(1, TavrelSetSuggestionUrlW(bar, 1, L"HTTPS://127.0.0.1/s?a={searchTerms}&b=1"));
    EXPECT_EQ(1, TavrelSetSuggestionUrl(bar, 1, "hTTp://127.0.0.1/s?q={searchTerms}"));
    EXPECT_EQ(0, TavrelSetSuggestionUrl(bar, 1, "gopher://127.0.0.1/{searchTerms}"));
    EXPECT_EQ(1, TavrelSetSuggestionUrlW(bar, 0, L""));
    EXPECT_EQ(1, TavrelSetSuggestionUrl(bar, 1, nullptr));
    // The engines' own URLs stay as they were.
    EXPECT_STREQ(L"http://one.example/?q=", TavrelGetEngineUrlW(bar));
}

// The three directions are taken before and after the window exists; the
// query field shows the one in force (the bar tests look at the pixels).
TEST(CInterface, LayoutDirectionsAreTakenBeforeAndAfterCreation) {
    MessageRecorder host;
    TavrelBar* bar = TavrelCreate();
    for (int refused : {3, -1, INT_MIN, INT_MAX})
        EXPECT_EQ(0, TavrelSetLayoutDirection(bar, refused)) << refused;
    ASSERT_EQ(1, TavrelSetLayoutDirection(bar, TAVREL_LAYOUT_RTL));
    const RECT placement = {10, 20, 300, 30};
    ASSERT_EQ(1, TavrelCreateBar(bar, host.hwnd(), &placement));
    const HWND frame = OwnedWindow(TavrelGetWindowHandle(bar), "GUI_EDIT");
    ASSERT_NE(nullptr, frame);
    const auto fieldAlignment = [&] {
        return ::GetWindowLongA(::GetWindow(frame, GW_CHILD), GWL_STYLE) & (ES_CENTER | ES_RIGHT);
    };
    EXPECT_EQ(ES_RIGHT, fieldAlignment());
    EXPECT_EQ(0, TavrelSetLayoutDirection(bar, 3));
    EXPECT_EQ(ES_RIGHT, fieldAlignment()) << "a refused value changes nothing";
    EXPECT_EQ(1, TavrelSetLayoutDirection(bar, TAVREL_LAYOUT_AUTO));
    EXPECT_EQ(ES_LEFT, fieldAlignment()) << "the host is left to right";
    EXPECT_EQ(1, TavrelSetLayoutDirection(bar, TAVREL_LAYOUT_RTL));
    EXPECT_EQ(ES_RIGHT, fieldAlignment());
    EXPECT_EQ(1, TavrelSetLayoutDirection(bar, TAVREL_LAYOUT_LTR));
    EXPECT_EQ(ES_LEFT, fieldAlignment());
    EXPECT_EQ(1, TavrelDestroyBar(bar));
}

// What the history functions take and give; recording and offering are the
// history tests' part.
TEST(CInterface, HistoryFilesAreCheckedAndEntriesCopiedLikeSnprintf) {
    wchar_t folder[MAX_PATH] = {};
    ASSERT_NE(0u, ::GetTempPathW(MAX_PATH, folder));
    const std::wstring history = std::wstring(folder) + L"capi-history.txt";
    const std::wstring foreign = std::wstring(folder) + L"capi-foreign.ini";
    const std::string foreignText = "[Select]\nIndex=1\n";
    const std::string historyText = "# Tavrel recent searches 1\nweather\n\xD0\xBC\xD0\xB8\xD1\x80\n";
    for (const auto& file : {std::make_pair(history, historyText), std::make_pair(foreign, foreignText)}) {
        HANDLE handle = ::CreateFileW(file.first.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, handle);
        DWORD written = 0;
        ::WriteFile(handle, file.second.data(), static_cast<DWORD>(file.second.size()), &written, nullptr);
        ::CloseHandle(handle);
    }
    TavrelBar* bar = TavrelCreate();
    EXPECT_EQ(0, TavrelSetHistoryFileW(bar, history.c_str(), 1001));
    EXPECT_EQ(0, TavrelSetHistoryFileW(bar, history.c_str(), -1));
    EXPECT_EQ(0, TavrelSetHistoryFileW(bar, folder, 10));
    EXPECT_EQ(0, TavrelSetHistoryFileW(bar, foreign.c_str(), 10));
    EXPECT_EQ(0, TavrelClearHistory(bar)) << "history is off";
    EXPECT_EQ(0, TavrelGetHistoryCount(bar));

    ASSERT_EQ(1, TavrelSetHistoryFileW(bar, history.c_str(), 0));
    ASSERT_EQ(2, TavrelGetHistoryCount(bar));
    WCHAR buffer[3] = {L'x', L'x', L'x'};
    EXPECT_EQ(7, TavrelGetHistoryEntryW(bar, 0, nullptr, 0));
    EXPECT_EQ(7, TavrelGetHistoryEntryW(bar, 0, buffer, 3));
    EXPECT_EQ(std::wstring(L"we"), buffer);
    EXPECT_EQ(3, TavrelGetHistoryEntryW(bar, 1, buffer, 3));
    EXPECT_EQ(std::wstring(L"\u043C\u0438"), buffer);
    EXPECT_EQ(-1, TavrelGetHistoryEntryW(bar, 2, buffer, 3));
    EXPECT_EQ(-1, TavrelGetHistoryEntryW(bar, -1, buffer, 3));

    EXPECT_EQ(1, TavrelSetHistoryFile(bar, nullptr, 0)) << "off, the file left alone";
    EXPECT_EQ(0, TavrelGetHistoryCount(bar));
    ASSERT_EQ(1, TavrelSetHistoryFileW(bar, history.c_str(), 1));
    EXPECT_EQ(1, TavrelGetHistoryCount(bar)) << "at most maxEntries are read";
    EXPECT_EQ(1, TavrelClearHistory(bar));
    EXPECT_EQ(0, TavrelGetHistoryCount(bar));
    EXPECT_EQ(1, TavrelDestroyBar(bar));
    HANDLE handle = ::CreateFileW(history.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, handle);
    char bytes[64] = {};
    DWORD read = 0;
    ::ReadFile(handle, bytes, sizeof(bytes) - 1, &read, nullptr);
    ::CloseHandle(handle);
    EXPECT_EQ("# Tavrel recent searches 1\n", std::string(bytes, read));
    ::DeleteFileW(history.c_str());
    ::DeleteFileW(foreign.c_str());
}

TEST(CInterface, QueryTextIsCopiedLikeSnprintf) {
    MessageRecorder host;
    TavrelBar* bar = TavrelCreate();
    ASSERT_NE(nullptr, bar);
    char buffer[16];
    std::fill(std::begin(buffer), std::end(buffer), 'x');
    EXPECT_EQ(0, TavrelGetQueryText(bar, buffer, sizeof(buffer))); // no window: empty
    EXPECT_STREQ("", buffer);
    const RECT placement = {10, 20, 300, 30};
    EXPECT_EQ(0, TavrelCreateBar(bar, host.hwnd(), nullptr));
    ASSERT_EQ(1, TavrelCreateBar(bar, host.hwnd(), &placement));
    EXPECT_EQ(0, TavrelCreateBar(bar, host.hwnd(), &placement)); // one window per bar
    HWND frame = OwnedWindow(TavrelGetWindowHandle(bar), "GUI_EDIT");
    ASSERT_NE(nullptr, frame);
    ::SetWindowTextA(::GetWindow(frame, GW_CHILD), "hello world");

    EXPECT_EQ(11, TavrelGetQueryText(bar, nullptr, 0));
    EXPECT_EQ(11, TavrelGetQueryText(bar, nullptr, 8)); // a null buffer only measures
    std::fill(std::begin(buffer), std::end(buffer), 'x');
    EXPECT_EQ(11, TavrelGetQueryText(bar, buffer, 0));
    EXPECT_EQ(11, TavrelGetQueryText(bar, buffer, -1));
    EXPECT_EQ('x', buffer[0]);
    EXPECT_EQ(11, TavrelGetQueryText(bar, buffer, 1));
    EXPECT_STREQ("", buffer);
    EXPECT_EQ(11, TavrelGetQueryText(bar, buffer, 4));
    EXPECT_EQ(std::string("hel\0x", 5), std::string(buffer, 5));
    EXPECT_EQ(11, TavrelGetQueryText(bar, buffer, 12));
    EXPECT_STREQ("hello world", buffer);
    EXPECT_EQ('x', buffer[12]);

    // Text styles out of range are refused, those in range applied; the
    // field's text is left as it was either way.
    const DWORD white = 0xFFFFFFFF;
    EXPECT_EQ(0, TavrelSetListTextStyleW(bar, 2, L"DejaVu Sans", 13, white, 0));
    EXPECT_EQ(0, TavrelSetListTextStyleW(bar, -1, L"DejaVu Sans", 13, white, 0));
    EXPECT_EQ(0, TavrelSetListTextStyleW(bar, TAVREL_LIST_ENGINES, L"DejaVu Sans", 0, white, 0));
    EXPECT_EQ(0, TavrelSetListTextStyleW(bar, TAVREL_LIST_ENGINES, L"DejaVu Sans", -5, white, 0));
    EXPECT_EQ(0, TavrelSetListTextStyleW(bar, TAVREL_LIST_ENGINES, L"DejaVu Sans",
                                         TAVREL_TEXT_SIZE_MAX + 1, white, 0));
    EXPECT_EQ(0, TavrelSetListTextStyle(bar, TAVREL_LIST_SUGGESTIONS, "DejaVu Sans", 13, white, 8));
    EXPECT_EQ(0, TavrelSetListHighlightTextColor(bar, 5, white));
    EXPECT_EQ(0, TavrelSetQueryFieldStyleW(bar, L"DejaVu Sans", 0, 0, RGB(255, 255, 255)));
    EXPECT_EQ(0, TavrelSetQueryFieldStyle(bar, "DejaVu Sans", 100000, 0, RGB(255, 255, 255)));
    EXPECT_EQ(0, TavrelSetQueryFieldStyleW(bar, L"DejaVu Sans", 13, CLR_INVALID, 0));
    EXPECT_EQ(
        1, TavrelSetListTextStyle(bar, TAVREL_LIST_ENGINES, nullptr, TAVREL_TEXT_SIZE_MAX, white,
                                  TAVREL_TEXT_BOLD | TAVREL_TEXT_ITALIC | TAVREL_TEXT_UNDERLINE));
    EXPECT_EQ(1, TavrelSetListTextStyleW(bar, TAVREL_LIST_SUGGESTIONS, L"No Such Family", 1, 0, 0));
    EXPECT_EQ(1, TavrelSetListHighlightTextColor(bar, TAVREL_LIST_ENGINES, 0));
    EXPECT_EQ(1, TavrelSetQueryFieldStyle(bar, "", 13, RGB(1, 2, 3), RGB(4, 5, 6)));
    EXPECT_EQ(11, TavrelGetQueryText(bar, buffer, 12));
    EXPECT_STREQ("hello world", buffer);
}

TEST(CInterface, ExceptionsBecomeTheFailureValue) {
    // The framework's resource exception (from window creation) is a heap
    // object thrown by pointer from the framework DLL.
    EXPECT_EQ(7, Guarded(7, []() -> int { AfxThrowResourceException(); }));
    EXPECT_STREQ("failed",
                 Guarded<const char*>("failed", []() -> const char* { throw std::bad_alloc(); }));
    EXPECT_EQ(3, Guarded(0, [] { return 3; }));
}
