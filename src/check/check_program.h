// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>
#include <QTextStream>

namespace tessory {

// The exit status of glsl-tessory-check.
enum CheckExit : int {
    kExitClean = 0,     // everything checked, no message that fails the check
    kExitFindings = 1,  // messages, incomplete pairs, files not checked, a name not in the
                        // archive, a bad archive
    kExitFailure = 2,   // usage error, a folder that cannot be read, no OpenGL context, a
                        // compiling thread or context that could not be made, an output (or
                        // the report) that cannot be written
};

// The whole program: reads the arguments (program name first), does what they ask, writes the
// report to out and the tool's own complaints to err, and returns the exit status.
int runCheckProgram(const QStringList& arguments, QTextStream& out, QTextStream& err);

// For the rest of the process: memory that is freed stays with the process for the next request
// instead of going back to the system. The driver takes and frees megabytes for every pair; handed
// back, they came back as page faults, and with more than one thread each return stopped every
// other processor to flush its address cache (a TLB shootdown, some 800 a run of 200 pairs).
// Called first thing by the program, and by what measures it.
void keepFreedMemory();

}  // namespace tessory
