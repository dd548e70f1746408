// The names a loaded module exports, read from its PE export directory in
// memory (no tool needed, so the check runs wherever the tests run).
#pragma once
#include <string>
#include <vector>
#include <windows.h>

// Sorted; a failure is recorded when some export has no name.
std::vector<std::string> ExportedNames(HMODULE module);
