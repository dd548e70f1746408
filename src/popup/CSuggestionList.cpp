// CSuggestionList: the drop-down of query suggestions below the bar. It owns
// its entries until Clear; painting, skins and hover are CListPopup's.
// Up and Down arrive from the keyboard hook as UM_POPUP_KEY and step the
// highlight; Enter and a click end the list. Every step and choice is posted
// to the owner as UM_QUERY_COMMAND with the address of currentText, which
// stays unchanged until later input on this thread.
#include "CSuggestionList.h"
#include "../access/CListAccessible.h"
#include "../frame/Messages.h"
#include "../history/CHistoryFile.h"
#include "../render/AnsiToWide.h"
#include "../render/GdiPlus.h"
#include "ListPainter.h"
#include "../render/TextDirection.h"

namespace {
// Sizes at 96 DPI.
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

BEGIN_MESSAGE_MAP(CSuggestionList, CListPopup)
    ON_WM_PAINT()
    ON_MESSAGE(UM_POPUP_KEY, OnPopupKey)
END_MESSAGE_MAP()

CSuggestionList::~CSuggestionList() {
    ReleaseListParts();
    DeleteItems();
}

BOOL CSuggestionList::Create(HWND parent, int x, int y, int w, int h) {
    const BOOL created = CListPopup::Create(parent, x, y, w, h);
    width = w - x;
    return created;
}

BOOL CSuggestionList::PreTranslateMessage(MSG* pMsg) {
    return CWnd::PreTranslateMessage(pMsg);
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
    if (!TakeDpiScale(scale) || items.empty())
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

void CSuggestionList::OnPaint() {
    SettlePendingSize();
    CListPopup::OnPaint();
}

void CSuggestionList::DrawRow(Gdiplus::Graphics* graphics, int row, int rowTop) {
    SuggestionItem& item = *items[static_cast<size_t>(row)];
    const bool highlighted = row == hoverIndex;
    item.rowRect = RECT{0, rowTop, width, rowTop + itemHeight};
    const int textLeft = dpiScale.Scale(kTextLeft);
    int left = textLeft;
    int rightEdge = width - textLeft;
    if (item.recent) {
        const int clock = dpiScale.Scale(kClockSize);
        // In a left-to-right list a row that reads right to left puts its
        // clock at the right; a right-to-left list mirrors every row whole.
        const bool fromRight = !rightToLeft && ::IsRightToLeft(item.textW);
        ListPainter::DrawClockGlyph(
            graphics, *textStyle->BrushFor(highlighted),
            MirroredLeft(fromRight ? rightEdge - clock : left, clock),
            rowTop + (itemHeight - clock) / 2, clock, fromRight || rightToLeft);
        const int shift = clock + dpiScale.Scale(kClockGap);
        if (fromRight)
            rightEdge -= shift;
        else
            left += shift;
    }
    DrawRowText(graphics, item.textW, rowTop, left, kTextLayoutWidths * width, rightEdge,
                highlighted);
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

void CSuggestionList::PostQueryCommand(WPARAM command) {
    if (HWND bar = ::GetParent(m_hWnd))
        ::PostMessageA(bar, UM_QUERY_COMMAND, command, reinterpret_cast<LPARAM>(&currentText));
}
