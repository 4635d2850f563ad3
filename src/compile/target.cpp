// SPDX-License-Identifier: MIT
#include "compile/target.h"

#include <QList>

namespace tessory {
namespace {

struct TargetFacts {
    Target target;
    QStringView word;
    QStringView title;
};

constexpr TargetFacts kTargets[] = {
    {Target::Gl, u"gl", u"GL"},
    {Target::GlCore, u"gl-core", u"GL core"},
    {Target::Gles, u"gles", u"GLES"},
    {Target::Vulkan, u"vulkan", u"Vulkan"},
};

constexpr QStringView kVulkanWords[] = {u"vulkan1.0", u"vulkan1.1", u"vulkan1.2", u"vulkan1.3"};

bool isSpaceOrLineEnd(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

bool isWordChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// The position of the first byte that is neither blank nor inside a comment, from pos on.
qsizetype skipBlanksAndComments(QByteArrayView text, qsizetype pos) {
    while (pos < text.size()) {
        if (isSpaceOrLineEnd(text[pos])) {
            ++pos;
        } else if (text.sliced(pos).startsWith("//")) {
            const qsizetype end = text.indexOf('\n', pos);
            pos = end < 0 ? text.size() : end + 1;
        } else if (text.sliced(pos).startsWith("/*")) {
            const qsizetype end = text.indexOf("*/", pos + 2);
            pos = end < 0 ? text.size() : end + 2;
        } else {
            break;
        }
    }
    return pos;
}

}  // namespace

QString targetWord(Target target) {
    return kTargets[int(target)].word.toString();
}

std::optional<Target> targetFromWord(QStringView word) {
    for (const TargetFacts& facts : kTargets) {
        if (facts.word == word) {
            return facts.target;
        }
    }
    return std::nullopt;
}

QString targetTitle(Target target) {
    return kTargets[int(target)].title.toString();
}

QString vulkanVersionWord(VulkanVersion version) {
    return kVulkanWords[int(version)].toString();
}

std::optional<VulkanVersion> vulkanVersionFromWord(QStringView word) {
    for (int i = 0; i < int(std::size(kVulkanWords)); ++i) {
        if (kVulkanWords[i] == word) {
            return VulkanVersion(i);
        }
    }
    return std::nullopt;
}

GlslVersion readGlslVersion(QByteArrayView source) {
    GlslVersion version;
    qsizetype pos = skipBlanksAndComments(source, 0);
    if (pos >= source.size() || source[pos] != '#') {
        return version;
    }
    ++pos;
    while (pos < source.size() && (source[pos] == ' ' || source[pos] == '\t')) {
        ++pos;
    }
    if (!source.sliced(pos).startsWith("version") ||
        (pos + 7 < source.size() && isWordChar(source[pos + 7]))) {
        return version;
    }
    const qsizetype lineEnd = [&] {
        for (qsizetype i = pos; i < source.size(); ++i) {
            if (source[i] == '\n' || source[i] == '\r') {
                return i;
            }
        }
        return source.size();
    }();
    const QByteArrayView line = source.sliced(pos + 7, lineEnd - pos - 7);
    const QList<QByteArray> words = line.toByteArray().simplified().split(' ');
    version.given = true;
    bool ok = false;
    const int number = words.value(0).toInt(&ok);
    version.number = ok ? number : 0;
    version.profile = words.value(1);
    qsizetype next = lineEnd;
    if (next < source.size() && source[next] == '\r') {
        ++next;
    }
    if (next < source.size() && source[next] == '\n') {
        ++next;
    }
    version.bodyStart = next;
    qsizetype lines = 0;
    for (qsizetype i = 0; i < next; ++i) {
        if (source[i] == '\n' || (source[i] == '\r' && (i + 1 >= next || source[i + 1] != '\n'))) {
            ++lines;
        }
    }
    version.bodyLine = lines;
    return version;
}

Target autoTarget(const GlslVersion& version) {
    if (version.profile == "es") {
        return Target::Gles;
    }
    if (version.profile == "core" ||
        (version.number >= 140 && version.profile != "compatibility")) {
        return Target::GlCore;
    }
    return Target::Gl;
}

}  // namespace tessory
