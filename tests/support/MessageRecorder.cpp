#include "MessageRecorder.h"
#include <cstdio>
#include <sstream>

namespace {
const char* kClassName = "TavrelTestRecorder";

const char* MessageName(UINT message) {
    switch (message) {
    case 1124: return "ENGINE_CHOSEN";
    case 1125: return "QUERY_COMMAND";
    case 1126: return "QUERY_CHANGED";
    case 1127: return "SEARCH_LAUNCHED";
    case 1129: return "EDIT_UPDATED";
    case 6024: return "POPUP_CLOSE";
    case 6025: return "POPUP_KEY";
    case 6026: return "BAR_DEACTIVATE";
    default: return nullptr;
    }
}
} // namespace

MessageRecorder::MessageRecorder(UINT firstMessage, UINT lastMessage, DWORD style)
    : first(firstMessage), last(lastMessage) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &WndProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClassName;
    ::RegisterClassA(&wc); // fails harmlessly when already registered
    window = ::CreateWindowExA(0, kClassName, "recorder", style, 0, 0, 640, 480, nullptr,
                               nullptr, wc.hInstance, this);
}

MessageRecorder::~MessageRecorder() {
    if (::IsWindow(window))
        ::DestroyWindow(window);
}

size_t MessageRecorder::Count(UINT message) const {
    size_t n = 0;
    for (const auto& m : messages)
        n += m.message == message;
    return n;
}

std::string MessageRecorder::Describe(const RecordedMessage& m) {
    std::ostringstream out;
    const char* name = MessageName(m.message);
    if (name)
        out << name;
    else
        out << "msg " << m.message;
    out << " (" << static_cast<long long>(m.wParam) << ", " << static_cast<long long>(m.lParam)
        << ")";
    return out.str();
}

::testing::AssertionResult MessageRecorder::Matches(const std::vector<RecordedMessage>& expected) {
    std::vector<RecordedMessage> got;
    got.swap(messages);
    if (got == expected)
        return ::testing::AssertionSuccess();
    std::ostringstream out;
    for (size_t i = 0; i < std::max(got.size(), expected.size()); ++i) {
        if (i < expected.size() && i < got.size() && expected[i] == got[i])
            continue;
        out << "first difference at " << i << ": expected "
            << (i < expected.size() ? Describe(expected[i]) : "nothing") << ", got "
            << (i < got.size() ? Describe(got[i]) : "nothing") << "\n";
        break;
    }
    out << "expected:";
    for (const auto& m : expected)
        out << "\n  " << Describe(m);
    out << "\ngot:";
    for (const auto& m : got)
        out << "\n  " << Describe(m);
    return ::testing::AssertionFailure() << out.str();
}

LRESULT CALLBACK MessageRecorder::WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* self = reinterpret_cast<MessageRecorder*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self && message >= self->first && message <= self->last)
        self->messages.push_back({message, wParam, lParam});
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}
