// SPDX-License-Identifier: MIT
#include "check/check_options.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace tessory {
namespace {

// An extension is a dot and at least one more character, and names no other folder. Without the
// dot no file would ever match, which is surely a slip on the command line.
QString extensionProblem(const QString& option, const QString& extension) {
    if (extension.size() < 2 || !extension.startsWith(u'.')) {
        return QStringLiteral("%1 wants an extension that starts with a dot, such as %2, not '%3'")
            .arg(option,
                 option == u"--vertex-ext" ? QStringLiteral(".vert") : QStringLiteral(".frag"),
                 extension);
    }
    if (extension.contains(u'/')) {
        return QStringLiteral("%1 '%2' holds a '/'").arg(option, extension);
    }
    return {};
}

QString directoryProblem(const QString& directory) {
    const QFileInfo info(directory);
    if (!info.exists()) {
        return QStringLiteral("no such directory: %1").arg(directory);
    }
    if (!info.isDir()) {
        return QStringLiteral("not a directory: %1").arg(directory);
    }
    return {};
}

QString withSeparator(const QString& directory) {
    return directory.endsWith(u'/') ? directory : directory + u'/';
}

ParsedOptions failure(const QString& error) {
    return ParsedOptions{CheckOptions(), error};
}

ParsedOptions checkOptions(CheckOptions options, const QStringList& positional) {
    if (positional.isEmpty()) {
        return failure(QStringLiteral("no WorkSpace directory given"));
    }
    if (!options.archiveOut.isEmpty() && positional.size() != 1) {
        return failure(QStringLiteral("--archive writes the archive of one WorkSpace; %1 given")
                           .arg(positional.size()));
    }
    for (const QString& directory : positional) {
        if (QString problem = directoryProblem(directory); !problem.isEmpty()) {
            return failure(problem);
        }
        options.directories.append(withSeparator(directory));
    }
    return ParsedOptions{std::move(options), {}};
}

ParsedOptions extractOptions(CheckOptions options, const QStringList& positional,
                             const QCommandLineParser& parser) {
    for (const char* checkOnly : {"archive", "format", "vertex-ext", "fragment-ext"}) {
        if (parser.isSet(QString::fromLatin1(checkOnly))) {
            return failure(QStringLiteral("--extract takes no --%1").arg(checkOnly));
        }
    }
    if (positional.size() != 3) {
        return failure(QStringLiteral("--extract wants ARCHIVE NAME OUTDIR, %1 argument(s) given")
                           .arg(positional.size()));
    }
    if (!isValidShaderName(positional[1])) {
        return failure(
            QStringLiteral("'%1' cannot be the base name of a shader pair").arg(positional[1]));
    }
    options.action = CheckAction::Extract;
    options.extractArchive = positional[0];
    options.extractName = positional[1];
    options.extractDir = withSeparator(positional[2]);
    return ParsedOptions{std::move(options), {}};
}

}  // namespace

ParsedOptions parseCheckArguments(const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption vertexExt(QStringLiteral("vertex-ext"), {}, QStringLiteral("EXT"));
    const QCommandLineOption fragmentExt(QStringLiteral("fragment-ext"), {}, QStringLiteral("EXT"));
    const QCommandLineOption format(QStringLiteral("format"), {}, QStringLiteral("FORMAT"));
    const QCommandLineOption archive(QStringLiteral("archive"), {}, QStringLiteral("OUT"));
    const QCommandLineOption extract(QStringLiteral("extract"));
    parser.addOptions({help, version, vertexExt, fragmentExt, format, archive, extract});
    if (!parser.parse(arguments)) {
        return failure(parser.errorText());
    }

    CheckOptions options;
    if (parser.isSet(help)) {
        options.action = CheckAction::Help;
        return ParsedOptions{options, {}};
    }
    if (parser.isSet(version)) {
        options.action = CheckAction::Version;
        return ParsedOptions{options, {}};
    }
    if (parser.isSet(extract)) {
        return extractOptions(options, parser.positionalArguments(), parser);
    }

    if (parser.isSet(vertexExt)) {
        options.extensions.vertex = parser.value(vertexExt);
    }
    if (parser.isSet(fragmentExt)) {
        options.extensions.fragment = parser.value(fragmentExt);
    }
    for (const auto& [name, value] :
         {std::pair{QStringLiteral("--vertex-ext"), options.extensions.vertex},
          std::pair{QStringLiteral("--fragment-ext"), options.extensions.fragment}}) {
        if (QString problem = extensionProblem(name, value); !problem.isEmpty()) {
            return failure(problem);
        }
    }
    if (options.extensions.vertex == options.extensions.fragment) {
        return failure(QStringLiteral("the vertex and the fragment extension are both '%1'")
                           .arg(options.extensions.vertex));
    }
    if (parser.isSet(format)) {
        const QString value = parser.value(format);
        if (value == u"json") {
            options.format = OutputFormat::Json;
        } else if (value != u"text") {
            return failure(QStringLiteral("--format is text or json, not '%1'").arg(value));
        }
    }
    if (parser.isSet(archive)) {
        options.archiveOut = parser.value(archive);
        if (options.archiveOut.isEmpty()) {
            return failure(QStringLiteral("--archive wants a file name"));
        }
    }
    return checkOptions(std::move(options), parser.positionalArguments());
}

QString checkHelpText() {
    return QStringLiteral(
        R"(Usage: glsl-tessory-check [OPTIONS] DIR...
       glsl-tessory-check --extract ARCHIVE NAME OUTDIR

Checks every shader pair of each WorkSpace directory DIR (NAME.vert beside NAME.frag) by compiling
and linking it with this machine's OpenGL driver, without a window, as "Test all shaders" does in
GLSL Tessory. Each driver message is printed as
    PATH:LINE: error: TEXT      (or warning:)
    PATH: error: TEXT           (link messages, and messages without a line)
followed by a summary line. A file whose partner is missing is reported as an error.

Options:
  --vertex-ext EXT     extension of vertex shader files (default .vert)
  --fragment-ext EXT   extension of fragment shader files (default .frag)
  --format=FORMAT      text (default) or json: one JSON document with every pair and message
  --archive OUT        also write the encrypted archive of the pairs of the one DIR to OUT
  --extract            read the pair NAME out of ARCHIVE into OUTDIR/NAME.vert and
                       OUTDIR/NAME.frag (each line ended by LF); OUTDIR is created if needed
  -h, --help           show this help
  --version            show the version

Exit status:
  0  every pair compiled and linked without any message
  1  a pair has a message, a pair is incomplete, or (--extract) the name is not in the
     archive or the archive cannot be read or is damaged
  2  usage error, no such DIR, no OpenGL context, or an output file cannot be written

Examples:
  glsl-tessory-check shaders/
  glsl-tessory-check --vertex-ext .vs --fragment-ext .fs effects/ post/
  glsl-tessory-check --format=json shaders/ > report.json
  glsl-tessory-check --archive build/shaders.dat shaders/
  glsl-tessory-check --extract build/shaders.dat water /tmp/water
)");
}

}  // namespace tessory
