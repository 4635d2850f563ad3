// SPDX-License-Identifier: MIT
#include "check/check_options.h"

#include "compile/include_resolver.h"

#include <QCommandLineParser>
#include <QDir>
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
QString extensionProblem(const QString& option, ShaderStage stage, const QString& extension) {
    if (extension.size() < 2 || !extension.startsWith(u'.')) {
        return QStringLiteral("%1 wants an extension that starts with a dot, such as %2, not '%3'")
            .arg(option, u'.' + stageWord(stage), extension);
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

const QString kStageList = QStringLiteral(
    ".vert, .frag, .geom, .tesc, .tese, .comp, a Vulkan stage's such as .rgen, or one of them "
    "before .glsl");

QString stageWords() {
    QStringList words;
    for (const ShaderStage stage : kAllStages) {
        words.append(stageWord(stage));
    }
    return words.join(u", ");
}

// The stage a shader file's name gives, or for a .glsl file its stage pragma.
std::optional<ShaderStage> stageOfName(const QString& path, const StageExtensions& extensions) {
    const QString name = path.section(u'/', -1);
    if (const std::optional<StageName> named = extensions.stageOfName(name)) {
        return named->stage;
    }
    if (isGlslFileName(name)) {
        const IncludeText text = FileIncludeResolver().read(path);
        if (text.status == IncludeText::Status::Found) {
            return pragmaStage(text.bytes);
        }
    }
    return std::nullopt;
}

// A FILE or DIR argument as a CheckInput, or the reason it cannot be one.
QString classify(const QString& argument, const CheckOptions& options,
                 const std::optional<ShaderStage>& givenStage, CheckInput& input) {
    const QFileInfo info(argument);
    const std::optional<ShaderStage> named = stageOfName(argument, commandLineExtensions(options));
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
            const std::optional<StageName> named =
                commandLineExtensions(options).stageOfName(stdinName.section(u'/', -1));
            const std::optional<ShaderStage> stage = givenStage ? givenStage
                                                     : named    ? std::optional(named->stage)
                                                                : std::nullopt;
            if (!stage) {
                return failure(QStringLiteral("standard input (-) wants --stage "
                                              "vert|frag|geom|tesc|tese|comp|..., or a "
                                              "--stdin-name ending in %1")
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
    for (const char* checkOnly :
         {"archive", "format", "vertex-ext", "fragment-ext", "ext", "recursive", "stage",
          "stdin-name", "severity", "quiet", "jobs", "timeout", "target", "target-env", "lone", "I",
          "D", "U", "root"}) {
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

// --shard K/N with 1 <= K <= N, or the reason it is not.
QString readShard(const QString& value, CheckOptions& options) {
    const QStringList parts = value.split(u'/');
    bool indexOk = false;
    bool countOk = false;
    const int index = parts.value(0).toInt(&indexOk);
    const int count = parts.size() == 2 ? parts[1].toInt(&countOk) : 0;
    if (!indexOk || !countOk || count < 1 || index < 1 || index > count) {
        return QStringLiteral("--shard wants K/N with 1 <= K <= N, such as 2/4, not '%1'")
            .arg(value);
    }
    options.shardIndex = index;
    options.shardCount = count;
    return {};
}

ParsedOptions mergeOptions(CheckOptions options, const QStringList& positional,
                           const QCommandLineParser& parser) {
    for (const QString& other : {QStringLiteral("lsp"), QStringLiteral("shard"),
                                 QStringLiteral("archive"), QStringLiteral("format")}) {
        if (parser.isSet(other)) {
            return failure(QStringLiteral("--merge takes no --%1").arg(other));
        }
    }
    if (positional.isEmpty()) {
        return failure(QStringLiteral("--merge wants the JSON or SARIF reports of the shards"));
    }
    for (const QString& report : positional) {
        if (!QFileInfo(report).isFile()) {
            return failure(QStringLiteral("no such report: %1").arg(report));
        }
    }
    options.action = CheckAction::Merge;
    options.mergeReports = positional;
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

// One value of --ext, --vertex-ext or --fragment-ext, or the reason it is none.
QString readExtensionOption(const QString& name, const QString& value, CheckOptions& options) {
    ShaderStage stage = ShaderStage::Vertex;
    QString list = value;
    QString option = QStringLiteral("--") + name;
    if (name == u"ext") {
        const qsizetype equals = value.indexOf(u'=');
        const std::optional<ShaderStage> named =
            equals > 0 ? stageFromWord(value.first(equals)) : std::nullopt;
        if (!named) {
            return QStringLiteral("--ext wants STAGE=.EXT[,.EXT...] with STAGE one of %1, not '%2'")
                .arg(stageWords(), value);
        }
        stage = *named;
        list = value.sliced(equals + 1);
    } else if (name == u"fragment-ext") {
        stage = ShaderStage::Fragment;
    }
    const QStringList extensions = list.split(u',');
    for (const QString& extension : extensions) {
        if (QString problem = extensionProblem(option, stage, extension); !problem.isEmpty()) {
            return problem;
        }
    }
    options.extensionsGiven.append({stage, extensions});
    return {};
}

// No extension may stand for two stages.
QString extensionClash(const StageExtensions& extensions) {
    for (const ShaderStage a : kAllStages) {
        for (const ShaderStage b : kAllStages) {
            if (int(b) <= int(a)) {
                continue;
            }
            for (const QString& extension : extensions.of(a)) {
                if (!extensions.of(b).contains(extension, Qt::CaseInsensitive)) {
                    continue;
                }
                if (a == ShaderStage::Vertex && b == ShaderStage::Fragment) {
                    return QStringLiteral("the vertex and the fragment extension are both '%1'")
                        .arg(extension);
                }
                return QStringLiteral("the extension '%1' is given to both %2 and %3")
                    .arg(extension, stageWord(a), stageWord(b));
            }
        }
    }
    return {};
}

QString existingDirectory(const QString& option, const QString& directory) {
    return QFileInfo(directory).isDir()
               ? QString()
               : QStringLiteral("%1 names no directory: %2").arg(option, directory);
}

// -D NAME[=VALUE], or the reason it is none.
QString readDefine(const QString& value, bool undefine, CheckOptions& options) {
    const qsizetype equals = undefine ? -1 : value.indexOf(u'=');
    Define define{equals < 0 ? value : value.first(equals),
                  undefine
                      ? std::nullopt
                      : std::optional(equals < 0 ? QStringLiteral("1") : value.sliced(equals + 1))};
    if (const QString problem = defineProblem(define, engineTexts(false)); !problem.isEmpty()) {
        return (undefine ? QStringLiteral("-U: ") : QStringLiteral("-D: ")) + problem;
    }
    options.defineChanges.append({define, undefine});
    return {};
}

// The options that say how to compile, in the order given where order matters.
QString readCompileSettings(const QCommandLineParser& parser, CheckOptions& options) {
    QHash<QString, int> seen;
    for (const QString& name : parser.optionNames()) {
        const int index = seen[name]++;
        const QString value = parser.values(name).value(index);
        QString problem;
        if (name == u"ext" || name == u"vertex-ext" || name == u"fragment-ext") {
            problem = readExtensionOption(name, value, options);
        } else if (name == u"I") {
            problem = existingDirectory(QStringLiteral("-I"), value);
            options.includeDirs.append(QDir::cleanPath(value));
        } else if (name == u"D" || name == u"U") {
            problem = readDefine(value, name == u"U", options);
        }
        if (!problem.isEmpty()) {
            return problem;
        }
    }
    const StageExtensions extensions = commandLineExtensions(options);
    if (extensions.of(ShaderStage::Vertex).isEmpty() ||
        extensions.of(ShaderStage::Fragment).isEmpty()) {
        return QStringLiteral("the vertex and the fragment stage want an extension each");
    }
    if (QString clash = extensionClash(extensions); !clash.isEmpty()) {
        return clash;
    }
    options.extensions = extensions.pair();
    if (parser.isSet(QStringLiteral("target"))) {
        const QString value = parser.value(QStringLiteral("target"));
        options.targetGiven = true;
        options.target = targetFromWord(value);
        if (!options.target && value != u"auto") {
            return QStringLiteral("--target is auto, gl, gl-core, gles or vulkan, not '%1'")
                .arg(value);
        }
    }
    if (parser.isSet(QStringLiteral("target-env"))) {
        const QString value = parser.value(QStringLiteral("target-env"));
        options.targetEnv = vulkanVersionFromWord(value);
        if (!options.targetEnv) {
            return QStringLiteral(
                       "--target-env is vulkan1.0, vulkan1.1, vulkan1.2 or vulkan1.3, "
                       "not '%1'")
                .arg(value);
        }
    }
    if (parser.isSet(QStringLiteral("lone"))) {
        const QString value = parser.value(QStringLiteral("lone"));
        if (value != u"ok" && value != u"problem") {
            return QStringLiteral("--lone is ok or problem, not '%1'").arg(value);
        }
        options.lone = value == u"ok" ? LonePolicy::Ok : LonePolicy::Problem;
    }
    options.root = QDir::currentPath();
    if (parser.isSet(QStringLiteral("root"))) {
        const QString value = parser.value(QStringLiteral("root"));
        if (QString problem = existingDirectory(QStringLiteral("--root"), value);
            !problem.isEmpty()) {
            return problem;
        }
        options.root = QDir::cleanPath(QFileInfo(value).absoluteFilePath());
    }
    return {};
}

}  // namespace

StageExtensions commandLineExtensions(const CheckOptions& options) {
    StageExtensions extensions;
    for (const auto& [stage, list] : options.extensionsGiven) {
        extensions.set(stage, list);
    }
    return extensions;
}

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
    const QCommandLineOption ext(QStringLiteral("ext"), {}, QStringLiteral("STAGE=EXT"));
    const QCommandLineOption target(QStringLiteral("target"), {}, QStringLiteral("TARGET"));
    const QCommandLineOption targetEnv(QStringLiteral("target-env"), {}, QStringLiteral("ENV"));
    const QCommandLineOption lone(QStringLiteral("lone"), {}, QStringLiteral("POLICY"));
    const QCommandLineOption include(QStringLiteral("I"), {}, QStringLiteral("DIR"));
    const QCommandLineOption define(QStringLiteral("D"), {}, QStringLiteral("NAME[=VALUE]"));
    const QCommandLineOption undefine(QStringLiteral("U"), {}, QStringLiteral("NAME"));
    const QCommandLineOption root(QStringLiteral("root"), {}, QStringLiteral("DIR"));
    const QCommandLineOption lsp(QStringLiteral("lsp"));
    const QCommandLineOption shard(QStringLiteral("shard"), {}, QStringLiteral("K/N"));
    const QCommandLineOption merge(QStringLiteral("merge"));
    parser.addOptions({help,      version, vertexExt, fragmentExt, format,  archive, extract,
                       recursive, stage,   stdinName, severity,    quiet,   jobs,    timeout,
                       ext,       target,  targetEnv, lone,        include, define,  undefine,
                       root,      lsp,     shard,     merge});
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
    if (parser.isSet(merge)) {
        return mergeOptions(options, parser.positionalArguments(), parser);
    }

    if (QString problem = readCompileSettings(parser, options); !problem.isEmpty()) {
        return failure(problem);
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
    if (parser.isSet(lsp)) {
        // The editor names the documents; the server is told them, never given them here.
        if (!parser.positionalArguments().isEmpty() || parser.isSet(shard)) {
            return failure(
                QStringLiteral("--lsp takes no DIR, FILE or --shard: the client "
                               "opens the documents"));
        }
        options.action = CheckAction::Lsp;
        return ParsedOptions{std::move(options), {}};
    }
    if (parser.isSet(shard)) {
        if (QString problem = readShard(parser.value(shard), options); !problem.isEmpty()) {
            return failure(problem);
        }
    }
    std::optional<ShaderStage> givenStage;
    if (parser.isSet(stage)) {
        givenStage = stageFromWord(parser.value(stage));
        if (!givenStage) {
            return failure(QStringLiteral("--stage is vert, frag, geom, tesc, tese or comp, or for "
                                          "Vulkan rgen, rint, rahit, rchit, rmiss, rcall, mesh "
                                          "or task, not '%1'")
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
       glsl-tessory-check --merge REPORT...
       glsl-tessory-check [OPTIONS] --lsp

Checks shaders with this machine's OpenGL driver, without a window, and Vulkan shaders with
glslang and the SPIR-V validator. Each WorkSpace directory DIR is checked as "Test all shaders"
does in GLSL Tessory: every program (NAME.vert beside NAME.frag, with NAME.geom, NAME.tesc and
NAME.tese when they are there) is compiled and linked whole; every other shader file of it is
compiled on its own, and a vertex or fragment file whose partner is missing is also reported as
an error (unless --lone ok). A FILE is compiled on its own, its stage taken from its extension;
- reads one shader from standard input. The nearest tessory.json (in DIR or a directory above
it) adds settings, programs, variants and overrides; the options below override it.
Each message is printed once, as
    PATH:LINE:COLUMN: error: TEXT      (or warning:; COLUMN only where the driver gives one)
    PATH: error: TEXT                  (link messages, and messages without a line)
followed by a summary line.

Options:
  -r, --recursive      also check every subdirectory of each DIR, each a WorkSpace of its own
                       (hidden directories and links to directories are left out)
  --stage STAGE        the stage of - (and of a FILE whose name says none): vert, frag, geom,
                       tesc, tese, comp, or for Vulkan rgen, rint, rahit, rchit, rmiss, rcall,
                       mesh, task
  --stdin-name NAME    the name that messages of - carry; its extension can give the stage
  --ext STAGE=EXT[,EXT...]
                       the extensions of a stage's files instead of .STAGE (repeatable), such as
                       --ext geom=.gs; NAME.EXT.glsl files and .glsl files with a
                       #pragma shader_stage(...) line count too
  --vertex-ext EXT     the same as --ext vert=EXT (default .vert)
  --fragment-ext EXT   the same as --ext frag=EXT (default .frag)
  --lone POLICY        problem (default): a vertex or fragment file without its partner is a
                       WorkSpace problem; ok: it is a shader of its own, and a fragment file is
                       linked with a built-in full-screen vertex stage
  --target TARGET      auto (default: by #version; Vulkan only for its own stages such as .rgen),
                       gl (compatibility profile), gl-core (4.5 core profile), gles (OpenGL ES
                       3.2) or vulkan (SPIR-V, validated)
  --target-env ENV     the Vulkan version for --target vulkan: vulkan1.0 ... vulkan1.3 (default)
  -I DIR               an include directory (repeatable), searched after the including file's
                       own directory for #include "file", alone for #include <file>
  -D NAME[=VALUE]      define a macro in every stage (VALUE 1 when left out; repeatable)
  -U NAME              take away a define of the project file or of an earlier -D
  --root DIR           no #include may leave the include directories through ".." to outside
                       DIR (default: the working directory)
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
  --shard K/N          check only the K-th of N shares of the programs and files (by a hash
                       of their paths, so a file keeps its share as others are added); the
                       JSON and SARIF reports of the N shards --merge into the whole report
  --merge REPORT...    print the one report that the JSON (or SARIF) reports of every shard of
                       a run make together, exactly as the run without --shard would print it
  --lsp                be a language server on standard input and output: diagnostics of
                       open documents from the driver, completion, hover, signature help,
                       definitions and document symbols; the options above still apply
  -h, --help           show this help
  --version            show the version

Exit status:
  0  everything was checked and no message fails the check
  1  a message fails the check, a pair is incomplete, a file cannot be read or was not checked
     (a stage the driver lacks, --timeout), an #include that cannot be put in place, or
     (--extract) the name is not in the archive or the archive cannot be read or is damaged
  2  usage error, a tessory.json that cannot be used, no such DIR or FILE, a DIR that cannot
     be read, no OpenGL context, a compiling thread that could not be started or make its
     context (the report is still printed), an output file that cannot be written (or is a
     shader of the WorkSpace), or a report that cannot be written to standard output

Examples:
  glsl-tessory-check shaders/
  glsl-tessory-check -r --format=sarif . > shaders.sarif
  glsl-tessory-check --format=github -j 4 shaders/ effects/water.comp
  cpp shader.glsl | glsl-tessory-check --stage frag --stdin-name shader.glsl -
  glsl-tessory-check --vertex-ext .vs --fragment-ext .fs effects/ post/
  glsl-tessory-check -r --ext vert=.vs --ext frag=.fs --ext geom=.gs tutorial/
  glsl-tessory-check -r --target vulkan -I shaders/include shaders/
  glsl-tessory-check -r --lone ok -D QUALITY=2 book/
  glsl-tessory-check --format=json shaders/ > report.json
  glsl-tessory-check --archive build/shaders.dat shaders/
  glsl-tessory-check --extract build/shaders.dat water /tmp/water
  glsl-tessory-check -r --format=json --shard 2/4 . > shard-2.json
  glsl-tessory-check --merge shard-*.json > report.json
)");
}

}  // namespace tessory
