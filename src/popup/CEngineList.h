// CEngineList: the drop-down of search engines, one row (icon and name) per
// engine. A click on a row writes its index to the settings file, closes the
// list and posts UM_ENGINE_CHOSEN with the entry to the owner (the bar).
// While it is open the bar's keys move its highlight and choose from it.
#pragma once
#include "CListPopup.h"
#include "EngineItem.h"
#include <string>
#include <vector>

class CEngineList : public CListPopup {
public:
    ~CEngineList() override;

    // Paths and names come in the ANSI code page or, in the W forms, in
    // UTF-16; the list keeps both forms (see EngineItem.h).
    void SetSettingsPath(const char* path);
    void SetSettingsPathW(const std::wstring& path);
    // 1 when added; 0 for a null, empty or already present name. Names are
    // compared in UTF-16, whichever way they came.
    int AddEngine(const char* iconPath, const char* name, const char* urlPrefix);
    int AddEngineW(const wchar_t* iconPath, const wchar_t* name, const wchar_t* urlPrefix);
    BOOL HasEngine(const char* name) const;
    BOOL HasEngineW(const std::wstring& name) const;
    EngineItem* GetItem(int index) const;
    // The entry at that address, or null: the address is compared with the
    // entries', never read, so any value is safe to pass.
    const EngineItem* FindItem(LPARAM address) const;
    int GetCount() const { return static_cast<int>(items.size()); }
    // Index of the row holding the client point, or -1.
    int HitTest(CPoint point) const;
    void Show() override;
    void Hide() override;
    // Row sizes, text size and pictures follow the scale; a change reloads
    // the skins and icons and resizes the list.
    void SetDpiScale(const CDpiScale& scale);
    // Index of the engine with that name, or -1.
    int IndexOf(const std::string& name) const;
    int IndexOfW(const std::wstring& name) const;
    // Highlights the row (none for a row that cannot be chosen) and tells
    // accessibility clients.
    void SetHighlight(int row);
    // Moves the highlight by one choosable row in the direction of step,
    // stopping at the ends; from no highlight Down starts at the top and
    // Up at the bottom.
    void MoveHighlight(int step);

    // ListAccessSource
    const wchar_t* ListName() const override { return L"Search engines"; }
    int RowCount() const override { return GetCount(); }
    std::wstring RowName(int row) const override;
    // Only rows with an icon are drawn and clickable.
    bool RowSelectable(int row) const override;
    int RowAt(POINT client) const override { return HitTest(client); }
    // A click's effect: closes, stores the index, tells the owner.
    void ChooseRow(int row) override;
    // Whether the last choice reached the settings file (false when no file
    // is named or the write failed, and the file holds what it held).
    bool ChoiceStored() const { return choiceStored; }

    int itemWidth = 100;
    std::vector<EngineItem*> items;
    std::string settingsPath;
    std::wstring settingsPathW;
    bool choiceStored = false;

protected:
    // The icon at the row's start (its right end, right to left), the name
    // after it; a row without an icon stays blank and hit-testing never
    // finds it.
    void DrawRow(Gdiplus::Graphics* graphics, int row, int rowTop) override;
    void Close() override { Hide(); }
    // Writes the index under [Select] Index of the settings file and notes
    // whether it got there.
    void StoreChosenIndex(int index);
    // Takes a new entry whose strings are set; 0 when its name is taken.
    int AddItem(EngineItem* item);
};
