#include "RefusedBar.h"

#include <gtest/gtest.h>

void ExpectEveryFunctionRefuses(TavrelBar* bar) {
    const RECT placement = {0, 0, 100, 30};
    TavrelSetBackgroundImage(bar, "missing.png", 4);
    TavrelSetActiveBackgroundImage(bar, "missing.png");
    TavrelSetEngineIconImage(bar, "missing.png");
    TavrelSetArrowImage(bar, "missing.png");
    TavrelSetSearchButtonImage(bar, "missing.png");
    TavrelSetEngineListBackground(bar, "missing.png");
    TavrelSetEngineListHighlight(bar, "missing.png");
    TavrelSetSuggestionListBackground(bar, "missing.png");
    TavrelSetSuggestionListHighlight(bar, "missing.png");
    TavrelSetBackgroundImageW(bar, L"missing.png", 4);
    TavrelSetActiveBackgroundImageW(bar, L"missing.png");
    TavrelSetEngineIconImageW(bar, L"missing.png");
    TavrelSetArrowImageW(bar, L"missing.png");
    TavrelSetSearchButtonImageW(bar, L"missing.png");
    TavrelSetEngineListBackgroundW(bar, L"missing.png");
    TavrelSetEngineListHighlightW(bar, L"missing.png");
    TavrelSetSuggestionListBackgroundW(bar, L"missing.png");
    TavrelSetSuggestionListHighlightW(bar, L"missing.png");
    TavrelSetPosition(bar, 1, 2);
    TavrelUpdateLayout(bar);
    TavrelAddSuggestion(bar, "text");
    TavrelAddSuggestionW(bar, L"text");
    TavrelClearSuggestions(bar);
    TavrelShowSuggestions(bar);
    TavrelSetSettingsFile(bar, "missing.ini");
    TavrelSetSettingsFileW(bar, L"missing.ini");
    TavrelShowBar(bar, SW_SHOW);
    EXPECT_EQ(0, TavrelCreateBar(bar, ::GetDesktopWindow(), &placement));
    EXPECT_EQ(0, TavrelAddEngine(bar, "", "name", "http://x/?q="));
    EXPECT_EQ(0, TavrelAddEngineW(bar, L"", L"name", L"http://x/?q="));
    EXPECT_EQ(nullptr, TavrelGetEngineName(bar));
    EXPECT_EQ(nullptr, TavrelGetEngineUrl(bar));
    EXPECT_EQ(nullptr, TavrelGetEngineNameW(bar));
    EXPECT_EQ(nullptr, TavrelGetEngineUrlW(bar));
    EXPECT_EQ(0, TavrelGetEngineIndex(bar));
    EXPECT_EQ(nullptr, TavrelGetWindowHandle(bar));
    char buffer[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(0, TavrelGetQueryText(bar, buffer, sizeof(buffer)));
    EXPECT_EQ('x', buffer[0]);
    WCHAR wideBuffer[4] = {L'x', L'x', L'x', L'x'};
    EXPECT_EQ(0, TavrelGetQueryTextW(bar, wideBuffer, 4));
    EXPECT_EQ(L'x', wideBuffer[0]);
    EXPECT_EQ(0, TavrelSetListTextStyle(bar, TAVREL_LIST_ENGINES, "DejaVu Sans", 13, 0, 0));
    EXPECT_EQ(0, TavrelSetListTextStyleW(bar, TAVREL_LIST_SUGGESTIONS, L"DejaVu Sans", 13, 0, 0));
    EXPECT_EQ(0, TavrelSetListHighlightTextColor(bar, TAVREL_LIST_ENGINES, 0xFFFFFFFF));
    EXPECT_EQ(0, TavrelSetQueryFieldStyle(bar, "DejaVu Sans", 13, 0, 0));
    EXPECT_EQ(0, TavrelSetQueryFieldStyleW(bar, L"DejaVu Sans", 13, 0, 0));
    EXPECT_EQ(0, TavrelSetSuggestionUrl(bar, 0, "http://127.0.0.1/?q={searchTerms}"));
    EXPECT_EQ(0, TavrelSetSuggestionUrlW(bar, 0, nullptr));
    EXPECT_EQ(0, TavrelSetHistoryFileW(bar, L"history.txt", 0));
    EXPECT_EQ(0, TavrelSetHistoryFile(bar, nullptr, 0));
    EXPECT_EQ(0, TavrelClearHistory(bar));
    EXPECT_EQ(0, TavrelGetHistoryCount(bar));
    EXPECT_EQ(-1, TavrelGetHistoryEntryW(bar, 0, wideBuffer, 4));
    EXPECT_EQ(0, TavrelSetLayoutDirection(bar, TAVREL_LAYOUT_RTL));
    EXPECT_EQ(L'x', wideBuffer[0]);
    EXPECT_EQ(0, TavrelDestroyBar(bar));
}
