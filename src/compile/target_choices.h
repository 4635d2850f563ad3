// SPDX-License-Identifier: MIT
#pragma once

#include "compile/target.h"

#include <QHash>
#include <QString>

#include <optional>

namespace tessory {

// The targets the user chose for programs, each kept for its WorkSpace and its name (A-Z case
// ignored, as the WorkSpace list finds names), in the one line of text the settings store.
class TargetChoices {
public:
    // Lines of "WorkSpace<TAB>name<TAB>target word"; a line that does not read so is dropped.
    static TargetChoices fromText(const QString& text);
    QString toText() const;

    // Nothing when the program's target is left to its files and the project file.
    std::optional<Target> chosen(const QString& workspace, const QString& name) const;
    void choose(const QString& workspace, const QString& name, std::optional<Target> target);

private:
    static QString key(const QString& workspace, const QString& name);

    QHash<QString, Target> chosen_;
};

}  // namespace tessory
