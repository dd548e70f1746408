// CEngineList: the engine drop-down. It owns its entries (for its whole
// life, so an entry's address stays valid for UM_ENGINE_CHOSEN), its skins,
// its text style and its back buffer. It grows by one row per engine, paints
// through the buffer, highlights the row under the pointer, and on a click
// stores the row's index in the settings file and tells its owner.
#include "CEngineList.h"
#include "../access/CListAccessible.h"
#include "../frame/CCallDepth.h"
#include "../frame/Messages.h"
#include "../render/AnsiToWide.h"
#include "../render/GdiPlus.h"
#include "../settings/CSettingsFile.h"
#include "ListPainter.h"
#include "ListWindowClass.h"
#include <string>

namespace {
// Sizes at 96 DPI.
constexpr int kItemWidth = 100;
constexpr int kItemHeight = 25;
constexpr int kIconLeft = 3;
constexpr int kIconTextGap = 5;
} // namespace

BEGIN_MESSAGE_MAP(CEngineList, CWnd)
    ON_WM_PAINT()
    ON_WM_CREATE()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_ACTIVATEAPP()
    ON_MESSAGE(UM_POPUP_CLOSE, OnPopupClose)
    ON_MESSAGE(WM_GETOBJECT, OnGetObject)
    ON_MESSAGE(WM_DESTROY, OnWindowDestroy)
END_MESSAGE_MAP()

CEngineList::CEngineList() {
    textStyle = new CTextStyle;
    SetTextLook(textLook);
}

void CEngineList::SetTextLook(const ListTextLook& look) {
    textLook = look;
    fontSize = ListPainter::ApplyTextLook(textLook, dpiScale, *textStyle, rowFonts);
    if (m_hWnd && IsWindowVisible())
        Invalidate(TRUE);
}

CEngineList::~CEngineList() {
    // Clients may hold the accessible object longer than the rows live.
    CAccessibleBase::DisconnectAndRelease(accessible);
    // A list destroyed while shown must not leave its hook behind.
    if (m_hWnd && IsWindowVisible())
        Hide();
    delete textStyle;
    textStyle = nullptr;
    backgroundSkin.Release();
    highlightSkin.Release();
    ListPainter::ReleaseBackBuffer(m_hWnd, windowDC, bufferDC, bufferBitmap);
    for (EngineItem* item : items)
        delete item;
    items.clear();
}

BOOL CEngineList::Create(HWND parent, int x, int y, int w, int h) {
    return CreateEx(WS_EX_TOOLWINDOW, "GUI_AFXSELECT", nullptr, WS_POPUP | WS_CHILD, x, y, w, h,
                    parent, nullptr);
}

BOOL CEngineList::PreCreateWindow(CREATESTRUCT& cs) {
    RegisterListWindowClass(cs);
    return CWnd::PreCreateWindow(cs);
}

// The narrow path is kept as the host's bytes.
void CEngineList::SetBackgroundSkin(const char* path, int cornerRadius) {
    SetBackgroundSkinW(AnsiToWide(path), cornerRadius);
    if (path && *path)
        backgroundSkinPath = path;
}

void CEngineList::SetBackgroundSkinW(const std::wstring& path, int cornerRadius) {
    if (ListPainter::LoadSkin(windowDC, path, backgroundSkin, backgroundSkinPathW,
                              backgroundSkinPath, dpiScale) &&
        backgroundSkin.IsLoaded())
        ListPainter::RoundCorners(*this, width, height, cornerRadius);
}

void CEngineList::SetHighlightSkin(const char* path) {
    SetHighlightSkinW(AnsiToWide(path));
    if (path && *path)
        highlightSkinPath = path;
}

void CEngineList::SetHighlightSkinW(const std::wstring& path) {
    ListPainter::LoadSkin(windowDC, path, highlightSkin, highlightSkinPathW, highlightSkinPath,
                          dpiScale);
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
    if (scale == dpiScale)
        return;
    dpiScale = scale;
    itemWidth = dpiScale.Scale(kItemWidth);
    itemHeight = dpiScale.Scale(kItemHeight);
    fontSize = ListPainter::ApplyTextLook(textLook, dpiScale, *textStyle, rowFonts);
    if (!m_hWnd)
        return;
    ListPainter::ReloadSkins(windowDC, dpiScale, backgroundSkin, backgroundSkinPathW,
                             highlightSkin, highlightSkinPathW);
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

int CEngineList::OnCreate(LPCREATESTRUCT) {
    if (Default() == -1)
        return -1;
    ListPainter::CreateBackBuffer(m_hWnd, windowDC, bufferDC, bufferBitmap, width, height);
    return 0;
}

void CEngineList::OnPaint() {
    // The buffer is not cleared first: what the background skin leaves
    // uncovered keeps the previous paint.
    ListPainter::Paint(*this, windowDC, bufferDC, bufferBitmap, width, height,
                       [this](Gdiplus::Graphics* graphics) { DrawContent(graphics); });
}

void CEngineList::DrawContent(Gdiplus::Graphics* graphics) {
    if (backgroundSkin.IsLoaded())
        backgroundSkin.StretchDraw(graphics, 0, 0, width, height);
    for (int i = 0; i < GetCount(); ++i) {
        EngineItem& item = *items[static_cast<size_t>(i)];
        const int top = i * itemHeight;
        if (highlightSkin.IsLoaded() && i == hoverIndex)
            highlightSkin.StretchDraw(graphics, 0, top, width, itemHeight);
        if (!item.icon.IsLoaded())
            continue; // a blank row, which hit-testing never finds
        const int iconWidth = item.icon.GetWidth();
        const int iconHeight = item.icon.GetHeight();
        item.icon.AlphaDraw(graphics, dpiScale.Scale(kIconLeft),
                            top + itemHeight / 2 - iconHeight / 2, iconWidth, iconHeight);
        item.rowRect = RECT{0, top, width, top + itemHeight};
        // The layout is as wide as the list from the text's start; text
        // longer than that is cut by the buffer's edge.
        ListPainter::DrawRowText(
            graphics, item.nameW, *textStyle, rowFonts,
            static_cast<float>(iconWidth + dpiScale.Scale(kIconTextGap)),
            static_cast<float>(ListPainter::TextTop(top, itemHeight, fontSize)),
            static_cast<float>(itemWidth), static_cast<float>(itemHeight),
            width - dpiScale.Scale(kIconLeft), i == hoverIndex);
    }
    ListPainter::DrawFrame(graphics, m_hWnd, width, borderColor, dpiScale);
}

void CEngineList::OnMouseMove(UINT, CPoint point) {
    ListPainter::SetHandCursor();
    const int hit = HitTest(point);
    if (hit != hoverIndex) {
        hoverIndex = hit;
        Invalidate(TRUE);
        CListAccessible::NotifyRowHighlighted(m_hWnd, hit);
    }
    Default();
}

void CEngineList::OnLButtonDown(UINT, CPoint point) {
    const int index = HitTest(point);
    if (index != -1)
        ChooseRow(index);
    Default();
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

RECT CEngineList::RowRect(int row) const {
    return RECT{0, row * itemHeight, width, (row + 1) * itemHeight};
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

void CEngineList::OnActivateApp(BOOL bActive, DWORD) {
    Default();
    if (!bActive)
        Hide();
}

LRESULT CEngineList::OnPopupClose(WPARAM, LPARAM lParam) {
    if (lParam == POPUP_CLOSE_TOKEN)
        Hide();
    return 0;
}

LRESULT CEngineList::OnGetObject(WPARAM wParam, LPARAM lParam) {
    if (!CAccessibleBase::IsClientObjectRequest(lParam))
        return Default();
    return CAccessibleBase::Answer(accessible, this, wParam);
}

LRESULT CEngineList::OnWindowDestroy(WPARAM, LPARAM) {
    CAccessibleBase::DisconnectAndRelease(accessible);
    return Default();
}

LRESULT CEngineList::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const CCallDepth frame;
    return CWnd::WindowProc(message, wParam, lParam);
}
