// CSearchBar engines: registration through the engine list, the current
// engine, and the chosen index kept in the settings file ([Select] Index).
#include "../access/CBarAccessible.h"
#include "../launch/LaunchSearch.h"
#include "../popup/CEngineList.h"
#include "../render/AnsiToWide.h"
#include "../settings/CSettingsFile.h"
#include "CSearchBar.h"
#include <climits>
#include <cstdlib>

namespace {
// The settings file is opened by its UTF-16 name; a write keeps the file's
// encoding and every other byte of it (CSettingsFile).
const char kSection[] = "Select";
const char kKey[] = "Index";

const char* OrEmpty(const char* text) {
    return text ? text : "";
}

// Leading blanks and a sign are accepted and conversion stops at the first
// non-digit, as atoi does; values beyond int are clamped rather than
// overflowing.
int ParseIndex(const char* text) {
    const long value = std::strtol(text, nullptr, 10);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

// An empty URL starts no search; any other must be one the launcher would
// open, so that no search can run a program or open a file.
bool IsAcceptableEngineUrl(const std::wstring& url) {
    return url.empty() || IsLaunchableUrl(url.c_str());
}

void CopyEngineStrings(const EngineItem& from, EngineItem& to) {
    to.name = from.name;
    to.iconPath = from.iconPath;
    to.urlPrefix = from.urlPrefix;
    to.nameW = from.nameW;
    to.iconPathW = from.iconPathW;
    to.urlPrefixW = from.urlPrefixW;
    to.wideRegistration = from.wideRegistration;
    to.suggestionUrlW = from.suggestionUrlW;
}
} // namespace

int CSearchBar::AddEngine(const char* iconPath, const char* name, const char* urlPrefix) {
    if (!engineList || !IsAcceptableEngineUrl(AnsiToWide(OrEmpty(urlPrefix))))
        return 0;
    if (!engineList->AddEngine(OrEmpty(iconPath), name, OrEmpty(urlPrefix)))
        return 0;
    AdoptFirstEngine();
    return 1;
}

int CSearchBar::AddEngineW(const wchar_t* iconPath, const wchar_t* name,
                           const wchar_t* urlPrefix) {
    if (!engineList || !IsAcceptableEngineUrl(urlPrefix ? urlPrefix : L""))
        return 0;
    if (!engineList->AddEngineW(iconPath ? iconPath : L"", name, urlPrefix ? urlPrefix : L""))
        return 0;
    AdoptFirstEngine();
    return 1;
}

void CSearchBar::AdoptFirstEngine() {
    if (engineList->GetCount() == 1)
        CopyEngineStrings(*engineList->GetItem(0), currentEngine);
}

const char* CSearchBar::GetEngineName() {
    return currentEngine.name.c_str();
}

const char* CSearchBar::GetEngineUrl() {
    return currentEngine.urlPrefix.c_str();
}

const wchar_t* CSearchBar::GetEngineNameW() {
    return currentEngine.nameW.c_str();
}

const wchar_t* CSearchBar::GetEngineUrlW() {
    return currentEngine.urlPrefixW.c_str();
}

int CSearchBar::GetEngineIndex() {
    return engineIndex;
}

// The value is parsed in the code page's form, exactly as the narrow
// profile function gave it before.
int CSearchBar::ReadStoredIndex() const {
    const std::wstring text = CSettingsFile(settingsPathW).Read(kSection, kKey);
    return ParseIndex(WideToAnsi(text.c_str()).c_str());
}

void CSearchBar::WriteStoredIndexZero() const {
    CSettingsFile(settingsPathW).Write(kSection, kKey, "0");
}

void CSearchBar::AdoptEngine(const EngineItem& item) {
    const bool changed = item.nameW != currentEngine.nameW;
    CopyEngineStrings(item, currentEngine);
    ++engineGeneration; // an answer asked of the engine before is not shown
    StopLiveSuggestions();
    if (HasWindow()) {
        shownIconPath = currentEngine.iconPath;
        shownIconPathW = currentEngine.iconPathW;
    }
    // The engine list decoded this very file, at the same scale, when the
    // engine was added; the bar shows the same pixels without decoding it a
    // second time.
    if (HasWindow() && item.icon.IsLoaded() && engineList && engineList->windowDC &&
        engineList->dpiScale == dpiScale)
        engineIconImage.CopyFrom(item.icon, windowDC);
    else
        LoadSkin(engineIconImage, currentEngine.iconPathW);
    if (changed && HasWindow())
        CBarAccessible::NotifyEngineChanged(m_hWnd);
}

void CSearchBar::SetSettingsFile(const char* iniPath) {
    if (TakePath(iniPath, settingsPath, settingsPathW))
        ApplySettingsFile();
}

void CSearchBar::SetSettingsFileW(const wchar_t* iniPath) {
    if (TakePath(iniPath, settingsPath, settingsPathW))
        ApplySettingsFile();
}

void CSearchBar::ApplySettingsFile() {
    const int stored = ReadStoredIndex();
    if (!engineList)
        return;
    engineList->SetSettingsPathW(settingsPathW);
    engineIndex = stored;
    // An index that names no engine counts as an absent key: engine 0 (when
    // there is one) and "0" written back.
    const EngineItem* item = engineList->GetItem(engineIndex);
    if (!item) {
        engineIndex = 0;
        item = engineList->GetItem(0);
    }
    if (engineIndex == 0)
        WriteStoredIndexZero();
    if (item)
        AdoptEngine(*item);
    RebuildBuffer();
    Invalidate();
}

// Any process can post this message: lParam is used only when it is the
// address of one of the engine list's own entries.
LRESULT CSearchBar::OnEngineChosen(WPARAM, LPARAM lParam) {
    const EngineItem* item = engineList ? engineList->FindItem(lParam) : nullptr;
    if (!item)
        return 0;
    AdoptEngine(*item);
    engineIndex = ReadStoredIndex();
    // A choice the file could not take is kept here: the file still holds
    // the one before.
    if (engineList && !engineList->ChoiceStored()) {
        const int row = engineList->IndexOfW(item->nameW);
        if (row >= 0)
            engineIndex = row;
    }
    PostToHost(UM_ENGINE_CHOSEN, 0, 0);
    RebuildBuffer();
    Invalidate();
    return 0;
}
