// CBrowserStandIn: during a scripted run the demo itself stands in for the
// browser. While the object lives, the current user's shell handlers for
// http URLs and for HTML documents start this program in record mode
// (--record-url FILE URL), which appends the URL to FILE instead of opening
// it; the library's own, unchanged launch path (registry check, then the
// shell) is what gets exercised. The destructor restores the handlers.
#pragma once
#include "CRegistryOverride.h"
#include <memory>
#include <string>
#include <vector>

class CBrowserStandIn {
  public:
    explicit CBrowserStandIn(const std::string& urlFile);
    ~CBrowserStandIn();
    CBrowserStandIn(const CBrowserStandIn&) = delete;
    CBrowserStandIn& operator=(const CBrowserStandIn&) = delete;

    // True when the shell would now start the recorder for both kinds.
    bool Installed() const;

    // Record mode: appends the URL and a line end to the file in one write,
    // so concurrent recorders never interleave. False when it cannot.
    static bool Record(const std::string& urlFile, const std::string& url);
    // The URLs recorded so far, oldest first.
    static std::vector<std::string> Recorded(const std::string& urlFile);

  private:
    std::string command;
    std::vector<std::unique_ptr<CRegistryOverride>> overrides;
};
