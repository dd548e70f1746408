// The narrow slots under code page 1251 (this program runs in a Wine prefix
// with the Russian locale, see wine-run-locale.sh): every narrow string is
// read, and every narrow answer written, in the code page in force, not as
// Latin-1. A folder and files named in Cyrillic through narrow paths are
// found, Cyrillic engine names and suggestions become the right UTF-16,
// typed Cyrillic comes back as 1251 bytes (a character the code page lacks
// as its default character), and a narrow engine appends the query's 1251
// bytes while a {searchTerms} engine gets UTF-8.
#include "../bar/BarTestSupport.h"
#include "../../src/input/CGuiEdit.h"
#include "../../src/popup/CEngineList.h"
#include "../../src/popup/CSuggestionList.h"
#include "Input.h"
#include "Pump.h"
#include "TestFiles.h"
#include <gtest/gtest.h>
#include <string>

namespace {

// In code page 1251.
const std::string kFolder = "\xCD\xE0\xF1\xF2\xF0\xEE\xE9\xEA\xE8"; // Настройки
const std::string kEngine = "\xCF\xEE\xE8\xF1\xEA";                // Поиск
const std::string kPrivet = "\xCF\xF0\xE8\xE2\xE5\xF2";            // Привет

bool IsFile(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

class CodePage1251 : public BarTest {};

} // namespace

TEST_F(CodePage1251, NarrowSlotsConvertWithTheCodePageInForce) {
    ASSERT_EQ(1251u, ::GetACP()) << "not run in the Russian locale";
    const std::string scratch = ScratchDir(); // ASCII
    const std::string folder = scratch + "\\" + kFolder;
    ::CreateDirectoryA(folder.c_str(), nullptr);
    const std::wstring wideFolder = std::wstring(scratch.begin(), scratch.end()) + L"\\Настройки";
    const std::string background = folder + "\\\xF4\xEE\xED.png"; // фон.png
    ASSERT_TRUE(::CopyFileA(SkinPng(360, 30, kBackgroundColor).c_str(), background.c_str(), FALSE));
    ASSERT_TRUE(IsFile(wideFolder + L"\\фон.png"));

    ShowStandardBar();
    bar->SetBackgroundImage(background.c_str(), 0);
    EXPECT_EQ(360, bar->backgroundImage.GetWidth()); // found by its Cyrillic name
    EXPECT_EQ(wideFolder + L"\\фон.png", bar->backgroundPathW);

    const std::string icon = SkinPng(16, 16, kIconColor);
    ASSERT_EQ(1, bar->AddEngine(icon.c_str(), kEngine.c_str(), "http://example.ru/?q="));
    ASSERT_EQ(1, bar->AddEngine(icon.c_str(), "\xD8\xE0\xE1\xEB\xEE\xED", // Шаблон
                                "http://example.ru/s?text={searchTerms}"));
    EXPECT_EQ(L"Поиск", bar->engineList->GetItem(0)->nameW);
    EXPECT_EQ(kEngine, bar->GetEngineName()); // byte for byte
    const std::string settings = folder + "\\\xEF\xEE\xE8\xF1\xEA.ini"; // поиск.ini
    ::DeleteFileA(settings.c_str());
    bar->SetSettingsFile(settings.c_str());
    EXPECT_EQ("[Select]\r\nIndex=0\r\n", ReadFileBytes(settings));
    EXPECT_TRUE(IsFile(wideFolder + L"\\поиск.ini"));

    bar->AddSuggestion((kPrivet + " \xEC\xE8\xF0").c_str()); // Привет мир
    EXPECT_EQ(L"Привет мир", bar->suggestionList->GetItem(0)->textW);

    // Typed Cyrillic comes back in 1251; a character 1251 lacks as '?'.
    ClickIntoField();
    TypeUnicodeIntoFocus(L"Привет東");
    ASSERT_TRUE(PumpUntil([&] { return FieldText() == kPrivet + "?"; }))
        << "field: " << FieldText();
    std::wstring wide;
    bar->GetQueryTextW(wide);
    EXPECT_EQ(L"Привет東", wide);

    // The narrow engine appends the query's 1251 bytes, as before.
    TapKey(VK_RETURN);
    ASSERT_TRUE(PumpUntil([&] { return launches.Urls().size() == 1; }));
    EXPECT_EQ("http://example.ru/?q=%CF%F0%E8%E2%E5%F2%3F", launches.Urls()[0]);

    // The template engine gets the query in UTF-8.
    bar->engineList->ChooseRow(1);
    ASSERT_TRUE(PumpUntil([&] { return bar->GetEngineIndex() == 1; }));
    EXPECT_EQ("[Select]\r\nIndex=1\r\n", ReadFileBytes(settings));
    bar->queryEdit->SetEditFocus();
    TapKey(VK_RETURN);
    ASSERT_TRUE(PumpUntil([&] { return launches.Urls().size() == 2; }));
    EXPECT_EQ("http://example.ru/s?text=%D0%9F%D1%80%D0%B8%D0%B2%D0%B5%D1%82%E6%9D%B1",
              launches.Urls()[1]);
}
