// CSearchBar: the text styles of its lists and its query field. The bar
// keeps each look, so that a list or field made later (a new window after
// the old one was destroyed, say) gets it too, and hands it on at once.
#include "CSearchBar.h"
#include "../input/CGuiEdit.h"
#include "../popup/CEngineList.h"
#include "../popup/CSuggestionList.h"

namespace {
// 0xAARRGGBB to CTextStyle's 0xAABBGGRR.
UINT32 ToTextStyleColor(DWORD argb) {
    return (argb & 0xFF00FF00u) | ((argb >> 16) & 0xFFu) | ((argb & 0xFFu) << 16);
}

// The host's flags as CTextStyle's (4 bold, 8 italic, 16 underline).
int ToTextStyleFlags(int flags) {
    return 1 | flags << 2;
}

bool IsRgb(COLORREF color) {
    return (color & 0xFF000000u) == 0;
}
} // namespace

ListTextLook* CSearchBar::TextLookOf(int list) {
    switch (list) {
    case kEngineList:
        return &engineTextLook;
    case kSuggestionList:
        return &suggestionTextLook;
    default:
        return nullptr;
    }
}

void CSearchBar::ApplyTextLook(int list) {
    if (list == kEngineList && engineList)
        engineList->SetTextLook(engineTextLook);
    if (list == kSuggestionList && suggestionList)
        suggestionList->SetTextLook(suggestionTextLook);
}

int CSearchBar::SetListTextStyleW(int list, const wchar_t* family, int size, DWORD argb,
                                  int flags) {
    ListTextLook* look = TextLookOf(list);
    if (!look || !ValidSize(size) || (flags & ~kAllFlags) != 0)
        return 0;
    look->family = family ? family : L"";
    look->size = size;
    look->color = ToTextStyleColor(argb);
    look->style = ToTextStyleFlags(flags);
    ApplyTextLook(list);
    return 1;
}

int CSearchBar::SetListHighlightTextColor(int list, DWORD argb) {
    ListTextLook* look = TextLookOf(list);
    if (!look)
        return 0;
    look->highlightColorSet = true;
    look->highlightColor = ToTextStyleColor(argb);
    ApplyTextLook(list);
    return 1;
}

int CSearchBar::SetQueryFieldStyleW(const wchar_t* family, int size, COLORREF textRgb,
                                    COLORREF backgroundRgb) {
    if (!ValidSize(size) || !IsRgb(textRgb) || !IsRgb(backgroundRgb))
        return 0;
    fieldLook.family = family ? family : L"";
    fieldLook.size = size;
    fieldLook.colored = true;
    fieldLook.text = textRgb;
    fieldLook.background = backgroundRgb;
    if (queryEdit)
        queryEdit->SetLook(fieldLook);
    return 1;
}
