// Scratch files for tests: a fresh folder per test program under %TEMP%,
// PNG images generated with GDI+ (never taken from elsewhere), INI text.
#pragma once
#include <cstdint>
#include <string>

// Folder for this process's scratch files (created on first use).
std::string ScratchDir();
// A path inside the scratch folder.
std::string ScratchPath(const std::string& name);
// Writes a PNG of width x height filled with one ARGB colour; returns path.
std::string WriteSolidPng(const std::string& name, int width, int height, uint32_t argb);
// The same picture through another GDI+ encoder ("image/jpeg", "image/bmp")
// from a bitmap of the given GDI+ pixel format (PixelFormat24bppRGB: no alpha).
std::string WriteSolidPicture(const std::string& name, int width, int height, uint32_t argb,
                              const wchar_t* mimeType, int pixelFormat);
// Writes bytes as they are; returns the path.
std::string WriteFileBytes(const std::string& name, const std::string& bytes);
std::string ReadFileBytes(const std::string& path);
