// CDemoLog: the log of a scripted run, one line per event, each stamped with
// the milliseconds since the log was opened; every line is flushed at once,
// so the file is complete up to a failure. Lines are echoed to the standard
// output, which shows them when a console or a terminal is attached. The
// log owns its file.
#pragma once
#include <cstdio>
#include <string>
#include <windows.h>

class CDemoLog {
  public:
    CDemoLog() = default;
    ~CDemoLog();
    CDemoLog(const CDemoLog&) = delete;
    CDemoLog& operator=(const CDemoLog&) = delete;

    // Starts a new file (an old one is replaced); false when it cannot.
    bool Open(const std::string& path);
    // printf-style; a line end is added.
    void Write(const char* format, ...) __attribute__((format(printf, 2, 3)));

  private:
    FILE* file = nullptr;
    DWORD startTicks = 0;
};
