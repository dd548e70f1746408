// TavrelC.dll as a program in any language meets it: exactly the plain
// names of tavrel_c.h exported, each found by GetProcAddress and the same
// function the import library reaches; and the boundary stays safe (null
// bars, the snprintf-like text copy, exceptions turned into failure values).
#include "../../capi/Guarded.h"
#include "MessageRecorder.h"
#include "ModuleExports.h"
#include "tavrel_c.h"
#include <algorithm>
#include <gtest/gtest.h>
#include <iterator>
#include <new>
#include <string>

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
                                               "TavrelClearSuggestions",
                                               "TavrelCreate",
                                               "TavrelCreateBar",
                                               "TavrelGetEngineIndex",
                                               "TavrelGetEngineName",
                                               "TavrelGetEngineNameW",
                                               "TavrelGetEngineUrl",
                                               "TavrelGetEngineUrlW",
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
                                               "TavrelSetPosition",
                                               "TavrelSetSearchButtonImage",
                                               "TavrelSetSearchButtonImageW",
                                               "TavrelSetSettingsFile",
                                               "TavrelSetSettingsFileW",
                                               "TavrelSetSuggestionListBackground",
                                               "TavrelSetSuggestionListBackgroundW",
                                               "TavrelSetSuggestionListHighlight",
                                               "TavrelSetSuggestionListHighlightW",
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
    const RECT placement = {0, 0, 100, 30};
    TavrelSetBackgroundImage(nullptr, "missing.png", 4);
    TavrelSetActiveBackgroundImage(nullptr, "missing.png");
    TavrelSetEngineIconImage(nullptr, "missing.png");
    TavrelSetArrowImage(nullptr, "missing.png");
    TavrelSetSearchButtonImage(nullptr, "missing.png");
    TavrelSetEngineListBackground(nullptr, "missing.png");
    TavrelSetEngineListHighlight(nullptr, "missing.png");
    TavrelSetSuggestionListBackground(nullptr, "missing.png");
    TavrelSetSuggestionListHighlight(nullptr, "missing.png");
    TavrelSetPosition(nullptr, 1, 2);
    TavrelUpdateLayout(nullptr);
    TavrelAddSuggestion(nullptr, "text");
    TavrelClearSuggestions(nullptr);
    TavrelShowSuggestions(nullptr);
    TavrelSetSettingsFile(nullptr, "missing.ini");
    TavrelShowBar(nullptr, SW_SHOW);
    EXPECT_EQ(0, TavrelCreateBar(nullptr, ::GetDesktopWindow(), &placement));
    EXPECT_EQ(0, TavrelAddEngine(nullptr, "", "name", "http://x/?q="));
    EXPECT_EQ(nullptr, TavrelGetEngineName(nullptr));
    EXPECT_EQ(nullptr, TavrelGetEngineUrl(nullptr));
    EXPECT_EQ(0, TavrelGetEngineIndex(nullptr));
    EXPECT_EQ(nullptr, TavrelGetWindowHandle(nullptr));
    char buffer[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(0, TavrelGetQueryText(nullptr, buffer, sizeof(buffer)));
    EXPECT_EQ('x', buffer[0]);
    EXPECT_FALSE(TavrelPreTranslateMessage(nullptr));
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
}

TEST(CInterface, ExceptionsBecomeTheFailureValue) {
    // The framework's resource exception (from window creation) is a heap
    // object thrown by pointer from the framework DLL.
    EXPECT_EQ(7, Guarded(7, []() -> int { AfxThrowResourceException(); }));
    EXPECT_STREQ("failed",
                 Guarded<const char*>("failed", []() -> const char* { throw std::bad_alloc(); }));
    EXPECT_EQ(3, Guarded(0, [] { return 3; }));
}
