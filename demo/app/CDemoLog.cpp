// CDemoLog: the scripted run's time-stamped log file.
#include "CDemoLog.h"
#include <cstdarg>

CDemoLog::~CDemoLog() {
    if (file)
        std::fclose(file);
}

bool CDemoLog::Open(const std::string& path) {
    if (file)
        std::fclose(file);
    file = std::fopen(path.c_str(), "w");
    startTicks = ::GetTickCount();
    return file != nullptr;
}

void CDemoLog::Write(const char* format, ...) {
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    const unsigned long elapsed = ::GetTickCount() - startTicks;
    if (file) {
        std::fprintf(file, "[%6lu ms] %s\n", elapsed, text);
        std::fflush(file);
    }
    std::printf("%s\n", text);
    std::fflush(stdout);
}
