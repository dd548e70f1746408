// CSearchBar engines: registration through the engine list, the current
// engine, and the chosen index kept in the settings file ([Select] Index).
#include "../access/CBarAccessible.h"
#include "../popup/CEngineList.h"
#include "CSearchBar.h"
#include <climits>
#include <cstdlib>

namespace {
const char kSection[] = "Select";
const char kKey[] = "Index";
constexpr DWORD kIndexBufferSize = 260;

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
} // namespace

int CSearchBar::AddEngine(const char* iconPath, const char* name, const char* urlPrefix) {
    if (!engineList)
        return 0;
    if (!engineList->AddEngine(OrEmpty(iconPath), name, OrEmpty(urlPrefix)))
        return 0;
    if (engineList->GetCount() == 1) {
        const EngineItem* first = engineList->GetItem(0);
        currentEngine.name = first->name;
        currentEngine.iconPath = first->iconPath;
        currentEngine.urlPrefix = first->urlPrefix;
    }
    return 1;
}

const char* CSearchBar::GetEngineName() {
    return currentEngine.name.c_str();
}

const char* CSearchBar::GetEngineUrl() {
    return currentEngine.urlPrefix.c_str();
}

int CSearchBar::GetEngineIndex() {
    return engineIndex;
}

int CSearchBar::ReadStoredIndex() const {
    char text[kIndexBufferSize] = {};
    ::GetPrivateProfileStringA(kSection, kKey, nullptr, text, kIndexBufferSize,
                               settingsPath.c_str());
    return ParseIndex(text);
}

void CSearchBar::WriteStoredIndexZero() const {
    ::WritePrivateProfileStringA(kSection, kKey, "0", settingsPath.c_str());
}

void CSearchBar::AdoptEngine(const EngineItem& item) {
    const bool changed = item.name != currentEngine.name;
    currentEngine.name = item.name;
    currentEngine.iconPath = item.iconPath;
    currentEngine.urlPrefix = item.urlPrefix;
    if (HasWindow())
        shownIconPath = currentEngine.iconPath;
    // The engine list decoded this very file, at the same scale, when the
    // engine was added; the bar shows the same pixels without decoding it a
    // second time.
    if (HasWindow() && item.icon.IsLoaded() && engineList && engineList->windowDC &&
        engineList->dpiScale == dpiScale)
        engineIconImage.CopyFrom(item.icon, windowDC);
    else
        LoadSkin(engineIconImage, currentEngine.iconPath);
    if (changed && HasWindow())
        CBarAccessible::NotifyEngineChanged(m_hWnd);
}

void CSearchBar::SetSettingsFile(const char* iniPath) {
    if (!iniPath || !*iniPath)
        return;
    settingsPath = iniPath;
    const int stored = ReadStoredIndex();
    if (!engineList)
        return;
    engineList->SetSettingsPath(iniPath);
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

LRESULT CSearchBar::OnEngineChosen(WPARAM, LPARAM lParam) {
    const auto* item = reinterpret_cast<const EngineItem*>(lParam);
    if (!item)
        return 0;
    AdoptEngine(*item);
    engineIndex = ReadStoredIndex();
    PostToHost(UM_ENGINE_CHOSEN, 0, 0);
    RebuildBuffer();
    Invalidate();
    return 0;
}
