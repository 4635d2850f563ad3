// SPDX-License-Identifier: MIT
#include "compile/stage_names.h"

namespace tessory {
namespace {

constexpr QStringView kGlsl = u".glsl";

bool endsWithIgnoringAsciiCase(QStringView name, QStringView ending) {
    return name.size() >= ending.size() &&
           sameNameIgnoringAsciiCase(name.sliced(name.size() - ending.size()), ending);
}

bool isPragmaBlank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

StageExtensions::StageExtensions() {
    for (const ShaderStage stage : kAllStages) {
        lists_[std::size_t(stage)] = {u'.' + stageWord(stage)};
    }
}

void StageExtensions::set(ShaderStage stage, const QStringList& extensions) {
    lists_[std::size_t(stage)] = extensions;
}

PairExtensions StageExtensions::pair() const {
    return {of(ShaderStage::Vertex).value(0), of(ShaderStage::Fragment).value(0)};
}

std::optional<StageName> StageExtensions::stageOfName(const QString& fileName) const {
    const auto match = [&](QStringView name, bool configured) -> std::optional<StageName> {
        std::optional<StageName> best;
        qsizetype bestLength = 0;
        for (const ShaderStage stage : kAllStages) {
            const QStringList usual{u'.' + stageWord(stage)};
            for (const QString& extension : configured ? of(stage) : usual) {
                if (extension.size() > bestLength && name.size() > extension.size() &&
                    endsWithIgnoringAsciiCase(name, extension)) {
                    bestLength = extension.size();
                    best = StageName{stage, name.chopped(extension.size()).toString(), configured};
                }
            }
        }
        return best;
    };
    const QStringView name(fileName);
    for (const bool configured : {true, false}) {
        if (std::optional<StageName> found = match(name, configured)) {
            return found;
        }
        if (isGlslFileName(fileName)) {
            if (std::optional<StageName> found = match(name.chopped(kGlsl.size()), configured)) {
                return found;
            }
        }
    }
    return std::nullopt;
}

bool isGlslFileName(const QString& fileName) {
    return fileName.size() > kGlsl.size() && endsWithIgnoringAsciiCase(fileName, kGlsl);
}

std::optional<ShaderStage> pragmaStage(QByteArrayView source) {
    for (qsizetype at = source.indexOf("shader_stage"); at >= 0;
         at = source.indexOf("shader_stage", at + 1)) {
        // "#", blanks, "pragma", blanks before the word, at the start of its line.
        qsizetype pos = at - 1;
        while (pos >= 0 && isPragmaBlank(source[pos])) {
            --pos;
        }
        if (pos < 5 || source.sliced(pos - 5, 6) != "pragma") {
            continue;
        }
        pos -= 6;
        while (pos >= 0 && isPragmaBlank(source[pos])) {
            --pos;
        }
        if (pos < 0 || source[pos] != '#') {
            continue;
        }
        for (--pos; pos >= 0 && isPragmaBlank(source[pos]); --pos) {
        }
        if (pos >= 0 && source[pos] != '\n' && source[pos] != '\r') {
            continue;
        }
        qsizetype open = at + 12;
        while (open < source.size() && isPragmaBlank(source[open])) {
            ++open;
        }
        const qsizetype close = source.indexOf(')', open);
        if (open >= source.size() || source[open] != '(' || close < 0) {
            continue;
        }
        return stageFromPragmaName(source.sliced(open + 1, close - open - 1).trimmed());
    }
    return std::nullopt;
}

}  // namespace tessory
