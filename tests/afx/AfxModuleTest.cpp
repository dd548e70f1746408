#include <afxwin.h>
#include <gtest/gtest.h>

TEST(AfxModule, InstanceIsTheProgram) {
    EXPECT_EQ(AfxGetInstanceHandle(), ::GetModuleHandleA(nullptr));
}
