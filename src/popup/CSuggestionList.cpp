// CSuggestionList: the drop-down of query suggestions below the bar. It owns
// its entries until Clear, its skins, its text style and its back buffer.
// Up and Down arrive from the keyboard hook as UM_POPUP_KEY and step the
// highlight; Enter and a click end the list. Every step and choice is posted
// to the owner as UM_QUERY_COMMAND with the address of currentText, which
// stays unchanged until later input on this thread.
#include "CSuggestionList.h"
#include "../access/CListAccessible.h"
#include "../frame/CCallDepth.h"
#include "../frame/Messages.h"
#include "../history/CHistoryFile.h"
#include "../render/AnsiToWide.h"
#include "../render/GdiPlus.h"
#include "ListPainter.h"
#include "ListWindowClass.h"
#include "../render/TextDirection.h"

namespace {
// Sizes at 96 DPI.
constexpr int kItemHeight = 25;
constexpr int kTextLeft = 3;
// The clock before a recent search's text, and the gap after it.
constexpr int kClockSize = 11;
constexpr int kClockGap = 4;
// The text's layout runs ten list widths to the right, so a long text stays
// on one line and is cut by the buffer's edge instead of wrapping.
constexpr int kTextLayoutWidths = 10;

// wParam of UM_QUERY_COMMAND.
enum QueryCommand : WPARAM { kPutText = 0, kSearchQuery = 1, kPutTextAndSearch = 2 };
} // namespace

BEGIN_MESSAGE_MAP(CSuggestionList, CWnd)
    ON_WM_PAINT()
    ON_WM_CREATE()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_ACTIVATEAPP()
    ON_MESSAGE(UM_POPUP_CLOSE, OnPopupClose)
    ON_MESSAGE(UM_POPUP_KEY, OnPopupKey)
    ON_MESSAGE(WM_GETOBJECT, OnGetObject)
    ON_MESSAGE(WM_DESTROY, OnWindowDestroy)
END_MESSAGE_MAP()

CSuggestionList::CSuggestionList() {
    textStyle = new CTextStyle;
    SetTextLook(textLook);
}

void CSuggestionList::SetTextLook(const ListTextLook& look) {
    textLook = look;
    fontSize = ListPainter::ApplyTextLook(textLook, dpiScale, *textStyle, rowFonts);
    if (m_hWnd && IsWindowVisible())
        Invalidate(TRUE);
}

CSuggestionList::~CSuggestionList() {
    // Clients may hold the accessible object longer than the rows live.
    CAccessibleBase::DisconnectAndRelease(accessible);
    // A list destroyed while shown must not leave the keyboard hook behind.
    if (m_hWnd && IsWindowVisible())
        Hide();
    delete textStyle;
    textStyle = nullptr;
    backgroundSkin.Release();
    highlightSkin.Release();
    ListPainter::ReleaseBackBuffer(m_hWnd, windowDC, bufferDC, bufferBitmap);
    DeleteItems();
}

BOOL CSuggestionList::Create(HWND parent, int x, int y, int w, int h) {
    const BOOL created = CreateEx(WS_EX_TOOLWINDOW, "GUI_AFXSELECT", nullptr, WS_POPUP | WS_CHILD,
                                  x, y, w, h, parent, nullptr);
    width = w - x;
    return created;
}

BOOL CSuggestionList::PreCreateWindow(CREATESTRUCT& cs) {
    RegisterListWindowClass(cs);
    return CWnd::PreCreateWindow(cs);
}

BOOL CSuggestionList::PreTranslateMessage(MSG* pMsg) {
    return CWnd::PreTranslateMessage(pMsg);
}

// The narrow path is kept as the host's bytes.
void CSuggestionList::SetBackgroundSkin(const char* path, int cornerRadius) {
    SetBackgroundSkinW(AnsiToWide(path), cornerRadius);
    if (path && *path)
        backgroundSkinPath = path;
}

void CSuggestionList::SetBackgroundSkinW(const std::wstring& path, int cornerRadius) {
    if (ListPainter::LoadSkin(windowDC, path, backgroundSkin, backgroundSkinPathW,
                              backgroundSkinPath, dpiScale) &&
        backgroundSkin.IsLoaded())
        ListPainter::RoundCorners(*this, width, height, cornerRadius);
}

void CSuggestionList::SetHighlightSkin(const char* path) {
    SetHighlightSkinW(AnsiToWide(path));
    if (path && *path)
        highlightSkinPath = path;
}

void CSuggestionList::SetHighlightSkinW(const std::wstring& path) {
    ListPainter::LoadSkin(windowDC, path, highlightSkin, highlightSkinPathW, highlightSkinPath,
                          dpiScale);
}

// Zero high until the next AddSuggestion gives the window its rows back;
// settled at once even while hidden (layouts are rare).
void CSuggestionList::SetListWidth(int w) {
    width = w;
    SetWindowSize(w, 0);
}

// A shown list takes a new size at once. A hidden one only notes it: its
// size cannot be seen, so it is settled once, when the list is shown or
// painted, instead of at every row of a refill (each resize is a round trip
// to the window system).
void CSuggestionList::ResizeWindow(int w, int h) {
    if (m_hWnd && IsWindowVisible()) {
        SetWindowSize(w, h);
        return;
    }
    pendingSize = SIZE{w, h};
    sizePending = true;
}

// Not activated: a list, shown or hidden, must never take the focus.
void CSuggestionList::SetWindowSize(int w, int h) {
    sizePending = false;
    SetWindowPos(nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOACTIVATE);
}

// A refill of as many rows as before finds the window at its size already.
void CSuggestionList::SettlePendingSize() {
    if (!sizePending || !m_hWnd)
        return;
    sizePending = false;
    RECT rect{};
    GetWindowRect(&rect);
    if (rect.right - rect.left != pendingSize.cx || rect.bottom - rect.top != pendingSize.cy)
        SetWindowSize(pendingSize.cx, pendingSize.cy);
}

// The narrow text stays the host's bytes.
int CSuggestionList::AddSuggestion(const char* text) {
    if (GetCount() >= MaxItems || !text || !*text)
        return 0;
    return AddItem(new SuggestionItem{text, RECT{}, AnsiToWide(text)});
}

int CSuggestionList::AddSuggestionW(const wchar_t* text) {
    if (GetCount() >= MaxItems || !text || !*text)
        return 0;
    return AddItem(new SuggestionItem{WideToAnsi(text), RECT{}, text});
}

int CSuggestionList::AddItem(SuggestionItem* item) {
    if (item->textW.empty() || HasSuggestionW(item->textW) || MatchesRecentRow(item->textW)) {
        delete item;
        return 0;
    }
    items.push_back(item);
    height = GetCount() * itemHeight;
    FitWindowToRows();
    return 1;
}

// A shown list grows at once and repaints; a hidden one keeps its buffer,
// which its next paint reuses when the size is the same.
void CSuggestionList::FitWindowToRows() {
    if (m_hWnd && IsWindowVisible())
        ListPainter::ResizeForRows(*this, windowDC, bufferDC, bufferBitmap, width, height);
    else
        ResizeWindow(width, height);
}

bool CSuggestionList::MatchesRecentRow(const std::wstring& text) const {
    for (const SuggestionItem* item : items)
        if (item->recent && CHistoryFile::SameIgnoringCase(item->textW, text))
            return true;
    return false;
}

bool CSuggestionList::IsRecentRow(int index) const {
    const SuggestionItem* item = GetItem(index);
    return item && item->recent;
}

void CSuggestionList::SetRecentRows(const std::vector<std::wstring>& rows) {
    std::vector<SuggestionItem*> kept;
    for (const std::wstring& row : rows)
        if (!row.empty() && kept.size() < static_cast<size_t>(MaxItems))
            kept.push_back(new SuggestionItem{WideToAnsi(row), RECT{}, row, true});
    const size_t recentCount = kept.size();
    for (SuggestionItem* item : items) {
        bool repeated = item->recent;
        for (size_t i = 0; i < recentCount && !repeated; ++i)
            repeated = CHistoryFile::SameIgnoringCase(kept[i]->textW, item->textW);
        if (repeated || kept.size() >= static_cast<size_t>(MaxItems))
            delete item;
        else
            kept.push_back(item);
    }
    items.swap(kept);
    RowsChanged();
}

void CSuggestionList::ClearOtherRows() {
    std::vector<SuggestionItem*> kept;
    for (SuggestionItem* item : items) {
        if (item->recent)
            kept.push_back(item);
        else
            delete item;
    }
    items.swap(kept);
    RowsChanged();
}

void CSuggestionList::RowsChanged() {
    height = GetCount() * itemHeight;
    if (items.empty() && m_hWnd && IsWindowVisible())
        Hide();
    FitWindowToRows();
    if (m_hWnd && IsWindowVisible())
        Invalidate(TRUE);
}

void CSuggestionList::RemoveRow(int index) {
    if (!GetItem(index))
        return;
    delete items[static_cast<size_t>(index)];
    items.erase(items.begin() + index);
    RowsChanged();
    if (items.empty())
        return;
    hoverIndex = index < GetCount() ? index : GetCount() - 1;
    CListAccessible::NotifyRowHighlighted(m_hWnd, hoverIndex);
}

BOOL CSuggestionList::HasSuggestion(const char* text) const {
    return text ? HasSuggestionW(AnsiToWide(text)) : FALSE;
}

BOOL CSuggestionList::HasSuggestionW(const std::wstring& text) const {
    for (const SuggestionItem* item : items)
        if (item->textW == text)
            return TRUE;
    return FALSE;
}

void CSuggestionList::TakeText(const SuggestionItem& item) {
    currentText = item.text;
    currentTextW = item.textW;
}

SuggestionItem* CSuggestionList::GetItem(int index) const {
    if (index < 0 || index >= GetCount())
        return nullptr;
    return items[static_cast<size_t>(index)];
}

int CSuggestionList::HitTest(CPoint point) const {
    return ListPainter::HitTest(items, point);
}

// hoverIndex and currentText survive: a refilled list highlights the old
// index, and the arrow keys continue from it, where it still names an entry.
void CSuggestionList::Clear() {
    DeleteItems();
    height = 0;
    if (m_hWnd && IsWindowVisible())
        Hide();
    ResizeWindow(width, 0);
}

void CSuggestionList::SetDpiScale(const CDpiScale& scale) {
    if (scale == dpiScale)
        return;
    dpiScale = scale;
    itemHeight = dpiScale.Scale(kItemHeight);
    fontSize = ListPainter::ApplyTextLook(textLook, dpiScale, *textStyle, rowFonts);
    if (!m_hWnd)
        return;
    ListPainter::ReloadSkins(windowDC, dpiScale, backgroundSkin, backgroundSkinPathW,
                             highlightSkin, highlightSkinPathW);
    if (items.empty())
        return;
    height = GetCount() * itemHeight;
    FitWindowToRows();
}

void CSuggestionList::Show() {
    popupHook.InstallBarMouseHook(owner ? owner->GetSafeHwnd() : nullptr, m_hWnd);
    popupHook.InstallKeyboardHook();
    SettlePendingSize();
    ShowWindow(SW_SHOW);
}

// Leaves hoverIndex and the bar's mouse hook alone; the bar removes that.
void CSuggestionList::Hide() {
    popupHook.RemoveKeyboardHook(m_hWnd);
    ShowWindow(SW_HIDE);
}

void CSuggestionList::DeleteItems() {
    for (SuggestionItem* item : items)
        delete item;
    items.clear();
}

int CSuggestionList::OnCreate(LPCREATESTRUCT) {
    if (Default() == -1)
        return -1;
    ListPainter::CreateBackBuffer(m_hWnd, windowDC, bufferDC, bufferBitmap, width, height);
    return 0;
}

void CSuggestionList::OnPaint() {
    SettlePendingSize();
    ListPainter::Paint(*this, windowDC, bufferDC, bufferBitmap, width, height,
                       [this](Gdiplus::Graphics* graphics) { DrawContent(graphics); });
}

void CSuggestionList::DrawContent(Gdiplus::Graphics* graphics) {
    if (backgroundSkin.IsLoaded())
        backgroundSkin.StretchDraw(graphics, 0, 0, width, height);
    for (int i = 0; i < GetCount(); ++i) {
        SuggestionItem& item = *items[static_cast<size_t>(i)];
        const int top = i * itemHeight;
        if (highlightSkin.IsLoaded() && i == hoverIndex)
            highlightSkin.StretchDraw(graphics, 0, top, width, itemHeight);
        item.rowRect = RECT{0, top, width, top + itemHeight};
        const int textLeft = dpiScale.Scale(kTextLeft);
        int left = textLeft;
        int rightEdge = width - textLeft;
        if (item.recent) {
            const int clock = dpiScale.Scale(kClockSize);
            const bool mirrored = IsRightToLeft(item.textW);
            ListPainter::DrawClockGlyph(graphics, *textStyle->BrushFor(i == hoverIndex),
                                        mirrored ? rightEdge - clock : left,
                                        top + (itemHeight - clock) / 2, clock, mirrored);
            const int shift = clock + dpiScale.Scale(kClockGap);
            if (mirrored)
                rightEdge -= shift;
            else
                left += shift;
        }
        ListPainter::DrawRowText(
            graphics, item.textW, *textStyle, rowFonts, static_cast<float>(left),
            static_cast<float>(ListPainter::TextTop(top, itemHeight, fontSize)),
            static_cast<float>(kTextLayoutWidths * width), static_cast<float>(itemHeight),
            rightEdge, i == hoverIndex);
    }
    ListPainter::DrawFrame(graphics, m_hWnd, width, borderColor, dpiScale);
}

void CSuggestionList::OnMouseMove(UINT, CPoint point) {
    ListPainter::SetHandCursor();
    const int hit = HitTest(point);
    if (hit != hoverIndex) {
        hoverIndex = hit;
        Invalidate(TRUE);
        CListAccessible::NotifyRowHighlighted(m_hWnd, hit);
    }
    Default();
}

void CSuggestionList::OnLButtonDown(UINT, CPoint point) {
    const int index = HitTest(point);
    if (index != -1)
        ChooseRow(index);
    Default();
}

void CSuggestionList::ChooseRow(int row) {
    const SuggestionItem* item = GetItem(row);
    if (!item)
        return;
    Close();
    TakeText(*item);
    PostQueryCommand(kPutTextAndSearch);
}

std::wstring CSuggestionList::RowName(int row) const {
    const SuggestionItem* item = GetItem(row);
    return item ? item->textW : std::wstring();
}

std::wstring CSuggestionList::RowDescription(int row) const {
    return IsRecentRow(row) ? L"Recent search" : std::wstring();
}

RECT CSuggestionList::RowRect(int row) const {
    return RECT{0, row * itemHeight, width, (row + 1) * itemHeight};
}

void CSuggestionList::OnActivateApp(BOOL bActive, DWORD) {
    Default();
    if (!bActive)
        Close();
}

LRESULT CSuggestionList::OnPopupClose(WPARAM, LPARAM lParam) {
    if (lParam == POPUP_CLOSE_TOKEN)
        Close();
    return 0;
}

LRESULT CSuggestionList::OnPopupKey(WPARAM, LPARAM key) {
    switch (key) {
    case VK_DOWN:
        StepTo(NextIndex());
        break;
    case VK_UP:
        StepTo(PreviousIndex());
        break;
    case VK_RETURN:
        SearchWithHighlighted();
        break;
    default:
        break;
    }
    return 0;
}

// From nothing highlighted, or from an index left over from a longer list
// that names no entry now, Down starts at the first entry.
int CSuggestionList::NextIndex() const {
    if (!GetItem(hoverIndex))
        return 0;
    return hoverIndex + 1 < GetCount() ? hoverIndex + 1 : 0;
}

// Likewise Up starts at the last entry.
int CSuggestionList::PreviousIndex() const {
    if (!GetItem(hoverIndex))
        return GetCount() - 1;
    return hoverIndex > 0 ? hoverIndex - 1 : GetCount() - 1;
}

// An empty list has nowhere to step to and keeps its state.
void CSuggestionList::StepTo(int index) {
    SuggestionItem* item = GetItem(index);
    if (!item)
        return;
    hoverIndex = index;
    TakeText(*item);
    PostQueryCommand(kPutText);
    Invalidate(TRUE);
    CListAccessible::NotifyRowHighlighted(m_hWnd, index);
}

void CSuggestionList::SearchWithHighlighted() {
    Hide();
    if (SuggestionItem* item = GetItem(hoverIndex))
        TakeText(*item);
    PostQueryCommand(kSearchQuery);
    hoverIndex = -1;
}

void CSuggestionList::Close() {
    hoverIndex = -1;
    ShowWindow(SW_HIDE);
    popupHook.RemoveKeyboardHook(m_hWnd);
}

LRESULT CSuggestionList::OnGetObject(WPARAM wParam, LPARAM lParam) {
    if (!CAccessibleBase::IsClientObjectRequest(lParam))
        return Default();
    return CAccessibleBase::Answer(accessible, this, wParam);
}

LRESULT CSuggestionList::OnWindowDestroy(WPARAM, LPARAM) {
    CAccessibleBase::DisconnectAndRelease(accessible);
    return Default();
}

void CSuggestionList::PostQueryCommand(WPARAM command) {
    if (HWND bar = ::GetParent(m_hWnd))
        ::PostMessageA(bar, UM_QUERY_COMMAND, command, reinterpret_cast<LPARAM>(&currentText));
}

LRESULT CSuggestionList::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const CCallDepth frame;
    return CWnd::WindowProc(message, wParam, lParam);
}
