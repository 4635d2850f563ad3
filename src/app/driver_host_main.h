// SPDX-License-Identifier: MIT
#pragma once

namespace tessory {

// The argument that makes the program the window's driver host instead of a window.
inline constexpr const char* kDriverHostArgument = "--driver-host";

// The driver host's life: compiles and preview frames for the window that started it, on the
// machine's OpenGL driver, until the window closes the pipe.
int runDriverHost(int argc, char** argv);

}  // namespace tessory
