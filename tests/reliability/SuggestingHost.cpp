#include "SuggestingHost.h"

namespace {
const char kClassName[] = "TavrelReliabilityHost";
}

SuggestingHost::SuggestingHost() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &WndProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClassName;
    ::RegisterClassA(&wc); // fails harmlessly when already registered
    window = ::CreateWindowExA(0, kClassName, "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 1280,
                               1000, nullptr, nullptr, wc.hInstance, this);
}

SuggestingHost::~SuggestingHost() {
    if (::IsWindow(window))
        ::DestroyWindow(window);
}

void SuggestingHost::Serve(CTavrel* bar, int count) {
    served = bar;
    proposals = count;
}

int SuggestingHost::Count(UINT message) const {
    const auto it = counts.find(message);
    return it == counts.end() ? 0 : it->second;
}

std::string SuggestingHost::Proposal(const std::string& query, int i) {
    return query + " " + std::to_string(i);
}

void SuggestingHost::Answer() {
    served->GetQueryText(lastQuery);
    served->ClearSuggestions();
    for (int i = 0; i < proposals; ++i)
        served->AddSuggestion(Proposal(lastQuery, i).c_str());
    served->ShowSuggestions();
}

LRESULT CALLBACK SuggestingHost::WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<SuggestingHost*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self && message >= UM_ENGINE_CHOSEN && message <= UM_SEARCH_LAUNCHED) {
        ++self->counts[message];
        if (message == UM_QUERY_CHANGED && self->served)
            self->Answer();
        return 0;
    }
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}
