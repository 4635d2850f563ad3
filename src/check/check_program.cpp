// SPDX-License-Identifier: MIT
#include "check/check_program.h"

#include "archive/archive_file.h"
#include "archive/rcx.h"
#include "check/check_options.h"
#include "check/check_report.h"
#include "check/pair_extract.h"
#include "check/workspace_check.h"
#include "compile/gl_context.h"
#include "workspace/file_io.h"

#include <algorithm>

namespace tessory {
namespace {

constexpr QStringView kProgram = u"glsl-tessory-check";

void complain(QTextStream& err, const QString& text) {
    err << kProgram << ": " << text << '\n';
}

// The archive F10 writes first after a start: a freshly keyed generator, the list's names in the
// list's order. An incomplete WorkSpace lists nothing, and an archive without its pairs would pass
// unnoticed in a build, so none is written then.
int writeArchive(const CheckOptions& options, const WorkspaceCheck& check, QTextStream& err) {
    if (!check.complete) {
        complain(err, QStringLiteral("%1 not written: the WorkSpace %2 has a pair without both "
                                     "files")
                          .arg(options.archiveOut, check.directory));
        return kExitFindings;
    }
    RCxState generator = RCxNewGenerator();
    try {
        SaveAllShadersEnCrypted(options.archiveOut, check.listedNames, check.directory,
                                options.extensions.vertex, options.extensions.fragment, generator);
    } catch (const FileError& error) {
        complain(err, fileErrorText(error));
        return kExitFailure;
    }
    return kExitClean;
}

int runCheck(const CheckOptions& options, QTextStream& out, QTextStream& err) {
    const GlContextResult made = GlContext::create();
    if (!made.context) {
        complain(err, made.failure);
        return kExitFailure;
    }
    QList<WorkspaceCheck> checks;
    for (const QString& directory : options.directories) {
        checks.append(checkWorkspace(made.context->arb(), directory, options.extensions));
    }
    writeReport(checks, options.format,
                DriverInfo{made.context->renderer(), made.context->version()}, out);
    out.flush();
    int status = summarize(checks).clean() ? kExitClean : kExitFindings;
    if (!options.archiveOut.isEmpty()) {
        status = std::max(status, writeArchive(options, checks.first(), err));
    }
    return status;
}

int runExtract(const CheckOptions& options, QTextStream& err) {
    std::optional<ShaderLines> lines;
    try {
        lines = LoadFromEncShader(options.extractArchive, options.extractName);
    } catch (const FileError& error) {
        complain(err, fileErrorText(error));
        return kExitFindings;
    }
    if (!lines) {
        err << "Shader not found\n";
        return kExitFindings;
    }
    try {
        writeExtractedPair(*lines, options.extractName, options.extractDir);
    } catch (const FileError& error) {
        complain(err, fileErrorText(error));
        return kExitFailure;
    }
    return kExitClean;
}

}  // namespace

int runCheckProgram(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    const ParsedOptions parsed = parseCheckArguments(arguments);
    if (!parsed.ok()) {
        complain(err, parsed.error);
        err << "Try '" << kProgram << " --help'.\n";
        return kExitFailure;
    }
    switch (parsed.options.action) {
        case CheckAction::Help:
            out << checkHelpText();
            return kExitClean;
        case CheckAction::Version:
            out << kProgram << ' ' << QStringLiteral(TESSORY_VERSION) << '\n';
            return kExitClean;
        case CheckAction::Extract:
            return runExtract(parsed.options, err);
        case CheckAction::Check:
            break;
    }
    return runCheck(parsed.options, out, err);
}

}  // namespace tessory
