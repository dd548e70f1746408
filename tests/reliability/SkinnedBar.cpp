#include "SkinnedBar.h"
#include "../../src/hooks/CPopupHook.h"
#include "../../src/input/CGuiEdit.h"
#include "../../src/popup/CEngineList.h"
#include "../../src/popup/CSuggestionList.h"
#include "../../src/render/AnsiToWide.h"
#include "Input.h"
#include "TestFiles.h"
#include <psapi.h>

const SkinFiles& SkinFiles::Get() {
    static const SkinFiles files{
        WriteSolidPng("skin-background.png", 400, 30, 0xFFDDE4EE),
        WriteSolidPng("skin-active.png", 400, 30, 0x80FFFFFF),
        WriteSolidPng("skin-icon.png", 16, 16, 0xFFCC3311),
        WriteSolidPng("skin-arrow.png", 7, 4, 0xFF202020),
        WriteSolidPng("skin-button.png", 24, 24, 0xFF2266CC),
        WriteSolidPng("skin-list-background.png", 10, 10, 0xFFFFFFFF),
        WriteSolidPng("skin-list-highlight.png", 10, 10, 0xFFC8DCF0),
    };
    return files;
}

void PostListCommand(CSearchBar* bar, WPARAM command, const std::string& text) {
    CSuggestionList* list = bar->suggestionList;
    list->currentText = text;
    list->currentTextW = AnsiBytesToWide(text);
    ::PostMessageA(bar->m_hWnd, UM_QUERY_COMMAND, command,
                   reinterpret_cast<LPARAM>(&list->currentText));
}

CSearchBar* BarOf(CTavrel* face) {
    return static_cast<CSearchBar*>(face);
}

void ApplySkin(CTavrel* bar) {
    const SkinFiles& skin = SkinFiles::Get();
    bar->SetBackgroundImage(skin.background.c_str(), 6);
    bar->SetActiveBackgroundImage(skin.activeBackground.c_str());
    bar->SetEngineIconImage(skin.icon.c_str());
    bar->SetArrowImage(skin.arrow.c_str());
    bar->SetSearchButtonImage(skin.button.c_str());
    bar->SetEngineListBackground(skin.listBackground.c_str());
    bar->SetEngineListHighlight(skin.listHighlight.c_str());
    bar->SetSuggestionListBackground(skin.listBackground.c_str());
    bar->SetSuggestionListHighlight(skin.listHighlight.c_str());
}

CSearchBar* MakeSkinnedBar(HWND host, int x, int y, const std::vector<EngineSpec>& engines,
                           const std::string& settingsPath) {
    CTavrel* face = CTavrel::CreateTavrel();
    if (!face)
        return nullptr;
    const RECT placement = {x, y, 400, 30};
    if (!face->CreateBar(host, &placement)) {
        delete BarOf(face);
        return nullptr;
    }
    ApplySkin(face);
    for (const EngineSpec& engine : engines)
        face->AddEngine(SkinFiles::Get().icon.c_str(), engine.name.c_str(),
                        engine.urlPrefix.c_str());
    if (!settingsPath.empty())
        face->SetSettingsFile(settingsPath.c_str());
    face->SetPosition(x, y);
    face->UpdateLayout();
    face->ShowBar(SW_SHOW);
    return BarOf(face);
}

HWND QueryFieldOf(const CSearchBar& bar) {
    return bar.queryEdit ? bar.queryEdit->GetEditHwnd() : nullptr;
}

HWND SuggestionListOf(const CSearchBar& bar) {
    return bar.suggestionList ? bar.suggestionList->m_hWnd : nullptr;
}

namespace {
void AddImage(std::vector<HGDIOBJ>& handles, const CSkinImage& image) {
    handles.insert(handles.end(), {image.memDC, image.bitmap, image.scaledDC, image.scaledBitmap});
}
} // namespace

std::vector<HGDIOBJ> GdiHandlesOf(const CSearchBar& bar) {
    std::vector<HGDIOBJ> handles = {bar.bufferDC, bar.bufferBitmap};
    for (const CSkinImage* image : {&bar.backgroundImage, &bar.activeBackgroundImage,
                                    &bar.engineIconImage, &bar.arrowImage, &bar.searchButtonImage})
        AddImage(handles, *image);
    if (bar.queryEdit)
        handles.push_back(bar.queryEdit->font);
    if (const CEngineList* list = bar.engineList) {
        handles.insert(handles.end(), {list->bufferDC, list->bufferBitmap});
        AddImage(handles, list->backgroundSkin);
        AddImage(handles, list->highlightSkin);
        for (const EngineItem* item : list->items)
            AddImage(handles, item->icon);
    }
    if (const CSuggestionList* list = bar.suggestionList) {
        handles.insert(handles.end(), {list->bufferDC, list->bufferBitmap});
        AddImage(handles, list->backgroundSkin);
        AddImage(handles, list->highlightSkin);
    }
    std::vector<HGDIOBJ> present;
    for (HGDIOBJ handle : handles)
        if (handle)
            present.push_back(handle);
    return present;
}

namespace {
// What the system gives for a bitmap of no size: its stock 1 x 1 monochrome
// bitmap, which is shared and outlives every DeleteObject.
HGDIOBJ StockDefaultBitmap() {
    static HGDIOBJ stock = [] {
        HDC screen = ::GetDC(nullptr);
        HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 0, 0);
        ::ReleaseDC(nullptr, screen);
        return static_cast<HGDIOBJ>(bitmap);
    }();
    return stock;
}
} // namespace

std::vector<HGDIOBJ> StillAlive(const std::vector<HGDIOBJ>& handles) {
    std::vector<HGDIOBJ> alive;
    for (HGDIOBJ handle : handles)
        if (handle != StockDefaultBitmap() && ::GetObjectType(handle) != 0)
            alive.push_back(handle);
    return alive;
}

bool NoHookInstalled() {
    return !CPopupHook::keyboardHook && !CPopupHook::popupMouseHook && !CPopupHook::barMouseHook;
}

size_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    ::GetProcessMemoryInfo(::GetCurrentProcess(),
                           reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters));
    // Wine leaves PrivateUsage at 0; PagefileUsage is the same quantity (the
    // committed private memory) on Windows and is filled in by Wine.
    return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

void ParkPointer() {
    MoveMouseTo(::GetSystemMetrics(SM_CXSCREEN) - 2, ::GetSystemMetrics(SM_CYSCREEN) - 2);
}
