// CSearchBar access: the bar's accessible object and the keys that reach
// the engine list. Alt+Down and F4 in the query field open the list with
// the current engine highlighted; while it is open (however it was opened)
// Up, Down, Enter, Escape and Alt+Up belong to it and start no search.
#include "../access/CBarAccessible.h"
#include "../frame/Messages.h"
#include "../input/CGuiEdit.h"
#include "../popup/CEngineList.h"
#include "../popup/CSuggestionList.h"
#include "CSearchBar.h"

namespace {
// Bit 29 of a key message's lParam: Alt was held.
constexpr LPARAM kAltHeld = 0x20000000;
} // namespace

LRESULT CSearchBar::OnGetObject(WPARAM wParam, LPARAM lParam) {
    if (!CAccessibleBase::IsClientObjectRequest(lParam))
        return Default();
    return CAccessibleBase::Answer(accessible, this, wParam);
}

bool CSearchBar::EngineListOpen() const {
    return engineList && ::IsWindowVisible(engineList->m_hWnd);
}

// An open suggestion list closes first, as it does when the active bar's
// engine icon is clicked; its keyboard hook would otherwise take the keys.
void CSearchBar::OpenEngineListFromKeyboard() {
    if (!engineList || !HasWindow())
        return;
    if (SuggestionListVisible())
        suggestionList->SendMessage(UM_POPUP_CLOSE, 0, POPUP_CLOSE_TOKEN);
    if (!EngineListOpen())
        ShowEngineList();
    engineList->SetHighlight(engineList->IndexOfW(currentEngine.nameW));
    RaiseChildrenAboveBar();
}

void CSearchBar::CloseEngineListFromKeyboard(bool choose) {
    const int row = engineList->HighlightedRow();
    if (choose && engineList->RowSelectable(row))
        engineList->ChooseRow(row);
    else
        engineList->Hide();
    if (queryEdit)
        queryEdit->SetEditFocus();
}

// Alt combinations go on to the window after they acted: the system then
// sees that Alt was used with another key and opens no menu on its release.
BOOL CSearchBar::OnEngineListKey(const MSG* pMsg) {
    if (pMsg->message != WM_KEYDOWN && pMsg->message != WM_SYSKEYDOWN)
        return FALSE;
    if (!engineList || !HasWindow())
        return FALSE;
    const bool alt = (pMsg->lParam & kAltHeld) != 0;
    const WPARAM key = pMsg->wParam;
    if (!EngineListOpen()) {
        const bool inField = queryEdit && pMsg->hwnd && pMsg->hwnd == queryEdit->GetEditHwnd();
        if (inField && ((alt && key == VK_DOWN) || (!alt && key == VK_F4))) {
            OpenEngineListFromKeyboard();
            return alt ? FALSE : TRUE;
        }
        return FALSE;
    }
    if (alt) {
        if (key == VK_UP)
            CloseEngineListFromKeyboard(false);
        return FALSE;
    }
    switch (key) {
    case VK_UP:
        engineList->MoveHighlight(-1);
        return TRUE;
    case VK_DOWN:
        engineList->MoveHighlight(1);
        return TRUE;
    case VK_RETURN:
        CloseEngineListFromKeyboard(true);
        return TRUE;
    case VK_ESCAPE:
        CloseEngineListFromKeyboard(false);
        return TRUE;
    default:
        return FALSE;
    }
}
