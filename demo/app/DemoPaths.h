// Where the demo finds and keeps its files.
#pragma once
#include <string>

// The folder of the running program, without a trailing backslash.
std::string ProgramFolder();
// The full path of the running program.
std::string ProgramPath();
// The default skin, drawn at build time beside the program.
std::string DefaultSkinFolder();
// The dark skin, drawn beside it.
std::string DarkSkinFolder();
// The settings file in the user's application-data folder,
// %APPDATA%\Tavrel\demo.ini; its folder is made when missing. Empty when
// the system names no such folder.
std::string SettingsFilePath();
// A path made absolute against the current folder (the bar and the INI
// functions would otherwise read relative paths against other folders).
std::string FullPath(const std::string& path);
// The folder part of a path, without a trailing backslash.
std::string FolderOf(const std::string& path);
bool FileExists(const std::string& path);
