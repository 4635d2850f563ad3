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

QString unreadableDirectory(const QString& directory) {
    DIR* dir = opendir(QFile::encodeName(directory).constData());
    if (dir == nullptr) {
        return QStringLiteral("cannot read directory %1: %2")
            .arg(directory, QString::fromLocal8Bit(std::strerror(errno)));
    }
    closedir(dir);
    return {};
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
