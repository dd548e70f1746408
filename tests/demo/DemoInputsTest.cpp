// What the demo reads: its command line, an engines file, a designer's skin
// folder, and the word list behind its suggestions.
#include "CEngineCatalog.h"
#include "CSkinFiles.h"
#include "CWordList.h"
#include "DemoOptions.h"
#include "TestFiles.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include <windows.h>

namespace {
DemoOptions Parse(std::vector<const char*> args) {
    args.insert(args.begin(), "tavrel_demo.exe");
    return ParseDemoOptions(static_cast<int>(args.size()), const_cast<char**>(args.data()));
}

std::string MakeFolder(const std::string& name) {
    const std::string folder = ScratchPath(name);
    ::CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}
} // namespace

TEST(DemoOptionsTest, OptionsAndTheirValues) {
    const DemoOptions options =
        Parse({"--skin", "S", "--engines", "E.ini", "--script", "OUT", "--open"});
    EXPECT_EQ("", options.error);
    EXPECT_EQ("S", options.skinFolder);
    EXPECT_EQ("E.ini", options.enginesFile);
    EXPECT_EQ("OUT", options.scriptFolder);
    EXPECT_TRUE(options.openUrls);
    EXPECT_FALSE(options.recordMode);

    const DemoOptions record = Parse({"--record-url", "urls.txt", "http://a.example/?q=x y"});
    EXPECT_TRUE(record.recordMode);
    EXPECT_EQ("urls.txt", record.recordFile);
    EXPECT_EQ("http://a.example/?q=x y", record.recordUrl);
    EXPECT_TRUE(Parse({"--script", "OUT", "--idle-only"}).idleOnly);
    EXPECT_FALSE(options.darkTheme);
    EXPECT_TRUE(Parse({"--theme", "dark"}).darkTheme);
    EXPECT_FALSE(Parse({"--theme", "light"}).darkTheme);
}

TEST(DemoOptionsTest, UnusableCommandLinesAreRefused) {
    const std::vector<std::vector<const char*>> refused = {
        {"--skin"},                   // no value
        {"--script", ""},             // empty value
        {"--open"},                   // only with --script
        {"--idle-only"},              // only with --script
        {"--record-url", "urls.txt"}, // no URL
        {"--colour", "blue"},         // unknown
        {"--theme", "blue"},          // no such theme
        {"--theme"},                  // no value
    };
    for (const auto& args : refused) {
        SCOPED_TRACE(args.front());
        EXPECT_NE("", Parse(args).error);
    }
}

TEST(EngineCatalogTest, SectionsBecomeEnginesInFileOrderWithIconsBesideTheFile) {
    const std::string folder = MakeFolder("engines-a");
    const std::string file = folder + "\\engines.ini";
    WriteFileBytes("engines-a\\engines.ini", "; comment\r\n"
                                             "[Zeta]\r\nIcon=z.png\r\nUrl=http://z.example/?q=\r\n"
                                             "[Alpha Docs]\r\nIcon=C:\\icons\\a.png\r\n"
                                             "Url=http://a.example/find/\r\n"
                                             "[Plain]\r\nUrl=http://p.example/\r\n");
    CEngineCatalog catalog;
    std::string error;
    ASSERT_TRUE(catalog.LoadIni(file, &error)) << error;
    const auto& engines = catalog.Entries();
    ASSERT_EQ(3u, engines.size());
    EXPECT_EQ("Zeta", engines[0].name);
    EXPECT_EQ(folder + "\\z.png", engines[0].iconPath);
    EXPECT_EQ("http://z.example/?q=", engines[0].urlPrefix);
    EXPECT_EQ("Alpha Docs", engines[1].name);
    EXPECT_EQ("C:\\icons\\a.png", engines[1].iconPath);
    EXPECT_EQ("", engines[2].iconPath);
}

TEST(EngineCatalogTest, AMissingOrEmptyFileIsAnErrorThatNamesTheFile) {
    CEngineCatalog catalog;
    std::string error;
    EXPECT_FALSE(catalog.LoadIni(ScratchPath("no-such-engines.ini"), &error));
    EXPECT_NE(std::string::npos, error.find("no-such-engines.ini")) << error;
    WriteFileBytes("empty-engines.ini", "; nothing here\r\n");
    error.clear();
    EXPECT_FALSE(catalog.LoadIni(ScratchPath("empty-engines.ini"), &error));
    EXPECT_NE(std::string::npos, error.find("empty-engines.ini")) << error;
}

TEST(SkinFilesTest, PicturesMissingFromTheDesignersFolderComeFromTheDefaultSkin) {
    const std::string custom = MakeFolder("skin-custom");
    WriteFileBytes("skin-custom\\bar.png", "not decoded here");
    WriteFileBytes("skin-custom\\skin.ini", "[Bar]\r\nCornerRadius=8\r\n");
    const CSkinFiles skin("D:\\default", custom);
    EXPECT_EQ(custom + "\\bar.png", skin.Path(CSkinFiles::kBackground));
    EXPECT_EQ("D:\\default\\arrow.png", skin.Path(CSkinFiles::kArrow));
    EXPECT_EQ(8, skin.CornerRadius());
    const std::vector<std::string> fromDefault = skin.DefaultsUsed();
    EXPECT_EQ(8u, fromDefault.size());
    EXPECT_EQ(fromDefault.end(), std::find(fromDefault.begin(), fromDefault.end(), "bar.png"));

    const CSkinFiles plain("D:\\default", "");
    EXPECT_EQ("D:\\default\\bar.png", plain.Path(CSkinFiles::kBackground));
    EXPECT_EQ(0, plain.CornerRadius());
    EXPECT_TRUE(plain.DefaultsUsed().empty());
}

TEST(WordListTest, PrefixMatchesIgnoreCaseKeepListOrderAndStopAtTheLimit) {
    const CWordList words;
    EXPECT_EQ((std::vector<std::string>{"ski", "skill", "skin", "skinning", "skip", "skipper"}),
              words.Matches("SKi"));
    EXPECT_EQ(CWordList::kMaxSuggestions, words.Matches("s").size());
    EXPECT_EQ(2u, words.Matches("s", 2).size());
    EXPECT_TRUE(words.Matches("").empty());
    EXPECT_TRUE(words.Matches("skyscrapers").empty());
}
