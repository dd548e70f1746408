// The current engine: registration, the index kept in the settings file
// (read, repaired, never reaching past the list), a choice made by clicking
// the engine list, and every other entry of the file surviving each write.
#include "../../src/popup/CEngineList.h"
#include "BarTestSupport.h"
#include "Input.h"
#include "Pump.h"
#include "TestFiles.h"

namespace {

const char kDefaultPrefix[] = "http://search.tavrel.invalid/s?tn=quenlarbo_pg&wd=";

struct Engine {
    const char* name;
    const char* prefix;
    uint32_t iconColor;
};
const Engine kEngines[] = {{"Alpha", "http://alpha.invalid/?q=", 0xFF0000F0},
                           {"Beta", "http://beta.invalid/?q=", 0xFFF00000},
                           {"Gamma", "http://gamma.invalid/?q=", 0xFF00F0F0}};

std::string IniValue(const std::string& path, const char* section, const char* key) {
    char value[64] = {};
    ::GetPrivateProfileStringA(section, key, "(none)", value, sizeof(value), path.c_str());
    return value;
}

class EngineTest : public BarTest {
protected:
    void AddEngines(int count) {
        for (int i = 0; i < count; ++i)
            ASSERT_EQ(1, bar->AddEngine(SkinPng(16, 16, kEngines[i].iconColor).c_str(),
                                        kEngines[i].name, kEngines[i].prefix));
    }
    // A settings file that also holds entries the bar must leave alone.
    std::string SettingsWith(const char* selectLines) {
        const std::string text = std::string("[Other]\r\nKeep=1\r\n[Select]\r\nExtra=yes\r\n") +
                                 selectLines + "[Tail]\r\nLast=z\r\n";
        return WriteFileBytes(
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".ini",
            text);
    }
    void ExpectOtherEntriesKept(const std::string& path) {
        EXPECT_EQ("1", IniValue(path, "Other", "Keep"));
        EXPECT_EQ("yes", IniValue(path, "Select", "Extra"));
        EXPECT_EQ("z", IniValue(path, "Tail", "Last"));
    }
    uint32_t PaintedIconColor() { return PaintAndRead().At(bar->iconX + 8, bar->iconY + 8); }
};

TEST_F(EngineTest, FirstEngineBecomesCurrentAtOnceWithoutItsIcon) {
    EXPECT_EQ(0, bar->AddEngine("", "Early", "http://early.invalid/")); // no list yet
    Create();
    bar->SetBackgroundImage(SkinPng(400, 30, kBackgroundColor).c_str(), 0);
    EXPECT_STREQ("", bar->GetEngineName());
    EXPECT_STREQ(kDefaultPrefix, bar->GetEngineUrl());

    AddEngines(1);
    EXPECT_STREQ("Alpha", bar->GetEngineName());
    EXPECT_STREQ("http://alpha.invalid/?q=", bar->GetEngineUrl());
    EXPECT_FALSE(bar->engineIconImage.IsLoaded());

    EXPECT_EQ(1, bar->AddEngine(SkinPng(16, 16, 0xFF101010).c_str(), "Beta", "http://b/"));
    EXPECT_EQ(0, bar->AddEngine("", "Alpha", "http://again/"));
    EXPECT_EQ(0, bar->AddEngine("", "", "http://nameless/"));
    EXPECT_EQ(0, bar->AddEngine("", nullptr, "http://nameless/"));
    EXPECT_STREQ("Alpha", bar->GetEngineName());
    EXPECT_STREQ("http://alpha.invalid/?q=", bar->GetEngineUrl());
    EXPECT_EQ(2, bar->engineList->GetCount());
}

// An index that names no engine is repaired to 0 like a missing key; with
// no engine at all the current engine stays as it was.
TEST_F(EngineTest, SettingsFileChoosesTheStoredEngine) {
    const struct {
        const char* what;
        const char* selectLines; // null: no file at all
        int engines;
        int index;    // expected engine index; -1: no engine adopted
        bool written; // "0" written back
    } cases[] = {
        {"no Index key", "", 3, 0, true},
        {"Index=2", "Index=2\r\n", 3, 2, false},
        {"Index=1 with blanks", "Index=  1\r\n", 3, 1, false},
        {"Index=abc", "Index=abc\r\n", 3, 0, true},
        {"Index=-1", "Index=-1\r\n", 3, 0, true},
        {"Index=99999999999", "Index=99999999999\r\n", 3, 0, true},
        {"Index=7 with three engines", "Index=7\r\n", 3, 0, true},
        {"Index=3 just past the last", "Index=3\r\n", 3, 0, true},
        {"Index=2 without engines", "Index=2\r\n", 0, -1, true},
        {"no file", nullptr, 3, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        bar = std::make_unique<CSearchBar>();
        Create();
        ApplyStandardSkin();
        bar->ShowBar(SW_SHOW);
        AddEngines(c.engines);
        std::string path = ScratchPath("absent.ini");
        ::DeleteFileA(path.c_str());
        if (c.selectLines)
            path = SettingsWith(c.selectLines);
        const std::string before = ReadFileBytes(path);

        bar->SetSettingsFile(path.c_str());
        EXPECT_EQ(path, bar->settingsPath);
        EXPECT_EQ(c.index < 0 ? 0 : c.index, bar->GetEngineIndex());
        if (c.index < 0) {
            EXPECT_STREQ("", bar->GetEngineName());
            EXPECT_STREQ(kDefaultPrefix, bar->GetEngineUrl());
            EXPECT_TRUE(SameColor(PaintedIconColor(), kIconColor)); // the host's icon stays
        } else {
            const Engine& e = kEngines[c.index];
            EXPECT_STREQ(e.name, bar->GetEngineName());
            EXPECT_STREQ(e.prefix, bar->GetEngineUrl());
            EXPECT_TRUE(SameColor(PaintedIconColor(), e.iconColor));
        }
        if (c.written)
            EXPECT_EQ("0", IniValue(path, "Select", "Index"));
        else
            EXPECT_EQ(before, ReadFileBytes(path));
        if (c.selectLines)
            ExpectOtherEntriesKept(path);
    }
}

TEST_F(EngineTest, ClickInTheEngineListChoosesAndTellsTheHost) {
    ShowStandardBar();
    AddEngines(3);
    const std::string path = SettingsWith("Index=0\r\n");
    bar->SetSettingsFile(path.c_str());
    PumpUntilIdle();

    const POINT icon = ScreenPointOf(bar->engineHitRect);
    ClickAt(icon.x, icon.y);
    ASSERT_TRUE(PumpUntil([&] { return EngineListVisible(); }));
    PumpUntilIdle(); // painted, so its rows can be hit
    const RECT list = WindowRectOf(bar->engineList->m_hWnd);
    EXPECT_EQ(kBarLeft, list.left);
    EXPECT_EQ(kBarTop + 30, list.top);
    EXPECT_TRUE(host.Matches({}));

    ClickAt(list.left + 50, list.top + 2 * 25 + 12);
    ASSERT_TRUE(PumpUntil([&] { return !host.Messages().empty(); }));
    EXPECT_TRUE(host.Matches({{UM_ENGINE_CHOSEN, 0, 0}}));
    EXPECT_FALSE(EngineListVisible());
    EXPECT_EQ("2", IniValue(path, "Select", "Index"));
    EXPECT_EQ(2, bar->GetEngineIndex());
    EXPECT_STREQ("Gamma", bar->GetEngineName());
    EXPECT_STREQ("http://gamma.invalid/?q=", bar->GetEngineUrl());
    EXPECT_TRUE(SameColor(PaintedIconColor(), kEngines[2].iconColor));
    ExpectOtherEntriesKept(path);
}

} // namespace
