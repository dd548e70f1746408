// CTavrelSuggest: live suggestions, fetched by the bar itself from a
// suggestion URL of the current engine. Not part of Tavrel.h: every bar
// object implements it beside CTavrel, and the C interface reaches it by a
// cross-cast, as it reaches CTavrelUnicode.
#pragma once

class CTavrelSuggest {
public:
    // Sets the suggestion URL of the engine engineIndex (counted in the
    // order the engines were added). A template starts with http:// or
    // https:// (in any case) and holds {searchTerms}, which the bar fills
    // with the query (UTF-8, percent-encoded, as in search URLs). A null or
    // empty template removes the engine's URL. 1 when accepted; 0 for an
    // engine that does not exist or a template that is not one, and then
    // nothing changes.
    virtual int SetSuggestionUrlW(int engineIndex, const wchar_t* urlTemplate) = 0;

protected:
    ~CTavrelSuggest() = default;
};
