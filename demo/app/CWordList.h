// CWordList: the demo's source of query suggestions, a small built-in list
// of words in alphabetical order, searched by prefix.
#pragma once
#include <string>
#include <vector>

class CWordList {
  public:
    // The bar's suggestion list takes at most 11 entries.
    static constexpr size_t kMaxSuggestions = 11;

    // The words that start with the query, ignoring ASCII letter case, in
    // list order, at most `limit` of them; none for an empty query.
    std::vector<std::string> Matches(const std::string& query,
                                     size_t limit = kMaxSuggestions) const;
};
