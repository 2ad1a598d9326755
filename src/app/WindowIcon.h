// The window's icon, from a PNG file of the data: set before the video mode, as SDL needs.
#pragma once

#include <string>

// Decodes the PNG at `path` and makes it the window icon. Without the file the window keeps the
// default icon; so it does with a file that cannot serve as one (graphics/IconImage.h), and one
// line on standard error says why. Needs SDL's video up.
void setWindowIcon(const std::string& path);
