// The pictures the window shows, drawn at build time and written as 24-bit BMP files:
// the title picture, the icon in two sizes and the About box.
#pragma once

#include <string>

constexpr int TITLE_WIDTH = 215;
constexpr int TITLE_HEIGHT = 228;
constexpr int ABOUT_WIDTH = 205;  // fits inside the 215-pixel window unscaled
constexpr int ABOUT_HEIGHT = 120;

// Writes title.bmp, icon.bmp (32 x 32), icon16.bmp (16 x 16) and about.bmp into folder.
// Throws on failure.
void WritePictures(const std::string& folder, const std::string& version);
