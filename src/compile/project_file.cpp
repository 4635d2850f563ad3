// SPDX-License-Identifier: MIT
#include "compile/project_file.h"

#include "compile/json_lines.h"
#include "workspace/file_io.h"
#include "workspace/shader_file.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace tessory {
namespace {

constexpr QStringView kSettingKeys[] = {u"target",  u"targetEnv", u"extensions", u"includeDirs",
                                        u"defines", u"lone",      u"variants"};

// "/programs/0/frag" as "programs[0].frag".
QString keyName(const QString& pointer) {
    QString name;
    for (const QString& part : pointer.split(u'/', Qt::SkipEmptyParts)) {
        bool index = false;
        part.toInt(&index);
        QString unescaped = part;
        unescaped.replace(QStringLiteral("~1"), QStringLiteral("/"))
            .replace(QStringLiteral("~0"), QStringLiteral("~"));
        name += index ? u'[' + part + u']' : (name.isEmpty() ? unescaped : u'.' + unescaped);
    }
    return name;
}

QString member(const QString& pointer, const QString& key) {
    QString escaped = key;
    return pointer + u'/' +
           escaped.replace(u'~', QStringLiteral("~0")).replace(u'/', QStringLiteral("~1"));
}

// What stops the reading, and where.
struct Problem {
    QString pointer;
    QString text;
};

QRegularExpression globPattern(const QString& glob) {
    QString pattern;
    if (!glob.contains(u'/')) {
        pattern = QStringLiteral("(?:.*/)?");
    }
    for (qsizetype i = glob.startsWith(u'/') ? 1 : 0; i < glob.size(); ++i) {
        const QChar c = glob[i];
        if (glob.sliced(i).startsWith(u"**/")) {
            pattern += QStringLiteral("(?:.*/)?");
            i += 2;
        } else if (glob.sliced(i).startsWith(u"**")) {
            pattern += QStringLiteral(".*");
            ++i;
        } else if (c == u'*') {
            pattern += QStringLiteral("[^/]*");
        } else if (c == u'?') {
            pattern += QStringLiteral("[^/]");
        } else if (c == u'{') {
            pattern += QStringLiteral("(?:");
        } else if (c == u'}') {
            pattern += u')';
        } else if (c == u',' && pattern.contains(u"(?:")) {
            pattern += u'|';
        } else {
            pattern += QRegularExpression::escape(QString(c));
        }
    }
    return QRegularExpression(QRegularExpression::anchoredPattern(pattern));
}

class Reader {
public:
    Reader(const QString& path, const EngineTexts& texts) : path_(path), texts_(texts) {}

    ProjectFileResult run(const QByteArray& bytes) {
        ProjectFileResult result;
        result.errorPath = path_;
        QJsonParseError parseError;
        const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
        if (parseError.error != QJsonParseError::NoError) {
            result.errorLine = lineOfOffset(bytes, parseError.offset);
            result.error = texts_.projectNotJson.arg(parseError.errorString());
            return result;
        }
        if (!document.isObject()) {
            result.errorLine = 1;
            result.error = texts_.projectNotObject;
            return result;
        }
        lines_ = jsonPointerLines(bytes);
        file_.path = path_;
        file_.directory = QDir::cleanPath(QFileInfo(path_).absolutePath());
        try {
            readTop(document.object());
        } catch (const Problem& problem) {
            result.errorLine = lines_.value(problem.pointer, 0);
            result.error = problem.text;
            return result;
        }
        result.file = std::move(file_);
        return result;
    }

private:
    [[noreturn]] void wrongType(const QString& pointer, const QString& wanted) const {
        throw Problem{pointer, texts_.projectWrongType.arg(keyName(pointer), wanted)};
    }

    QString absolute(const QString& relative) const {
        return QDir::cleanPath(QDir(file_.directory).absoluteFilePath(relative));
    }

    QString string(const QJsonValue& value, const QString& pointer) const {
        if (!value.isString()) {
            wrongType(pointer, texts_.typeString);
        }
        return value.toString();
    }

    // A string, or a list of them.
    QStringList strings(const QJsonValue& value, const QString& pointer) const {
        if (value.isString()) {
            return {value.toString()};
        }
        if (!value.isArray()) {
            wrongType(pointer, texts_.typeStrings);
        }
        QStringList list;
        const QJsonArray array = value.toArray();
        for (qsizetype i = 0; i < array.size(); ++i) {
            list.append(string(array[i], member(pointer, QString::number(i))));
        }
        return list;
    }

    QJsonObject object(const QJsonValue& value, const QString& pointer) const {
        if (!value.isObject()) {
            wrongType(pointer, texts_.typeObject);
        }
        return value.toObject();
    }

    template <typename T>
    T word(const QJsonValue& value, const QString& pointer, std::optional<T> (*read)(QStringView),
           const QString& words) const {
        const QString given = string(value, pointer);
        const std::optional<T> found = read(given);
        if (!found) {
            throw Problem{pointer, texts_.projectBadWord.arg(keyName(pointer), words, given)};
        }
        return *found;
    }

    QList<Define> defines(const QJsonValue& value, const QString& pointer) const {
        const QJsonObject given = object(value, pointer);
        QList<Define> list;
        for (auto it = given.begin(); it != given.end(); ++it) {
            const QString at = member(pointer, it.key());
            Define define{it.key(), std::nullopt};
            const QJsonValue v = it.value();
            if (v.isString()) {
                define.value = v.toString();
            } else if (v.isBool()) {
                define.value = v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
            } else if (v.isDouble()) {
                define.value = QString::number(v.toDouble(), 'g', 17);
            } else if (!v.isNull()) {
                wrongType(at, texts_.typeDefineValue);
            }
            if (const QString problem = defineProblem(define, texts_); !problem.isEmpty()) {
                throw Problem{at, problem};
            }
            list.append(define);
        }
        return list;
    }

    QList<std::pair<ShaderStage, QStringList>> extensions(const QJsonValue& value,
                                                          const QString& pointer) const {
        QList<std::pair<ShaderStage, QStringList>> list;
        const QJsonObject given = object(value, pointer);
        for (auto it = given.begin(); it != given.end(); ++it) {
            const QString at = member(pointer, it.key());
            const std::optional<ShaderStage> stage = stageFromWord(it.key());
            if (!stage) {
                throw Problem{at, texts_.projectUnknownKey.arg(it.key(), stageWords())};
            }
            const QStringList given = strings(it.value(), at);
            for (const QString& extension : given) {
                if (extension.size() < 2 || !extension.startsWith(u'.') ||
                    extension.contains(u'/')) {
                    throw Problem{at, texts_.projectBadExtension.arg(keyName(at), extension)};
                }
            }
            list.append({*stage, given});
        }
        return list;
    }

    static QString stageWords() {
        QStringList words;
        for (const ShaderStage stage : kAllStages) {
            words.append(stageWord(stage));
        }
        return words.join(u", ");
    }

    // Whether the key is a setting, read into `settings` when it is.
    bool setting(const QString& key, const QJsonValue& value, const QString& pointer,
                 ProjectSettings& settings) const {
        if (key == u"target") {
            settings.targetGiven = true;
            const QString given = string(value, pointer);
            if (given != u"auto") {
                settings.target = word<Target>(value, pointer, targetFromWord,
                                               QStringLiteral("auto, gl, gl-core, gles, vulkan"));
            }
        } else if (key == u"targetEnv") {
            settings.targetEnv =
                word<VulkanVersion>(value, pointer, vulkanVersionFromWord,
                                    QStringLiteral("vulkan1.0, vulkan1.1, vulkan1.2, vulkan1.3"));
        } else if (key == u"extensions") {
            settings.extensions = extensions(value, pointer);
        } else if (key == u"includeDirs") {
            QStringList directories;
            const QStringList given = strings(value, pointer);
            for (qsizetype i = 0; i < given.size(); ++i) {
                const QString directory = absolute(given[i]);
                if (!QFileInfo(directory).isDir()) {
                    const QString at =
                        value.isArray() ? member(pointer, QString::number(i)) : pointer;
                    throw Problem{at, texts_.projectMissingDirectory.arg(keyName(pointer),
                                                                         shownPath(directory))};
                }
                directories.append(shownPath(directory));
            }
            settings.includeDirs = directories;
        } else if (key == u"defines") {
            settings.defines = defines(value, pointer);
        } else if (key == u"lone") {
            const QString given = string(value, pointer);
            if (given != u"ok" && given != u"problem") {
                throw Problem{pointer, texts_.projectBadWord.arg(
                                           keyName(pointer), QStringLiteral("ok, problem"), given)};
            }
            settings.lone = given == u"ok" ? LonePolicy::Ok : LonePolicy::Problem;
        } else if (key == u"variants") {
            if (!value.isArray()) {
                wrongType(pointer, texts_.typeObjects);
            }
            QList<Variant> variants;
            const QJsonArray array = value.toArray();
            for (qsizetype i = 0; i < array.size(); ++i) {
                Variant variant;
                variant.defines = defines(array[i], member(pointer, QString::number(i)));
                QStringList parts;
                for (const Define& define : variant.defines) {
                    parts.append(define.value ? define.name + u'=' + *define.value : define.name);
                }
                variant.name = parts.join(u',');
                variants.append(variant);
            }
            settings.variants = variants;
        } else {
            return false;
        }
        return true;
    }

    QString knownKeys(bool top) const {
        QStringList keys;
        for (const QStringView key : kSettingKeys) {
            keys.append(key.toString());
        }
        keys << (top ? QStringList{QStringLiteral("programs"), QStringLiteral("overrides")}
                     : QStringList{QStringLiteral("glob")});
        return keys.join(u", ");
    }

    void readTop(const QJsonObject& top) {
        for (auto it = top.begin(); it != top.end(); ++it) {
            const QString pointer = member(QString(), it.key());
            if (setting(it.key(), it.value(), pointer, file_.settings)) {
                continue;
            }
            if (it.key() == u"programs") {
                readPrograms(it.value(), pointer);
            } else if (it.key() == u"overrides") {
                readOverrides(it.value(), pointer);
            } else {
                throw Problem{pointer, texts_.projectUnknownKey.arg(it.key(), knownKeys(true))};
            }
        }
    }

    void readPrograms(const QJsonValue& value, const QString& pointer) {
        if (!value.isArray()) {
            wrongType(pointer, texts_.typeObjects);
        }
        const QJsonArray array = value.toArray();
        for (qsizetype i = 0; i < array.size(); ++i) {
            const QString at = member(pointer, QString::number(i));
            const QJsonObject given = object(array[i], at);
            ProjectProgram program;
            for (auto it = given.begin(); it != given.end(); ++it) {
                const QString key = member(at, it.key());
                if (it.key() == u"name") {
                    program.name = string(it.value(), key);
                    continue;
                }
                const std::optional<ShaderStage> stage = stageFromWord(it.key());
                if (!stage) {
                    throw Problem{key, texts_.projectUnknownKey.arg(
                                           it.key(), QStringLiteral("name, ") + stageWords())};
                }
                const QString path = absolute(string(it.value(), key));
                if (!QFileInfo(path).isFile()) {
                    throw Problem{key,
                                  texts_.projectMissingFile.arg(keyName(key), shownPath(path))};
                }
                program.stages.append({*stage, shownPath(path)});
            }
            std::sort(program.stages.begin(), program.stages.end(),
                      [](const auto& a, const auto& b) { return a.first < b.first; });
            if (!validStages(program)) {
                throw Problem{at, texts_.projectProgramStages};
            }
            if (program.name.isEmpty()) {
                program.name = QFileInfo(program.stages.first().second).completeBaseName();
            }
            file_.programs.append(program);
        }
    }

    static bool validStages(const ProjectProgram& program) {
        const auto has = [&](ShaderStage stage) {
            return std::any_of(program.stages.begin(), program.stages.end(),
                               [stage](const auto& s) { return s.first == stage; });
        };
        if (program.stages.size() == 1) {
            return true;
        }
        return (has(ShaderStage::Vertex) || has(ShaderStage::Mesh)) && has(ShaderStage::Fragment) &&
               !has(ShaderStage::Compute);
    }

    void readOverrides(const QJsonValue& value, const QString& pointer) {
        if (!value.isArray()) {
            wrongType(pointer, texts_.typeObjects);
        }
        const QJsonArray array = value.toArray();
        for (qsizetype i = 0; i < array.size(); ++i) {
            const QString at = member(pointer, QString::number(i));
            const QJsonObject given = object(array[i], at);
            ProjectOverride override;
            if (!given.contains(u"glob")) {
                throw Problem{
                    at, texts_.projectWrongType.arg(keyName(member(at, QStringLiteral("glob"))),
                                                    texts_.typeString)};
            }
            for (auto it = given.begin(); it != given.end(); ++it) {
                const QString key = member(at, it.key());
                if (it.key() == u"glob") {
                    override.glob = string(it.value(), key);
                    override.pattern = globPattern(override.glob);
                    if (!override.pattern.isValid() || override.glob.isEmpty()) {
                        throw Problem{key, texts_.projectBadGlob.arg(override.glob)};
                    }
                } else if (it.key() == u"programs" || it.key() == u"overrides") {
                    throw Problem{key, texts_.projectNotInOverride.arg(it.key())};
                } else if (!setting(it.key(), it.value(), key, override.settings)) {
                    throw Problem{key, texts_.projectUnknownKey.arg(it.key(), knownKeys(false))};
                }
            }
            file_.overrides.append(override);
        }
    }

    QString path_;
    const EngineTexts& texts_;
    QHash<QString, int> lines_;
    ProjectFile file_;
};

}  // namespace

void ProjectSettings::overlay(const ProjectSettings& other) {
    if (other.targetGiven) {
        targetGiven = true;
        target = other.target;
    }
    targetEnv = other.targetEnv ? other.targetEnv : targetEnv;
    for (const auto& stage : other.extensions) {
        extensions.append(stage);
    }
    includeDirs = other.includeDirs ? other.includeDirs : includeDirs;
    for (const Define& define : other.defines) {
        const auto same = std::find_if(defines.begin(), defines.end(),
                                       [&](const Define& d) { return d.name == define.name; });
        if (same != defines.end()) {
            *same = define;
        } else {
            defines.append(define);
        }
    }
    lone = other.lone ? other.lone : lone;
    variants = other.variants ? other.variants : variants;
}

ProjectSettings ProjectFile::settingsFor(const QString& filePath) const {
    const QString relative =
        QDir(directory).relativeFilePath(QDir::cleanPath(QFileInfo(filePath).absoluteFilePath()));
    ProjectSettings merged = settings;
    for (const ProjectOverride& override : overrides) {
        if (override.pattern.match(relative).hasMatch()) {
            merged.overlay(override.settings);
        }
    }
    return merged;
}

ProjectSettings ProjectFile::settingsForDirectory(const QString& path) const {
    // A name that every "*" matches and no written name does.
    const QString relative = QDir(directory).relativeFilePath(
        QDir::cleanPath(QFileInfo(path).absoluteFilePath() + QStringLiteral("/\u0001")));
    ProjectSettings merged = settings;
    for (const ProjectOverride& override : overrides) {
        if (override.pattern.match(relative).hasMatch()) {
            merged.overlay(override.settings);
        }
    }
    return merged;
}

QString ProjectFileResult::problem() const {
    return errorLine > 0 ? QStringLiteral("%1:%2: %3").arg(errorPath).arg(errorLine).arg(error)
                         : QStringLiteral("%1: %2").arg(errorPath, error);
}

QString findProjectFile(const QString& directory) {
    QDir dir(QFileInfo(directory).absoluteFilePath());
    for (;;) {
        const QString candidate = dir.filePath(kProjectFileName.toString());
        const QFileInfo info(candidate);
        if (info.exists() || info.isSymLink()) {
            return shownPath(QDir::cleanPath(candidate));
        }
        if (!dir.cdUp()) {
            return {};
        }
    }
}

ProjectFileResult readProjectFile(const QString& path, const EngineTexts& texts) {
    QByteArray bytes;
    try {
        bytes = readShaderFile(path);
    } catch (const FileError& error) {
        ProjectFileResult result;
        result.errorPath = path;
        result.error =
            texts.projectUnreadable.arg(QString::fromStdString(error.what()).section(u'\n', 1));
        return result;
    }
    return parseProjectFile(bytes, path, texts);
}

ProjectFileResult parseProjectFile(const QByteArray& text, const QString& path,
                                   const EngineTexts& texts) {
    return Reader(path, texts).run(text);
}

QString shownPath(const QString& absolutePath) {
    const QString relative = QDir::current().relativeFilePath(absolutePath);
    return relative.startsWith(QStringLiteral("../")) || relative == u".." ||
                   QDir::isAbsolutePath(relative)
               ? absolutePath
               : relative;
}

}  // namespace tessory
