// The window's icon, from a PNG file of the data: set before the video mode, as SDL needs.
#pragma once

#include <string>

// Decodes the PNG at `path` and makes it the window icon. Without the file the window keeps the
// default icon; a file that does not decode also prints one line on standard error.
void setWindowIcon(const std::string& path);
