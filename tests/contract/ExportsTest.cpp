// The DLL's outside contract: exactly its eight exports, the factory, the
// graphics start-up result and the extension-library link.
#include "ModuleExports.h"
#include "Tavrel.h"
#include <afxwin.h>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

TEST(Exports, ExactlyTheEightSymbols) {
    HMODULE module = ::GetModuleHandleA("Tavrel.dll");
    ASSERT_NE(nullptr, module);
    const std::vector<std::string> expected = {
        "_ZN7CTavrel12CreateTavrelEv", // CTavrel::CreateTavrel()
        "_ZN7CTavrelC1ERKS_",          // CTavrel::CTavrel(const CTavrel&)
        "_ZN7CTavrelC1Ev",             // CTavrel::CTavrel()
        "_ZN7CTavrelaSERKS_",          // CTavrel::operator=(const CTavrel&)
        "_ZN8CInitGui7ClearupEv",      // CInitGui::Clearup()
        "_ZN8CInitGui7StartupEv",      // CInitGui::Startup()
        "_ZN8CInitGuiaSERKS_",         // CInitGui::operator=(const CInitGui&)
        "_ZTV7CTavrel",                // CTavrel's table of operations
    };
    EXPECT_EQ(expected, ExportedNames(module));
}

TEST(Exports, StartupAnswersExactlyOneAndPairsWithClearup) {
    EXPECT_EQ(1, CInitGui::Startup());
    CInitGui::Clearup(); // the newest token; the test program's own start stays
    EXPECT_EQ(1, CInitGui::Startup());
}

TEST(Exports, FactoryGivesDistinctBarsWithTheirDefaults) {
    CTavrel* first = CTavrel::CreateTavrel();
    CTavrel* second = CTavrel::CreateTavrel();
    ASSERT_NE(nullptr, first);
    ASSERT_NE(nullptr, second);
    EXPECT_NE(first, second);
    EXPECT_EQ(nullptr, first->GetWindowHandle());
    EXPECT_EQ(0, first->GetEngineIndex());
    EXPECT_STREQ("", first->GetEngineName());
    const std::string url = first->GetEngineUrl();
    EXPECT_EQ(0u, url.find("http://"));
    EXPECT_EQ(url.size() - 22, url.find("/s?tn=quenlarbo_pg&wd="));
    std::string text = "untouched";
    first->GetQueryText(text);
    EXPECT_EQ("untouched", text);
    EXPECT_EQ(0, first->AddEngine("", "name", "url")); // no window yet
}

TEST(Exports, LibraryIsLinkedIntoTheProgramsExtensionChain) {
    HMODULE module = ::GetModuleHandleA("Tavrel.dll");
    bool linked = false;
    for (CDynLinkLibrary* dll = AfxGetModuleState()->m_pFirstDLL; dll; dll = dll->m_pNextDLL)
        linked = linked || dll->m_hModule == module;
    EXPECT_TRUE(linked);
}

TEST(Exports, CopyingTheInterfaceKeepsTheTable) {
    // The exported special members only set the table; they copy nothing.
    CTavrel* bar = CTavrel::CreateTavrel();
    CTavrel* other = CTavrel::CreateTavrel();
    EXPECT_EQ(other, &(*other = *bar));
    CInitGui a, b;
    EXPECT_EQ(&a, &(a = b));
}
