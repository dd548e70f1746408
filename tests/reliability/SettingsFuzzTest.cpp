// Bounded random fuzz (fixed seed) of reading the settings file: random INI
// text around random [Select] Index values, named to bars with random
// numbers of engines. Whatever the file holds, the current engine is the
// registered engine at the index the platform's INI reader finds (when it
// names one), else the first engine, else the default with no engine; the
// reported index agrees; and every other entry of the file reads as before.
#include "Pump.h"
#include "SkinnedBar.h"
#include "SuggestingHost.h"
#include "TestFiles.h"
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <random>

namespace {

constexpr unsigned kSeed = 0x1D3Bu;
constexpr int kBars = 20;
constexpr int kCasesPerBar = 100;
constexpr int kMaxEngines = 6;

std::string Pick(std::mt19937& random, const std::vector<std::string>& choices) {
    std::uniform_int_distribution<size_t> pick(0, choices.size() - 1);
    return choices[pick(random)];
}

// Printable and high bytes: the platform's INI writer, when the bar writes
// the index back, turns a lone CR into a line end and trims control bytes
// off values, which its reader keeps, so such bytes would change entries
// that the bar never touched.
std::string RandomBytes(std::mt19937& random, int maxLength) {
    std::uniform_int_distribution<int> length(0, maxLength);
    std::uniform_int_distribution<int> byte(0x20, 0xFF);
    std::string bytes;
    for (int i = length(random); i > 0; --i)
        bytes += static_cast<char>(byte(random));
    return bytes;
}

std::string RandomIndexValue(std::mt19937& random) {
    std::uniform_int_distribution<int> kind(0, 5);
    std::uniform_int_distribution<int> small(-2, kMaxEngines + 1);
    switch (kind(random)) {
    case 0:
        return std::to_string(small(random));
    case 1:
        return Pick(random, {"", " 3", "2abc", "-1", "99999999999", "-99999999999", "+1", "0x2",
                             "1.9", "\t2", "00001", "4294967297", "abc"});
    case 2:
        return std::to_string(small(random)) + RandomBytes(random, 6);
    default:
        return RandomBytes(random, 12);
    }
}

// INI text from pieces: sections (the real one in various spellings, broken
// ones, others), Index lines and other entries, comments, garbage, and any
// of two line ends.
std::string RandomIni(std::mt19937& random) {
    std::uniform_int_distribution<int> lines(0, 14);
    std::uniform_int_distribution<int> kind(0, 9);
    std::string text;
    for (int i = lines(random); i > 0; --i) {
        switch (kind(random)) {
        case 0:
        case 1:
            text += Pick(random,
                         {"[Select]", "[select]", " [Select] ", "[Select", "[Other]", "[Sel ect]"});
            break;
        case 2:
        case 3:
        case 4:
            text += Pick(random, {"Index=", "index=", "Index = ", "INDEX=", " Index="}) +
                    RandomIndexValue(random);
            break;
        case 5:
            text += "Key" + std::to_string(kind(random)) + "=" + RandomBytes(random, 10);
            break;
        case 6:
            text += ";" + RandomBytes(random, 10);
            break;
        case 7:
            text += RandomBytes(random, 30);
            break;
        default:
            break; // an empty line
        }
        text += Pick(random, {"\r\n", "\n"});
    }
    return text;
}

// [Select] Index as the platform's INI reader gives it, converted as atoi
// does, with values beyond int clamped.
int StoredIndex(const std::string& path) {
    char text[260] = {};
    ::GetPrivateProfileStringA("Select", "Index", nullptr, text, sizeof(text), path.c_str());
    const long value = std::strtol(text, nullptr, 10);
    return static_cast<int>(std::min<long>(std::max<long>(value, INT_MIN), INT_MAX));
}

// Every entry of the file but [Select] Index, section by section, as the
// INI reader sees them.
std::vector<std::string> OtherEntries(const std::string& path) {
    std::vector<char> names(65536);
    const DWORD length = ::GetPrivateProfileSectionNamesA(names.data(), 65536, path.c_str());
    std::vector<std::string> entries;
    for (const char* name = names.data(); name < names.data() + length && *name;
         name += std::strlen(name) + 1) {
        std::vector<char> section(65536);
        const DWORD size = ::GetPrivateProfileSectionA(name, section.data(), 65536, path.c_str());
        const bool isSelect = ::lstrcmpiA(name, "Select") == 0;
        for (const char* entry = section.data(); entry < section.data() + size && *entry;
             entry += std::strlen(entry) + 1) {
            if (isSelect && ::CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, entry, 6,
                                             "Index=", 6) == CSTR_EQUAL)
                continue;
            entries.push_back(std::string(name) + "/" + entry);
        }
    }
    return entries;
}

std::vector<EngineSpec> EnginesFor(int count) {
    std::vector<EngineSpec> engines;
    for (int i = 0; i < count; ++i)
        engines.push_back({"Engine " + std::to_string(i), "http://e" + std::to_string(i) + "/?q="});
    return engines;
}

} // namespace

TEST(SettingsFuzz, CurrentEngineAlwaysExistsOrTheDefaultApplies) {
    SuggestingHost host;
    std::mt19937 random(kSeed);
    std::uniform_int_distribution<int> engineCount(0, kMaxEngines);
    for (int b = 0; b < kBars; ++b) {
        const std::vector<EngineSpec> engines = EnginesFor(engineCount(random));
        CSearchBar* bar = MakeSkinnedBar(host.hwnd(), 100, 100, engines);
        ASSERT_NE(nullptr, bar);
        const std::string defaultUrl = bar->GetEngineUrl();
        for (int n = 0; n < kCasesPerBar; ++n) {
            const std::string text = RandomIni(random);
            const std::string path = WriteFileBytes(
                "fuzz-" + std::to_string(b) + "-" + std::to_string(n) + ".ini", text);
            const int stored = StoredIndex(path);
            const std::vector<std::string> others = OtherEntries(path);

            bar->SetSettingsFile(path.c_str());

            SCOPED_TRACE("bar " + std::to_string(b) + " case " + std::to_string(n) + ", " +
                         std::to_string(engines.size()) + " engines, stored " +
                         std::to_string(stored));
            const bool named = stored >= 0 && stored < static_cast<int>(engines.size());
            const int expected = named ? stored : 0;
            ASSERT_EQ(expected, bar->GetEngineIndex());
            if (engines.empty()) {
                ASSERT_STREQ("", bar->GetEngineName());
                ASSERT_EQ(defaultUrl, bar->GetEngineUrl());
            } else {
                ASSERT_EQ(engines[static_cast<size_t>(expected)].name, bar->GetEngineName());
                ASSERT_EQ(engines[static_cast<size_t>(expected)].urlPrefix, bar->GetEngineUrl());
            }
            if (named && stored != 0)
                ASSERT_EQ(text, ReadFileBytes(path)); // not written at all
            else
                ASSERT_EQ(0, StoredIndex(path));
            ASSERT_EQ(others, OtherEntries(path));
            ::DeleteFileA(path.c_str());
        }
        delete bar;
        PumpPending();
    }
}
