// SPDX-License-Identifier: MIT
// A project file of any bytes: it is read or refused with a reason, and a line given with the
// reason lies inside the text; the line of every key the text holds does too.
#include "compile/json_lines.h"
#include "compile/project_file.h"
#include "texts/engine_texts.h"

#include "fuzz_check.h"

#include <cstdint>

using namespace tessory;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));
    static const EngineTexts texts = engineTexts(false);
    const ProjectFileResult result =
        parseProjectFile(text, QStringLiteral("/nonexistent/fuzz/tessory.json"), texts);
    const int lines = int(text.count('\n')) + 1;
    if (result.file) {
        FUZZ_CHECK(result.error.isEmpty());
        // Files and directories it names would have to exist; in a folder that does not, none
        // can.
        FUZZ_CHECK(result.file->programs.isEmpty());
        FUZZ_CHECK(!result.file->settings.includeDirs ||
                   result.file->settings.includeDirs->isEmpty());
    } else {
        FUZZ_CHECK(!result.error.isEmpty());
        FUZZ_CHECK(result.errorLine >= 0 && result.errorLine <= lines);
    }
    for (const int line : jsonPointerLines(text)) {
        FUZZ_CHECK(line >= 1 && line <= lines);
    }
    return 0;
}
