// CEngineList: the engine drop-down. It owns its entries for its whole life,
// so an entry's address stays valid for UM_ENGINE_CHOSEN. It grows by one
// row per engine and on a click stores the row's index in the settings file
// and tells its owner; painting, skins and hover are CListPopup's.
#include "CEngineList.h"
#include "../access/CListAccessible.h"
#include "../frame/Messages.h"
#include "../render/AnsiToWide.h"
#include "../render/GdiPlus.h"
#include "../settings/CSettingsFile.h"
#include "ListPainter.h"
#include <string>

namespace {
// Sizes at 96 DPI.
constexpr int kItemWidth = 100;
constexpr int kIconLeft = 3;
constexpr int kIconTextGap = 5;
} // namespace

CEngineList::~CEngineList() {
    ReleaseListParts();
    for (EngineItem* item : items)
        delete item;
    items.clear();
}

void CEngineList::SetSettingsPath(const char* path) {
    if (path && *path) {
        settingsPath = path;
        settingsPathW = AnsiToWide(path);
    }
}

void CEngineList::SetSettingsPathW(const std::wstring& path) {
    if (!path.empty()) {
        settingsPathW = path;
        settingsPath = WideToAnsi(path);
    }
}

// The narrow strings stay the host's bytes.
int CEngineList::AddEngine(const char* iconPath, const char* name, const char* urlPrefix) {
    if (!name || !*name)
        return 0;
    auto* item = new EngineItem;
    item->iconPath = iconPath ? iconPath : "";
    item->name = name;
    item->urlPrefix = urlPrefix ? urlPrefix : "";
    item->iconPathW = AnsiToWide(iconPath);
    item->nameW = AnsiToWide(name);
    item->urlPrefixW = AnsiToWide(urlPrefix);
    return AddItem(item);
}

int CEngineList::AddEngineW(const wchar_t* iconPath, const wchar_t* name,
                            const wchar_t* urlPrefix) {
    if (!name || !*name)
        return 0;
    auto* item = new EngineItem;
    item->iconPathW = iconPath ? iconPath : L"";
    item->nameW = name;
    item->urlPrefixW = urlPrefix ? urlPrefix : L"";
    item->iconPath = WideToAnsi(item->iconPathW);
    item->name = WideToAnsi(item->nameW);
    item->urlPrefix = WideToAnsi(item->urlPrefixW);
    item->wideRegistration = true;
    return AddItem(item);
}

int CEngineList::AddItem(EngineItem* item) {
    if (item->nameW.empty() || HasEngineW(item->nameW)) {
        delete item;
        return 0;
    }
    // Without an icon the row stays blank: no name and no reaction.
    if (!item->iconPathW.empty())
        item->icon.LoadFromFile(windowDC, item->iconPathW, dpiScale);
    items.push_back(item);

    height = GetCount() * itemHeight;
    width = itemWidth;
    ListPainter::ResizeForRows(*this, windowDC, bufferDC, bufferBitmap, width, height);
    return 1;
}

BOOL CEngineList::HasEngine(const char* name) const {
    return name ? HasEngineW(AnsiToWide(name)) : FALSE;
}

BOOL CEngineList::HasEngineW(const std::wstring& name) const {
    return IndexOfW(name) >= 0 ? TRUE : FALSE;
}

EngineItem* CEngineList::GetItem(int index) const {
    if (index < 0 || index >= GetCount())
        return nullptr;
    return items[static_cast<size_t>(index)];
}

const EngineItem* CEngineList::FindItem(LPARAM address) const {
    for (const EngineItem* item : items)
        if (reinterpret_cast<LPARAM>(item) == address)
            return item;
    return nullptr;
}

int CEngineList::HitTest(CPoint point) const {
    return ListPainter::HitTest(items, point);
}

void CEngineList::SetDpiScale(const CDpiScale& scale) {
    const bool reload = TakeDpiScale(scale);
    itemWidth = dpiScale.Scale(kItemWidth);
    if (!reload)
        return;
    for (EngineItem* item : items) {
        if (item->icon.IsLoaded())
            item->icon.LoadFromFile(windowDC, item->iconPathW, dpiScale);
    }
    if (items.empty())
        return;
    height = GetCount() * itemHeight;
    width = itemWidth;
    ListPainter::ResizeForRows(*this, windowDC, bufferDC, bufferBitmap, width, height);
}

void CEngineList::Show() {
    popupHook.InstallPopupMouseHook(m_hWnd);
    ShowWindow(SW_SHOW);
}

void CEngineList::Hide() {
    popupHook.RemovePopupMouseHook();
    hoverIndex = -1;
    ShowWindow(SW_HIDE);
}

void CEngineList::DrawRow(Gdiplus::Graphics* graphics, int row, int rowTop) {
    EngineItem& item = *items[static_cast<size_t>(row)];
    if (!item.icon.IsLoaded())
        return;
    const int iconWidth = item.icon.GetWidth();
    const int iconHeight = item.icon.GetHeight();
    item.icon.AlphaDraw(graphics, MirroredLeft(dpiScale.Scale(kIconLeft), iconWidth),
                        rowTop + itemHeight / 2 - iconHeight / 2, iconWidth, iconHeight);
    item.rowRect = RECT{0, rowTop, width, rowTop + itemHeight};
    // The layout is as wide as the list from the text's start; text longer
    // than that is cut by the buffer's edge.
    DrawRowText(graphics, item.nameW, rowTop, iconWidth + dpiScale.Scale(kIconTextGap), itemWidth,
                width - dpiScale.Scale(kIconLeft), row == hoverIndex);
}

void CEngineList::ChooseRow(int row) {
    EngineItem* chosen = GetItem(row);
    if (!chosen)
        return;
    Hide();
    StoreChosenIndex(row);
    // The owner reads the index back from the file when it handles this.
    if (HWND owner = ::GetParent(m_hWnd))
        ::PostMessageA(owner, UM_ENGINE_CHOSEN, 0, reinterpret_cast<LPARAM>(chosen));
}

int CEngineList::IndexOf(const std::string& name) const {
    return IndexOfW(AnsiToWide(name.c_str()));
}

int CEngineList::IndexOfW(const std::wstring& name) const {
    for (int i = 0; i < GetCount(); ++i)
        if (items[static_cast<size_t>(i)]->nameW == name)
            return i;
    return -1;
}

std::wstring CEngineList::RowName(int row) const {
    const EngineItem* item = GetItem(row);
    return item ? item->nameW : std::wstring();
}

bool CEngineList::RowSelectable(int row) const {
    const EngineItem* item = GetItem(row);
    return item && item->icon.IsLoaded();
}

void CEngineList::SetHighlight(int row) {
    hoverIndex = RowSelectable(row) ? row : -1;
    Invalidate(TRUE);
    CListAccessible::NotifyRowHighlighted(m_hWnd, hoverIndex);
}

void CEngineList::MoveHighlight(int step) {
    const int from = GetItem(hoverIndex) ? hoverIndex : (step > 0 ? -1 : GetCount());
    for (int row = from + step; GetItem(row); row += step) {
        if (RowSelectable(row)) {
            SetHighlight(row);
            return;
        }
    }
}

// With no settings file named there is nowhere to store the choice; an
// empty file name would make the system pick a file of its own.
void CEngineList::StoreChosenIndex(int index) {
    choiceStored = !settingsPathW.empty() &&
                   CSettingsFile(settingsPathW).Write("Select", "Index", std::to_string(index));
}
