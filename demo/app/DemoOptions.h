// The demo's command line.
//
//   tavrel_demo [--skin DIR] [--engines FILE] [--theme light|dark]
//               [--script OUTDIR [--open | --idle-only]]
//   tavrel_demo --record-url FILE URL      (the browser stand-in, internal)
//
// Without --script the demo is an ordinary interactive window.
#pragma once
#include <string>

struct DemoOptions {
    std::string skinFolder;   // --skin: a designer's skin folder
    std::string enginesFile;  // --engines: an INI list of engines
    std::string scriptFolder; // --script: run the script, write here
    bool openUrls = false;    // --open: let the real browser open the URL
    bool idleOnly = false;    // --idle-only: the script's first screenshot only
    bool darkTheme = false;   // --theme dark: also a host with the dark skin
    bool recordMode = false;  // --record-url
    std::string recordFile;
    std::string recordUrl;
    std::string error; // non-empty when the command line is unusable

    bool Scripted() const { return !scriptFolder.empty(); }
};

DemoOptions ParseDemoOptions(int argc, char** argv);
// The usage text shown with a command-line error.
const char* DemoUsage();
