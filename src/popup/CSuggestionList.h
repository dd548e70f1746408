// CSuggestionList: the drop-down of up to 11 query suggestions below the bar.
// Up and Down (through the keyboard hook) step through the entries, Enter
// searches, a click takes an entry and searches; each is posted to the owner
// as UM_QUERY_COMMAND with the address of currentText.
#pragma once
#include "CListPopup.h"
#include "SuggestionItem.h"
#include <string>
#include <vector>

class CSuggestionList : public CListPopup {
public:
    static constexpr int MaxItems = 11;

    ~CSuggestionList() override;

    // Afterwards the width is w - x.
    BOOL Create(HWND parent, int x, int y, int w, int h);
    // Sets the width; the window becomes w x 0 until the next AddSuggestion.
    void SetListWidth(int w);
    // Texts come in the ANSI code page or, in the W forms, in UTF-16; the
    // list keeps both forms (see SuggestionItem.h).
    // 1 when added; 0 when full, for a null or empty text, or a duplicate
    // (texts compared in UTF-16). A shown list grows at once; the window of
    // a hidden one takes the size of its rows when it is shown or painted.
    int AddSuggestion(const char* text);
    int AddSuggestionW(const wchar_t* text);
    // Recent searches: rows above every other, marked with a clock. Rows
    // replaces the recent rows; another row equal to one of them ignoring
    // case goes, and rows past MaxItems go from the end. A shown list that
    // is left without rows hides.
    void SetRecentRows(const std::vector<std::wstring>& rows);
    // Deletes every row but the recent ones; as Clear when none is left.
    void ClearOtherRows();
    bool IsRecentRow(int index) const;
    // Deletes the row and highlights the one that takes its place (or the
    // new last row); hides the list when it is left empty.
    void RemoveRow(int index);
    BOOL HasSuggestion(const char* text) const;
    BOOL HasSuggestionW(const std::wstring& text) const;
    SuggestionItem* GetItem(int index) const;
    int GetCount() const { return static_cast<int>(items.size()); }
    int HitTest(CPoint point) const;
    // Deletes the entries and hides the list; its window is zero high when
    // next shown or painted, unless rows come first.
    void Clear();
    void Show() override;
    void Hide() override;
    // Row height, text size and skins follow the scale; a change reloads
    // the skins and resizes the rows.
    void SetDpiScale(const CDpiScale& scale);

    // ListAccessSource
    const wchar_t* ListName() const override { return L"Suggestions"; }
    int RowCount() const override { return GetCount(); }
    std::wstring RowName(int row) const override;
    std::wstring RowDescription(int row) const override;
    bool RowSelectable(int row) const override { return GetItem(row) != nullptr; }
    int RowAt(POINT client) const override { return HitTest(client); }
    // A click's effect: closes, takes the entry's text and searches.
    void ChooseRow(int row) override;

    BOOL PreTranslateMessage(MSG* pMsg) override;

    CWnd* owner = nullptr; // the bar; not owned
    std::vector<SuggestionItem*> items;
    // The text of the last step or choice, posted by address to the owner;
    // currentTextW is the same text in UTF-16, which the owner reads when
    // the address is that of currentText.
    std::string currentText;
    std::wstring currentTextW;
    // The size the hidden window takes when it is shown or painted.
    bool sizePending = false;
    SIZE pendingSize{};

protected:
    // The text, after a clock when the row is a recent search.
    void DrawRow(Gdiplus::Graphics* graphics, int row, int rowTop) override;
    void DeleteItems();
    int AddItem(SuggestionItem* item);
    void FitWindowToRows();
    // Rows changed by more than one add: new height, hidden when empty.
    void RowsChanged();
    bool MatchesRecentRow(const std::wstring& text) const;
    void ResizeWindow(int w, int h);
    void SetWindowSize(int w, int h);
    void SettlePendingSize();
    // Takes the entry's text as the current text, in both forms.
    void TakeText(const SuggestionItem& item);
    // Where Down and Up lead from hoverIndex; out of range on an empty list.
    int NextIndex() const;
    int PreviousIndex() const;
    // Highlights the entry, takes its text and posts it; no entry, no step.
    void StepTo(int index);
    // Enter: hides, takes the highlighted text if any and asks for a search.
    void SearchWithHighlighted();
    // Hiding by an outside click or deactivation; forgets the highlight.
    void Close() override;
    // UM_QUERY_COMMAND (command, &currentText) to the owner window.
    void PostQueryCommand(WPARAM command);
    // Settles the window's pending size first.
    afx_msg void OnPaint();
    afx_msg LRESULT OnPopupKey(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
