// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace tessory::bench {

// A realistic GLSL text of the given number of lines (joined with "\n", no final line end): the
// same text every time, about 75 characters a line.
QString generateShader(int lines);

// A valid "#version 330 core" vertex or fragment shader of about `lines` lines: groups of a
// struct, its uniforms and a function of loops, locals and builtin calls, then main.
QString generateValidShader(int lines, bool fragment);

}  // namespace tessory::bench
