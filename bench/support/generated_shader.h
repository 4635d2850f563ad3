// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace tessory::bench {

// A realistic GLSL text of the given number of lines (joined with "\n", no final line end): the
// same text every time, about 75 characters a line.
QString generateShader(int lines);

}  // namespace tessory::bench
