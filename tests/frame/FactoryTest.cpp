// The factory and its registry of bars.
#include "CBarRegistry.h"
#include "Tavrel.h"
#include "bar/CSearchBar.h"
#include <gtest/gtest.h>

TEST(Factory, EachBarIsRecordedUnderItsWindowBaseAddress) {
    CBarRegistry& registry = CBarRegistry::Instance();
    const size_t before = registry.Count();
    CTavrel* first = CTavrel::CreateTavrel();
    CTavrel* second = CTavrel::CreateTavrel();
    ASSERT_NE(first, second);
    EXPECT_EQ(before + 2, registry.Count());
    for (CTavrel* face : {first, second}) {
        auto* bar = static_cast<CSearchBar*>(face);
        CWnd* window = bar;
        // The host's pointer lies inside the bar object, past its window base.
        EXPECT_GT(reinterpret_cast<uintptr_t>(face), reinterpret_cast<uintptr_t>(window));
        EXPECT_LT(reinterpret_cast<uintptr_t>(face),
                  reinterpret_cast<uintptr_t>(window) + sizeof(CSearchBar));
        EXPECT_EQ(window, registry.Lookup(reinterpret_cast<uintptr_t>(window)));
    }
}

TEST(Factory, RegistryKeysAreWholeAddresses) {
    CBarRegistry registry;
    int a = 0, b = 0;
    const uintptr_t low = 0x1000;
    // Two keys that agree in their low 32 bits stay two entries on x64.
    const uintptr_t high = sizeof(uintptr_t) > 4 ? (static_cast<uintptr_t>(1) << 32) | low : 0x2000;
    EXPECT_EQ(1, registry.Add(low, &a));
    EXPECT_EQ(1, registry.Add(high, &b));
    EXPECT_EQ(0, registry.Add(low, &b)); // an occupied key keeps its value
    EXPECT_EQ(&a, registry.Lookup(low));
    EXPECT_EQ(&b, registry.Lookup(high));
    EXPECT_EQ(nullptr, registry.Lookup(0x3000));
    EXPECT_EQ(2u, registry.Count());
}

TEST(Factory, FreshBarHasTheDocumentedDefaults) {
    auto* bar = static_cast<CSearchBar*>(CTavrel::CreateTavrel());
    EXPECT_EQ(0, bar->GetEngineIndex());
    EXPECT_EQ(0, bar->barWidth);
    EXPECT_EQ(0, bar->barHeight);
    EXPECT_EQ(6, bar->iconX);
    EXPECT_EQ(6, bar->iconY);
    EXPECT_EQ(25, bar->arrowX);
    EXPECT_EQ(6, bar->arrowY);
    EXPECT_EQ(0, bar->searchButtonX);
    EXPECT_EQ(0, bar->searchButtonY);
    EXPECT_EQ(0, bar->active);
    EXPECT_FALSE(bar->backgroundImage.IsLoaded());
    EXPECT_STREQ("http://search.tavrel.invalid/s?tn=quenlarbo_pg&wd=", bar->GetEngineUrl());
    EXPECT_EQ(nullptr, bar->GetWindowHandle());
}
