// launch_recorder OUTPUT URL: stands in for the browser in launch_tests.
// Registered as the shell's handler for http URLs, it writes the URL it was
// started with to OUTPUT, through a temporary file so that a reader never
// sees half of it.
#include <cstdio>
#include <string>
#include <windows.h>

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    const std::string output = argv[1];
    const std::string partial = output + ".partial";
    FILE* file = std::fopen(partial.c_str(), "wb");
    if (!file)
        return 1;
    std::fputs(argv[2], file);
    std::fclose(file);
    return ::MoveFileExA(partial.c_str(), output.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
