// CSearchBar skins and layout: the host's image paths, the positions of the
// icon, arrow, search button and query edit frame, the click rectangles,
// moving and showing the bar.
#include "../input/CGuiEdit.h"
#include "../popup/CEngineList.h"
#include "../popup/CSuggestionList.h"
#include "../render/AnsiToWide.h"
#include "CSearchBar.h"

namespace {
// Sizes at 96 DPI; the bar scales each with its dpiScale.
constexpr int kIconLeft = 6;
constexpr int kIconTop = 6;
constexpr int kArrowLeft = 25;
constexpr int kIconArrowGap = 3;
constexpr int kArrowOffsetWithoutIcon = 19;
constexpr int kButtonRightMargin = 6;
constexpr int kArrowWidthWithoutImage = 7;
constexpr int kEditRightSpaceWithoutButton = 22;
constexpr int kEditHeight = 14;

// Halves round toward zero, each term on its own.
int Centered(int outer, int inner) {
    return outer / 2 - inner / 2;
}

template <typename List> bool HasLiveWindow(const List* list) {
    return list && ::IsWindow(list->m_hWnd);
}
} // namespace

void CSearchBar::LoadSkin(CSkinImage& image, const std::wstring& path) {
    if (HasWindow())
        image.LoadFromFile(windowDC, path, dpiScale);
}

// The narrow form keeps the host's bytes as they came.
bool CSearchBar::TakePath(const char* path, std::string& narrow, std::wstring& wide) {
    if (!path || !*path)
        return false;
    narrow = path;
    wide = AnsiToWide(path);
    return true;
}

bool CSearchBar::TakePath(const wchar_t* path, std::string& narrow, std::wstring& wide) {
    if (!path || !*path)
        return false;
    wide = path;
    narrow = WideToAnsi(wide);
    return true;
}

void CSearchBar::SetBackgroundImage(const char* path, int cornerRadius) {
    if (TakePath(path, backgroundPath, backgroundPathW))
        ApplyBackgroundImage(cornerRadius);
}

void CSearchBar::SetBackgroundImageW(const wchar_t* path, int cornerRadius) {
    if (TakePath(path, backgroundPath, backgroundPathW))
        ApplyBackgroundImage(cornerRadius);
}

void CSearchBar::ApplyBackgroundImage(int radius) {
    cornerRadius = radius;
    LoadSkin(backgroundImage, backgroundPathW);
    if (!HasWindow() || !backgroundImage.IsLoaded())
        return;
    barWidth = backgroundImage.GetWidth();
    barHeight = backgroundImage.GetHeight();

    // Positions follow the window's size before this call resizes it;
    // UpdateLayout places them for the new size.
    CRect window;
    GetWindowRect(&window);
    const int W = window.Width(), H = window.Height();
    if (engineIconImage.IsLoaded())
        iconY = Centered(H, engineIconImage.GetHeight());
    if (arrowImage.IsLoaded()) {
        arrowX = ArrowXAfterIcon();
        arrowY = Centered(H, arrowImage.GetHeight());
    }
    if (searchButtonImage.IsLoaded()) {
        searchButtonX = W - searchButtonImage.GetWidth() - dpiScale.Scale(kButtonRightMargin);
        searchButtonY = Centered(H, searchButtonImage.GetHeight());
    }
    if (cornerRadius > 0) {
        const int scaled = dpiScale.Scale(cornerRadius);
        // The window owns the region from here on.
        SetWindowRgn(::CreateRoundRectRgn(0, 0, barWidth, barHeight, scaled, scaled), TRUE);
    }
    // A resize must not activate the bar: that would take the keyboard
    // focus from wherever the user has it.
    SetWindowPos(nullptr, 0, 0, barWidth, barHeight, SWP_NOMOVE | SWP_NOACTIVATE);
    restackAfterLayout = true;
    Invalidate();
}

void CSearchBar::SetActiveBackgroundImage(const char* path) {
    if (TakePath(path, activeBackgroundPath, activeBackgroundPathW))
        LoadSkin(activeBackgroundImage, activeBackgroundPathW);
}

void CSearchBar::SetActiveBackgroundImageW(const wchar_t* path) {
    if (TakePath(path, activeBackgroundPath, activeBackgroundPathW))
        LoadSkin(activeBackgroundImage, activeBackgroundPathW);
}

void CSearchBar::SetEngineIconImage(const char* path) {
    if (TakePath(path, engineIconPath, engineIconPathW))
        ApplyEngineIconImage();
}

void CSearchBar::SetEngineIconImageW(const wchar_t* path) {
    if (TakePath(path, engineIconPath, engineIconPathW))
        ApplyEngineIconImage();
}

void CSearchBar::ApplyEngineIconImage() {
    if (HasWindow()) {
        shownIconPath = engineIconPath;
        shownIconPathW = engineIconPathW;
    }
    LoadSkin(engineIconImage, engineIconPathW);
    if (!HasWindow() || !engineIconImage.IsLoaded())
        return;
    CRect window;
    GetWindowRect(&window);
    iconY = arrowY = Centered(window.Height(), engineIconImage.GetHeight());
}

void CSearchBar::SetArrowImage(const char* path) {
    if (TakePath(path, arrowPath, arrowPathW))
        ApplyArrowImage();
}

void CSearchBar::SetArrowImageW(const wchar_t* path) {
    if (TakePath(path, arrowPath, arrowPathW))
        ApplyArrowImage();
}

void CSearchBar::ApplyArrowImage() {
    LoadSkin(arrowImage, arrowPathW);
    if (!HasWindow() || !arrowImage.IsLoaded())
        return;
    CRect window;
    GetWindowRect(&window);
    arrowX = ArrowXAfterIcon();
    arrowY = Centered(window.Height(), arrowImage.GetHeight());
}

void CSearchBar::SetSearchButtonImage(const char* path) {
    if (TakePath(path, searchButtonPath, searchButtonPathW))
        ApplySearchButtonImage();
}

void CSearchBar::SetSearchButtonImageW(const wchar_t* path) {
    if (TakePath(path, searchButtonPath, searchButtonPathW))
        ApplySearchButtonImage();
}

void CSearchBar::ApplySearchButtonImage() {
    LoadSkin(searchButtonImage, searchButtonPathW);
    if (!HasWindow() || !searchButtonImage.IsLoaded())
        return;
    CRect window;
    GetWindowRect(&window);
    searchButtonX =
        window.Width() - searchButtonImage.GetWidth() - dpiScale.Scale(kButtonRightMargin);
    searchButtonY = Centered(window.Height(), searchButtonImage.GetHeight());
}

void CSearchBar::SetEngineListBackground(const char* path) {
    if (TakePath(path, engineListBackgroundPath, engineListBackgroundPathW) &&
        HasLiveWindow(engineList))
        engineList->SetBackgroundSkinW(engineListBackgroundPathW, 0);
}

void CSearchBar::SetEngineListBackgroundW(const wchar_t* path) {
    if (TakePath(path, engineListBackgroundPath, engineListBackgroundPathW) &&
        HasLiveWindow(engineList))
        engineList->SetBackgroundSkinW(engineListBackgroundPathW, 0);
}

void CSearchBar::SetEngineListHighlight(const char* path) {
    if (TakePath(path, engineListHighlightPath, engineListHighlightPathW) &&
        HasLiveWindow(engineList))
        engineList->SetHighlightSkinW(engineListHighlightPathW);
}

void CSearchBar::SetEngineListHighlightW(const wchar_t* path) {
    if (TakePath(path, engineListHighlightPath, engineListHighlightPathW) &&
        HasLiveWindow(engineList))
        engineList->SetHighlightSkinW(engineListHighlightPathW);
}

void CSearchBar::SetSuggestionListBackground(const char* path) {
    if (TakePath(path, suggestionListBackgroundPath, suggestionListBackgroundPathW) &&
        HasLiveWindow(suggestionList))
        suggestionList->SetBackgroundSkinW(suggestionListBackgroundPathW, 0);
}

void CSearchBar::SetSuggestionListBackgroundW(const wchar_t* path) {
    if (TakePath(path, suggestionListBackgroundPath, suggestionListBackgroundPathW) &&
        HasLiveWindow(suggestionList))
        suggestionList->SetBackgroundSkinW(suggestionListBackgroundPathW, 0);
}

void CSearchBar::SetSuggestionListHighlight(const char* path) {
    if (TakePath(path, suggestionListHighlightPath, suggestionListHighlightPathW) &&
        HasLiveWindow(suggestionList))
        suggestionList->SetHighlightSkinW(suggestionListHighlightPathW);
}

void CSearchBar::SetSuggestionListHighlightW(const wchar_t* path) {
    if (TakePath(path, suggestionListHighlightPath, suggestionListHighlightPathW) &&
        HasLiveWindow(suggestionList))
        suggestionList->SetHighlightSkinW(suggestionListHighlightPathW);
}

void CSearchBar::UpdateLayout() {
    if (!HasWindow())
        return;
    CRect window;
    GetWindowRect(&window);
    const int W = window.Width(), H = window.Height();
    const int iconWidth = engineIconImage.GetWidth(), iconHeight = engineIconImage.GetHeight();
    const int arrowWidth = arrowImage.GetWidth();
    const int buttonWidth = searchButtonImage.GetWidth();

    if (engineIconImage.IsLoaded())
        iconY = arrowY = Centered(H, iconHeight);
    if (arrowImage.IsLoaded()) {
        arrowX = ArrowXAfterIcon();
        arrowY = Centered(H, arrowImage.GetHeight());
    }
    const int buttonMargin = dpiScale.Scale(kButtonRightMargin);
    if (searchButtonImage.IsLoaded()) {
        searchButtonX = W - buttonWidth - buttonMargin;
        searchButtonY = Centered(H, searchButtonImage.GetHeight());
    }
    if (queryEdit) {
        const int b = searchButtonImage.IsLoaded() ? buttonWidth + buttonMargin
                                                   : dpiScale.Scale(kEditRightSpaceWithoutButton);
        queryEdit->SetSize(W - b - arrowX - ArrowSpace(), dpiScale.Scale(kEditHeight));
        PlaceEditFrame(window.left, window.top);
    }
    engineHitRect = ShownRect({iconX, iconY,
                               iconX + iconWidth + arrowWidth + dpiScale.Scale(kIconArrowGap),
                               iconY + iconHeight});
    searchButtonHitRect = ShownRect({searchButtonX, searchButtonY, searchButtonX + buttonWidth,
                                     searchButtonY + searchButtonImage.GetHeight()});
    if (HasLiveWindow(suggestionList)) {
        suggestionList->SetListWidth(barWidth);
        // A mirrored list's left edge follows its width, which may just
        // have changed (a host may place the bar before its first layout).
        if (RightToLeft())
            PlaceListUnderBar(suggestionList, window.left, window.bottom);
    }
    restackAfterLayout = true;
    RebuildBuffer();
    Invalidate();
}

void CSearchBar::RebuildBuffer() {
    if (!bufferDC)
        return;
    HBITMAP fresh = ::CreateCompatibleBitmap(windowDC, barWidth, barHeight);
    if (!fresh)
        return; // keep drawing into the old buffer rather than into nothing
    ::SelectObject(bufferDC, fresh);
    if (bufferBitmap)
        ::DeleteObject(bufferBitmap);
    bufferBitmap = fresh;
}

void CSearchBar::SetPosition(int x, int y) {
    if (!HasWindow())
        return;
    CRect window;
    GetWindowRect(&window);
    MoveWindow(x, y, window.Width(), window.Height(), TRUE);
    if (HasLiveWindow(engineList))
        PlaceListUnderBar(engineList, x, y + window.Height());
    if (HasLiveWindow(suggestionList))
        PlaceListUnderBar(suggestionList, x, y + window.Height());
    PlaceEditFrame(x, y);
}

int CSearchBar::ShownX(int x, int width) const {
    return RightToLeft() ? barWidth - x - width : x;
}

RECT CSearchBar::ShownRect(const RECT& leftToRight) const {
    const int left = ShownX(leftToRight.left, leftToRight.right - leftToRight.left);
    return {left, leftToRight.top, left + leftToRight.right - leftToRight.left, leftToRight.bottom};
}

void CSearchBar::PlaceListUnderBar(CWnd* list, int barLeft, int barBottom) {
    CRect rect;
    list->GetWindowRect(&rect);
    MoveTo(list, barLeft + ShownX(0, rect.Width()), barBottom);
}

void CSearchBar::ShowEngineList() {
    if (RightToLeft() && HasLiveWindow(engineList)) {
        CRect window;
        GetWindowRect(&window);
        PlaceListUnderBar(engineList, window.left, window.bottom);
    }
    engineList->Show();
}

bool CSearchBar::RightToLeft() const {
    return layoutDirection == kLayoutRightToLeft ||
           (layoutDirection == kLayoutAuto && hostRightToLeft);
}

int CSearchBar::SetLayoutDirection(int direction) {
    if (direction < kLayoutAuto || direction > kLayoutRightToLeft)
        return 0;
    const bool wasRightToLeft = RightToLeft();
    layoutDirection = direction;
    if (HasWindow() && RightToLeft() != wasRightToLeft)
        ApplyLayoutDirection();
    return 1;
}

void CSearchBar::ApplyLayoutDirection() {
    if (queryEdit)
        queryEdit->SetRightToLeft(RightToLeft());
    if (HasLiveWindow(engineList))
        engineList->SetRightToLeft(RightToLeft());
    if (HasLiveWindow(suggestionList))
        suggestionList->SetRightToLeft(RightToLeft());
    UpdateLayout();
    CRect window;
    GetWindowRect(&window);
    if (HasLiveWindow(engineList))
        PlaceListUnderBar(engineList, window.left, window.bottom);
}

// Width the arrow takes before the query edit frame starts.
int CSearchBar::ArrowSpace() const {
    return arrowImage.IsLoaded() ? arrowImage.GetWidth() : dpiScale.Scale(kArrowWidthWithoutImage);
}

int CSearchBar::ArrowXAfterIcon() const {
    return iconX + (engineIconImage.IsLoaded()
                        ? engineIconImage.GetWidth() + dpiScale.Scale(kIconArrowGap)
                        : dpiScale.Scale(kArrowOffsetWithoutIcon));
}

void CSearchBar::ResetPositionsToDefaults() {
    iconX = dpiScale.Scale(kIconLeft);
    iconY = arrowY = dpiScale.Scale(kIconTop);
    arrowX = dpiScale.Scale(kArrowLeft);
}

void CSearchBar::PlaceEditFrame(int barLeft, int barTop) {
    if (!queryEdit)
        return;
    editX = barLeft + ShownX(arrowX + ArrowSpace(), queryEdit->width);
    editY = barTop + iconY;
    MoveTo(queryEdit, editX, editY);
}

void CSearchBar::ShowBar(int showCommand) {
    if (!HasWindow())
        return;
    ShowWindow(showCommand);
    if (queryEdit)
        queryEdit->ShowWindow(showCommand);
    restackAfterLayout = true;
    Invalidate();
}

// Only pictures that are loaded are loaded again; a path named while the bar
// had no window stays unloaded, as before.
void CSearchBar::ReloadSkinsAtScale() {
    if (activeBackgroundImage.IsLoaded())
        LoadSkin(activeBackgroundImage, activeBackgroundPathW);
    if (engineIconImage.IsLoaded())
        LoadSkin(engineIconImage, shownIconPathW);
    if (arrowImage.IsLoaded())
        LoadSkin(arrowImage, arrowPathW);
    if (searchButtonImage.IsLoaded())
        LoadSkin(searchButtonImage, searchButtonPathW);
    if (backgroundImage.IsLoaded())
        ApplyBackgroundImage(cornerRadius); // new size and corners
}

// Windows sends this when the bar moves to a screen of another DPI (Wine
// never does): wParam holds the new DPI, lParam the suggested window
// rectangle. The bar's size comes from its skins; it takes the rectangle's
// corner. The host is not told.
LRESULT CSearchBar::OnDpiChanged(WPARAM wParam, LPARAM lParam) {
    const CDpiScale fresh(LOWORD(wParam));
    if (fresh != dpiScale) {
        dpiScale = fresh;
        ResetPositionsToDefaults();
        ReloadSkinsAtScale();
        UpdateLayout();
        // After the layout, which gives the suggestion list the bar's width.
        if (queryEdit)
            queryEdit->SetDpiScale(dpiScale);
        if (HasLiveWindow(engineList))
            engineList->SetDpiScale(dpiScale);
        if (HasLiveWindow(suggestionList))
            suggestionList->SetDpiScale(dpiScale);
    }
    if (const auto* suggested = reinterpret_cast<const RECT*>(lParam))
        SetPosition(suggested->left, suggested->top);
    Invalidate();
    return 0;
}
