// SPDX-License-Identifier: MIT
#include "check/check_program.h"

#include "archive/archive_file.h"
#include "archive/rcx.h"
#include "check/check_options.h"
#include "check/check_plan.h"
#include "check/check_report.h"
#include "check/check_shards.h"
#include "check/isolated_run.h"
#include "check/pair_extract.h"
#include "check/workspace_check.h"
#include "compile/gl_context.h"
#include "compile/include_resolver.h"
#include "compile/program_engine.h"
#include "workspace/file_io.h"

#include <QBuffer>
#include <QFile>

#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <future>
#include <limits>

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
                                check.pairExtensions.vertex, check.pairExtensions.fragment,
                                generator);
    } catch (const FileError& error) {
        complain(err, fileErrorText(error));
        return kExitFailure;
    }
    return kExitClean;
}

// Standard output that cannot take the report (a full disk, a closed descriptor) fails the run;
// the caller says so.
bool reportWritten(QTextStream& out) {
    out.flush();
    return out.status() == QTextStream::Ok;
}

int runCheck(const CheckOptions& options, QTextStream& out, QTextStream& err) {
    CheckConfig config(options);
    CheckPlan plan = planCheck(options, config);
    if (!plan.failure.isEmpty()) {
        complain(err, plan.failure);
        return kExitFailure;
    }
    const bool sharded = options.shardCount > 1;
    if (sharded) {
        keepShard(plan.results, options.shardIndex, options.shardCount);
    }
    if (!options.archiveOut.isEmpty()) {
        const QString problem = archiveTargetProblem(
            options.archiveOut, std::get<WorkspaceCheck>(plan.results.first()));
        if (!problem.isEmpty()) {
            complain(err, problem);
            return kExitFailure;
        }
    }
    // The driver is loaded in a process of its own, so that a crash in it costs one shader.
    const IsolatedRun run = compileIsolated(plan.results, options);
    if (!run.failure.isEmpty()) {
        complain(err, run.failure);
        return kExitFailure;
    }
    writeReport(plan.results, ReportStyle{options.format, options.quiet, sharded}, run.driver, out);
    int status = summarize(plan.results).fails(options.failAt) ? kExitFindings : kExitClean;
    if (!run.shortOfThreads.isEmpty()) {
        complain(err, run.shortOfThreads);
        status = kExitFailure;
    }
    const bool written = reportWritten(out);
    if (!written) {
        status = kExitFailure;
    } else if (!options.archiveOut.isEmpty()) {
        status = std::max(
            status, writeArchive(options, std::get<WorkspaceCheck>(plan.results.first()), err));
    }
    if (run.driverStillRunning) {
        // A thread is still inside the driver: tearing the driver down now would pull it out from
        // under that thread, so the process ends here, its report complete.
        if (!written) {
            complain(err, QStringLiteral("the output could not be written to standard output"));
        }
        err.flush();
        std::fflush(nullptr);
        std::_Exit(err.status() == QTextStream::Ok ? status : kExitFailure);
    }
    return status;
}

// Archives read from a pipe, a FIFO or /dev/stdin are taken whole up to this size; no archive of
// real shaders comes near it.
constexpr qint64 kMaxStreamedArchive = qint64(256) << 20;

// The bytes of an archive that is no regular file. The FIFO is opened without waiting for a
// writer: without one, it reads as empty at once instead of hanging.
QByteArray readArchiveStream(int fd, const QString& path) {
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            throw FileError(path, QString::fromLocal8Bit(std::strerror(errno)));
        }
        if (got == 0) {
            return bytes;
        }
        bytes.append(buffer, got);
        if (bytes.size() > kMaxStreamedArchive) {
            throw FileError(path, QStringLiteral("More than %1 MB; an archive that long is not "
                                                 "read.")
                                      .arg(kMaxStreamedArchive >> 20));
        }
    }
}

std::optional<ShaderLines> loadExtracted(const QString& path, const QString& name) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0 || S_ISREG(info.st_mode) || S_ISDIR(info.st_mode)) {
        if (fd >= 0) {
            ::close(fd);
        }
        return LoadFromEncShader(path, name);
    }
    QByteArray bytes;
    try {
        bytes = readArchiveStream(fd, path);
    } catch (...) {
        ::close(fd);
        throw;
    }
    ::close(fd);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return LoadFromEncShader(buffer, path, name);
}

int runMerge(const CheckOptions& options, QTextStream& out, QTextStream& err) {
    QList<QByteArray> reports;
    for (const QString& name : options.mergeReports) {
        QFile file(name);
        if (!file.open(QIODevice::ReadOnly)) {
            complain(err, QStringLiteral("%1: %2").arg(name, file.errorString()));
            return kExitFailure;
        }
        reports.append(file.readAll());
    }
    const MergedReport merged = mergeReports(reports, options.mergeReports);
    if (!merged.error.isEmpty()) {
        complain(err, merged.error);
        return kExitFailure;
    }
    out << QString::fromUtf8(merged.report);
    if (!reportWritten(out)) {
        complain(err, QStringLiteral("the output could not be written to standard output"));
        return kExitFailure;
    }
    return merged.findings ? kExitFindings : kExitClean;
}

int runExtract(const CheckOptions& options, QTextStream& err) {
    std::optional<ShaderLines> lines;
    try {
        lines = loadExtracted(options.extractArchive, options.extractName);
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

void keepFreedMemory() {
    // Blocks up to 32 MB, the most the setting takes, come from the heaps rather than from mappings
    // of their own, which would go back to the system as they are freed.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, std::numeric_limits<int>::max());
}

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
        case CheckAction::Merge:
            return runMerge(parsed.options, out, err);
        case CheckAction::Lsp:
            // The program's main serves it (runLanguageServer); this entry prints reports only.
            complain(err, QStringLiteral("--lsp is not served here"));
            return kExitFailure;
        case CheckAction::Check:
            break;
    }
    return runCheck(parsed.options, out, err);
}

}  // namespace tessory
