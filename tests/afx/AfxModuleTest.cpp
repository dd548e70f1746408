// Module state and the chain of extension libraries.
#include <afxwin.h>
#include <gtest/gtest.h>

namespace {
bool ChainHolds(HMODULE module) {
    for (CDynLinkLibrary* dll = AfxGetModuleState()->m_pFirstDLL; dll; dll = dll->m_pNextDLL)
        if (dll->m_hModule == module)
            return true;
    return false;
}
} // namespace

TEST(AfxModule, InstanceIsTheProgram) {
    EXPECT_EQ(AfxGetInstanceHandle(), ::GetModuleHandleA(nullptr));
    EXPECT_EQ(AfxGetModuleState()->m_hCurrentInstanceHandle, ::GetModuleHandleA(nullptr));
}

TEST(AfxModule, TermUnlinksOnlyItsOwnModule) {
    AFX_EXTENSION_MODULE first{}, second{};
    HMODULE a = reinterpret_cast<HMODULE>(0x10000), b = reinterpret_cast<HMODULE>(0x20000);
    ASSERT_TRUE(AfxInitExtensionModule(first, a));
    ASSERT_TRUE(AfxInitExtensionModule(second, b));
    new CDynLinkLibrary(first);
    new CDynLinkLibrary(second);
    EXPECT_TRUE(ChainHolds(a));
    EXPECT_TRUE(ChainHolds(b));
    AfxTermExtensionModule(first);
    EXPECT_FALSE(ChainHolds(a));
    EXPECT_TRUE(ChainHolds(b));
    AfxTermExtensionModule(second);
    EXPECT_FALSE(ChainHolds(b));
}

TEST(AfxModule, ApplicationObjectIsFoundByAfxGetApp) {
    EXPECT_EQ(nullptr, AfxGetApp());
    {
        CWinApp app("test");
        EXPECT_EQ(&app, AfxGetApp());
    }
    EXPECT_EQ(nullptr, AfxGetApp());
}
