// SPDX-License-Identifier: MIT
#include "compile/target_choices.h"

#include "workspace/name_rules.h"

#include <QStringList>

#include <algorithm>

namespace tessory {

QString TargetChoices::key(const QString& workspace, const QString& name) {
    return workspace + u'\t' + foldAsciiCase(name);
}

TargetChoices TargetChoices::fromText(const QString& text) {
    TargetChoices choices;
    for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(u'\t');
        if (fields.size() != 3 || fields[0].isEmpty() || fields[1].isEmpty()) {
            continue;
        }
        if (const std::optional<Target> target = targetFromWord(fields[2])) {
            choices.chosen_.insert(key(fields[0], fields[1]), *target);
        }
    }
    return choices;
}

QString TargetChoices::toText() const {
    QStringList lines;
    for (auto it = chosen_.cbegin(); it != chosen_.cend(); ++it) {
        lines << it.key() + u'\t' + targetWord(it.value());
    }
    // Sorted, so that the stored text does not change with the hash's order.
    std::sort(lines.begin(), lines.end());
    return lines.join(u'\n');
}

std::optional<Target> TargetChoices::chosen(const QString& workspace, const QString& name) const {
    const auto found = chosen_.constFind(key(workspace, name));
    return found == chosen_.cend() ? std::nullopt : std::optional<Target>(*found);
}

void TargetChoices::choose(const QString& workspace, const QString& name,
                           std::optional<Target> target) {
    if (target) {
        chosen_.insert(key(workspace, name), *target);
    } else {
        chosen_.remove(key(workspace, name));
    }
}

}  // namespace tessory
