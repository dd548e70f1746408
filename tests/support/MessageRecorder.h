// MessageRecorder: a plain top-level window that records the messages it
// receives (message, wParam, lParam, in arrival order) and compares them
// with an expected sequence, printing both, decoded, on a mismatch. It
// plays the host window in scenario tests.
#pragma once
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include <windows.h>

struct RecordedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const RecordedMessage& o) const {
        return message == o.message && wParam == o.wParam && lParam == o.lParam;
    }
};

class MessageRecorder {
public:
    // Records messages in [first, last]; by default the application range.
    explicit MessageRecorder(UINT first = WM_USER, UINT last = 0x7FFF, DWORD style = WS_OVERLAPPEDWINDOW);
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    HWND hwnd() const { return window; }
    const std::vector<RecordedMessage>& Messages() const { return messages; }
    size_t Count(UINT message) const;
    void Clear() { messages.clear(); }
    // Compares the log with the expected sequence, then clears the log.
    ::testing::AssertionResult Matches(const std::vector<RecordedMessage>& expected);

    static std::string Describe(const RecordedMessage& m);

private:
    static LRESULT CALLBACK WndProc(HWND, UINT, WPARAM, LPARAM);
    HWND window = nullptr;
    UINT first;
    UINT last;
    std::vector<RecordedMessage> messages;
};
