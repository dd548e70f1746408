// SuggestingHost: a host window of the kind the library is made for. It
// counts the notifications a bar posts to it and, while it serves a bar,
// answers each UM_QUERY_CHANGED as a suggesting host does: it reads the
// query, clears the list, adds proposals made from the query and shows the
// list. Many bars may share it; it answers the one it serves.
#pragma once
#include "Tavrel.h"
#include <map>
#include <string>
#include <windows.h>

class SuggestingHost {
public:
    SuggestingHost();
    ~SuggestingHost();
    SuggestingHost(const SuggestingHost&) = delete;
    SuggestingHost& operator=(const SuggestingHost&) = delete;

    HWND hwnd() const { return window; }
    // The bar whose query changes are answered (null: none), and how many
    // proposals each answer adds.
    void Serve(CTavrel* bar, int proposals = 11);
    int Count(UINT message) const;
    void ClearCounts() { counts.clear(); }
    // The query read on the last UM_QUERY_CHANGED.
    const std::string& LastQuery() const { return lastQuery; }
    // Proposal i for a query, as the host adds it.
    static std::string Proposal(const std::string& query, int i);

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Answer();

    HWND window = nullptr;
    CTavrel* served = nullptr;
    int proposals = 11;
    std::map<UINT, int> counts;
    std::string lastQuery;
};
