// SPDX-License-Identifier: MIT
#include "check/check_options.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <dirent.h>

#include <cerrno>
#include <cstring>

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

QString withSeparator(const QString& directory) {
    return directory.endsWith(u'/') ? directory : directory + u'/';
}

ParsedOptions failure(const QString& error) {
    return ParsedOptions{CheckOptions(), error};
}

const QString kStageList = QStringLiteral(".vert, .frag, .geom, .tesc, .tese or .comp");

std::optional<ShaderStage> stageOfName(const QString& name, const PairExtensions& extensions) {
    if (name.endsWith(extensions.vertex)) {
        return ShaderStage::Vertex;
    }
    if (name.endsWith(extensions.fragment)) {
        return ShaderStage::Fragment;
    }
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? std::nullopt : stageFromWord(QStringView(name).sliced(dot + 1));
}

// A FILE or DIR argument as a CheckInput, or the reason it cannot be one.
QString classify(const QString& argument, const CheckOptions& options,
                 const std::optional<ShaderStage>& givenStage, CheckInput& input) {
    const QFileInfo info(argument);
    const std::optional<ShaderStage> named = stageOfName(argument, options.extensions);
    if (!info.exists()) {
        return named ? QStringLiteral("no such file: %1").arg(argument)
                     : QStringLiteral("no such directory: %1").arg(argument);
    }
    if (info.isDir()) {
        input = CheckInput{CheckInput::Kind::Directory, withSeparator(argument), {}};
        return unreadableDirectory(input.path);
    }
    if (!named && !givenStage) {
        return QStringLiteral(
                   "not a directory: %1, and not a shader file by its name (%2; or "
                   "give --stage)")
            .arg(argument, kStageList);
    }
    input = CheckInput{CheckInput::Kind::File, argument, named ? *named : *givenStage};
    return {};
}

ParsedOptions checkOptions(CheckOptions options, const QStringList& positional,
                           const std::optional<ShaderStage>& givenStage, const QString& stdinName) {
    if (positional.isEmpty()) {
        return failure(QStringLiteral("no WorkSpace directory given"));
    }
    if (!options.archiveOut.isEmpty() && positional.size() != 1) {
        return failure(QStringLiteral("--archive writes the archive of one WorkSpace; %1 given")
                           .arg(positional.size()));
    }
    if (positional.count(QStringLiteral("-")) > 1) {
        return failure(QStringLiteral("standard input (-) can be read only once"));
    }
    if (!positional.contains(QStringLiteral("-")) && !stdinName.isEmpty()) {
        return failure(QStringLiteral("--stdin-name names standard input, but no - is given"));
    }
    for (const QString& argument : positional) {
        CheckInput input;
        if (argument == u"-") {
            const QString name = stdinName.isEmpty() ? QStringLiteral("<stdin>") : stdinName;
            const std::optional<ShaderStage> stage =
                givenStage ? givenStage : stageOfName(stdinName, options.extensions);
            if (!stage) {
                return failure(QStringLiteral("standard input (-) wants --stage "
                                              "vert|frag|geom|tesc|tese|comp, or a --stdin-name "
                                              "ending in %1")
                                   .arg(kStageList));
            }
            input = CheckInput{CheckInput::Kind::Stdin, name, *stage};
        } else if (QString problem = classify(argument, options, givenStage, input);
                   !problem.isEmpty()) {
            return failure(problem);
        }
        options.inputs.append(input);
    }
    if (!options.archiveOut.isEmpty() &&
        options.inputs.first().kind != CheckInput::Kind::Directory) {
        return failure(QStringLiteral("--archive writes the archive of a WorkSpace directory"));
    }
    return ParsedOptions{std::move(options), {}};
}

ParsedOptions extractOptions(CheckOptions options, const QStringList& positional,
                             const QCommandLineParser& parser) {
    for (const char* checkOnly : {"archive", "format", "vertex-ext", "fragment-ext", "recursive",
                                  "stage", "stdin-name", "severity", "quiet", "jobs", "timeout"}) {
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

// The number of an option that wants one above zero, or the reason it is not one.
QString positiveNumber(const QString& option, const QString& value, bool whole, double& number) {
    bool ok = false;
    number = whole ? double(value.toInt(&ok)) : value.toDouble(&ok);
    if (!ok || !(number > 0) || number > 1e9) {
        return QStringLiteral("%1 wants %2 above 0, not '%3'")
            .arg(option, whole ? QStringLiteral("a whole number") : QStringLiteral("a number"),
                 value);
    }
    return {};
}

// The check's own settings; an empty text when every given value is good.
QString readCheckSettings(const QCommandLineParser& parser, CheckOptions& options) {
    if (parser.isSet(QStringLiteral("format"))) {
        const QString value = parser.value(QStringLiteral("format"));
        const std::pair<QStringView, OutputFormat> formats[] = {{u"text", OutputFormat::Text},
                                                                {u"json", OutputFormat::Json},
                                                                {u"sarif", OutputFormat::Sarif},
                                                                {u"github", OutputFormat::Github}};
        const auto* found = std::find_if(std::begin(formats), std::end(formats),
                                         [&](const auto& f) { return f.first == value; });
        if (found == std::end(formats)) {
            return QStringLiteral("--format is text or json, sarif or github, not '%1'").arg(value);
        }
        options.format = found->second;
    }
    if (parser.isSet(QStringLiteral("severity"))) {
        const QString value = parser.value(QStringLiteral("severity"));
        if (value != u"error" && value != u"warning") {
            return QStringLiteral("--severity is error or warning, not '%1'").arg(value);
        }
        options.failAt = value == u"error" ? MessageSeverity::Error : MessageSeverity::Warning;
    }
    options.recursive = parser.isSet(QStringLiteral("recursive"));
    options.quiet = parser.isSet(QStringLiteral("quiet"));
    options.jobs = std::max(1, QThread::idealThreadCount());
    if (parser.isSet(QStringLiteral("jobs"))) {
        double jobs = 0;
        if (QString problem = positiveNumber(QStringLiteral("-j"),
                                             parser.value(QStringLiteral("jobs")), true, jobs);
            !problem.isEmpty()) {
            return problem;
        }
        options.jobs = int(jobs);
    }
    if (parser.isSet(QStringLiteral("timeout"))) {
        if (QString problem =
                positiveNumber(QStringLiteral("--timeout"), parser.value(QStringLiteral("timeout")),
                               false, options.timeoutSeconds);
            !problem.isEmpty()) {
            return problem;
        }
    }
    if (options.recursive && !options.archiveOut.isEmpty()) {
        return QStringLiteral("--archive writes the archive of one WorkSpace and takes no -r");
    }
    return {};
}

}  // namespace

QString listingError(const QString& directory) {
    DIR* dir = opendir(QFile::encodeName(directory).constData());
    if (dir == nullptr) {
        return QString::fromLocal8Bit(std::strerror(errno));
    }
    closedir(dir);
    return {};
}

QString unreadableDirectory(const QString& directory) {
    const QString cause = listingError(directory);
    return cause.isEmpty() ? QString()
                           : QStringLiteral("cannot read directory %1: %2").arg(directory, cause);
}

ParsedOptions parseCheckArguments(const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption vertexExt(QStringLiteral("vertex-ext"), {}, QStringLiteral("EXT"));
    const QCommandLineOption fragmentExt(QStringLiteral("fragment-ext"), {}, QStringLiteral("EXT"));
    const QCommandLineOption format(QStringLiteral("format"), {}, QStringLiteral("FORMAT"));
    const QCommandLineOption archive(QStringLiteral("archive"), {}, QStringLiteral("OUT"));
    const QCommandLineOption extract(QStringLiteral("extract"));
    const QCommandLineOption recursive(
        QStringList{QStringLiteral("r"), QStringLiteral("recursive")});
    const QCommandLineOption stage(QStringLiteral("stage"), {}, QStringLiteral("STAGE"));
    const QCommandLineOption stdinName(QStringLiteral("stdin-name"), {}, QStringLiteral("NAME"));
    const QCommandLineOption severity(QStringLiteral("severity"), {}, QStringLiteral("LEVEL"));
    const QCommandLineOption quiet(QStringList{QStringLiteral("q"), QStringLiteral("quiet")});
    const QCommandLineOption jobs(QStringList{QStringLiteral("j"), QStringLiteral("jobs")}, {},
                                  QStringLiteral("N"));
    const QCommandLineOption timeout(QStringLiteral("timeout"), {}, QStringLiteral("SECONDS"));
    parser.addOptions({help, version, vertexExt, fragmentExt, format, archive, extract, recursive,
                       stage, stdinName, severity, quiet, jobs, timeout});
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
    if (parser.isSet(archive)) {
        options.archiveOut = parser.value(archive);
        if (options.archiveOut.isEmpty()) {
            return failure(QStringLiteral("--archive wants a file name"));
        }
    }
    if (QString problem = readCheckSettings(parser, options); !problem.isEmpty()) {
        return failure(problem);
    }
    std::optional<ShaderStage> givenStage;
    if (parser.isSet(stage)) {
        givenStage = stageFromWord(parser.value(stage));
        if (!givenStage) {
            return failure(QStringLiteral("--stage is vert, frag, geom, tesc, tese or comp, not "
                                          "'%1'")
                               .arg(parser.value(stage)));
        }
    }
    return checkOptions(std::move(options), parser.positionalArguments(), givenStage,
                        parser.value(stdinName));
}

QString checkHelpText() {
    return QStringLiteral(
        R"(Usage: glsl-tessory-check [OPTIONS] DIR|FILE|-...
       glsl-tessory-check --extract ARCHIVE NAME OUTDIR

Checks shaders with this machine's OpenGL driver, without a window. Each WorkSpace directory DIR
is checked as "Test all shaders" does in GLSL Tessory: every pair (NAME.vert beside NAME.frag) is
compiled and linked; every other shader file of it (.vert .frag .geom .tesc .tese .comp) is
compiled on its own, and a file whose partner is missing is also reported as an error. A FILE is
compiled on its own, its stage taken from its extension; - reads one shader from standard input.
Each driver message is printed once, as
    PATH:LINE:COLUMN: error: TEXT      (or warning:; COLUMN only where the driver gives one)
    PATH: error: TEXT                  (link messages, and messages without a line)
followed by a summary line.

Options:
  -r, --recursive      also check every subdirectory of each DIR, each a WorkSpace of its own
                       (hidden directories and links to directories are left out)
  --stage STAGE        the stage of - (and of a FILE whose name says none): vert, frag, geom,
                       tesc, tese or comp
  --stdin-name NAME    the name that messages of - carry; its extension can give the stage
  --vertex-ext EXT     extension of vertex shader files (default .vert)
  --fragment-ext EXT   extension of fragment shader files (default .frag)
  --format=FORMAT      text (default); json: one JSON document with every pair, file, message
                       and the driver's whole logs; sarif: one SARIF 2.1.0 log for code
                       scanning; github: GitHub Actions annotations (::error file=...)
  --severity=LEVEL     the lowest severity that fails the check: warning (default: every
                       message fails, as in the editor) or error (warnings are still printed)
  -q, --quiet          print only the messages, no summary
  -j, --jobs N         compile on N threads, each with its own OpenGL context (default: the
                       number of processors; at most twice that, and no more threads than
                       pairs and files); the report is the same for every N
  --timeout SECONDS    how long the driver may take on one pair or file (default 120); past
                       it the pair or file is reported as not checked and the run ends
  --archive OUT        also write the encrypted archive of the pairs of the one DIR to OUT
  --extract            read the pair NAME out of ARCHIVE (a file, a pipe or /dev/stdin) into
                       OUTDIR/NAME.vert and OUTDIR/NAME.frag (each line ended by LF); OUTDIR
                       is created if needed
  -h, --help           show this help
  --version            show the version

Exit status:
  0  everything was checked and no message fails the check
  1  a message fails the check, a pair is incomplete, a file cannot be read or was not checked
     (a stage the driver lacks, --timeout), or (--extract) the name is not in the archive or
     the archive cannot be read or is damaged
  2  usage error, no such DIR or FILE, a DIR that cannot be read, no OpenGL context, a
     compiling thread that could not be started or make its context (the report is still
     printed), an output file that cannot be written (or is a shader of the WorkSpace), or a
     report that cannot be written to standard output

Examples:
  glsl-tessory-check shaders/
  glsl-tessory-check -r --format=sarif . > shaders.sarif
  glsl-tessory-check --format=github -j 4 shaders/ effects/water.comp
  cpp shader.glsl | glsl-tessory-check --stage frag --stdin-name shader.glsl -
  glsl-tessory-check --vertex-ext .vs --fragment-ext .fs effects/ post/
  glsl-tessory-check --format=json shaders/ > report.json
  glsl-tessory-check --archive build/shaders.dat shaders/
  glsl-tessory-check --extract build/shaders.dat water /tmp/water
)");
}

}  // namespace tessory
