// The demo's command-line parser and usage text.
#include "DemoOptions.h"
#include <cstring>

namespace {
// The value after an option, or an error when there is none.
bool TakeValue(int argc, char** argv, int* i, std::string* value, DemoOptions* options) {
    if (*i + 1 >= argc || argv[*i + 1][0] == '\0') {
        options->error = std::string(argv[*i]) + " needs a value";
        return false;
    }
    *value = argv[++*i];
    return true;
}
} // namespace

DemoOptions ParseDemoOptions(int argc, char** argv) {
    DemoOptions options;
    for (int i = 1; i < argc && options.error.empty(); ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--skin") == 0) {
            TakeValue(argc, argv, &i, &options.skinFolder, &options);
        } else if (std::strcmp(arg, "--engines") == 0) {
            TakeValue(argc, argv, &i, &options.enginesFile, &options);
        } else if (std::strcmp(arg, "--script") == 0) {
            TakeValue(argc, argv, &i, &options.scriptFolder, &options);
        } else if (std::strcmp(arg, "--theme") == 0) {
            std::string theme;
            if (TakeValue(argc, argv, &i, &theme, &options)) {
                if (theme == "dark" || theme == "light")
                    options.darkTheme = theme == "dark";
                else
                    options.error = "--theme takes light or dark, not " + theme;
            }
        } else if (std::strcmp(arg, "--open") == 0) {
            options.openUrls = true;
        } else if (std::strcmp(arg, "--idle-only") == 0) {
            options.idleOnly = true;
        } else if (std::strcmp(arg, "--record-url") == 0 && i + 2 < argc) {
            options.recordMode = true;
            options.recordFile = argv[++i];
            options.recordUrl = argv[++i];
        } else {
            options.error = std::string("unknown or incomplete option: ") + arg;
        }
    }
    if (options.error.empty() && options.openUrls && !options.Scripted())
        options.error = "--open applies to --script runs (an interactive demo always opens URLs)";
    if (options.error.empty() && options.idleOnly && !options.Scripted())
        options.error = "--idle-only applies to --script runs";
    return options;
}

const char* DemoUsage() {
    return "usage: tavrel_demo [--skin DIR] [--engines FILE] [--theme light|dark]\n"
           "                   [--script OUTDIR [--open | --idle-only]]\n"
           "  --skin DIR      preview the skin pictures in DIR (missing ones: default skin)\n"
           "  --engines FILE  register the engines of an INI file ([Name] Icon= Url=)\n"
           "  --theme dark    also open a host with the dark skin and light text styles\n"
           "                  (the scripted tour always photographs it)\n"
           "  --script OUTDIR run the scripted tour; screenshots and log go to OUTDIR\n"
           "  --open          with --script: open the search URL in the real browser\n"
           "  --idle-only     with --script: stop after the first screenshot, the idle bar\n";
}
