// LaunchLog: replaces the browser start with a recorder for as long as it
// lives, so that searches with long or hostile URLs can run by the
// thousand without starting anything. The registry answers as though the
// HTML open command were registered, so every URL arrives as the file that
// the shell is asked to open.
#pragma once
#include "../../src/launch/LaunchSearch.h"
#include <string>

class LaunchLog {
public:
    LaunchLog();
    ~LaunchLog();
    LaunchLog(const LaunchLog&) = delete;
    LaunchLog& operator=(const LaunchLog&) = delete;

    int Count() const;
    // The URL of the last launch.
    const std::string& LastUrl() const;
    void Clear();

private:
    LaunchSeam previous;
};
