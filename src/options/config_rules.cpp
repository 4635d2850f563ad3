// SPDX-License-Identifier: MIT
#include "options/config_rules.h"

#include <algorithm>

namespace tessory {

QString normalizeExtension(const QString& typed) {
    QString lowered = typed;
    for (QChar& c : lowered) {
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) {
            c = QChar(c.unicode() + ('a' - 'A'));
        }
    }
    return trimControls(lowered);
}

CheckedExtensions checkExtensions(const QString& vertexField, const QString& fragmentField,
                                  const QString& currentVertex, const QString& currentFragment) {
    CheckedExtensions result;
    result.vertex = normalizeExtension(vertexField);
    result.fragment = normalizeExtension(fragmentField);
    if (result.vertex.isEmpty() || !isSafeExtension(result.vertex)) {
        result.verdict = ExtensionCheck::InvalidVertex;
    } else if (result.fragment.isEmpty() || !isSafeExtension(result.fragment)) {
        result.verdict = ExtensionCheck::InvalidFragment;
    } else if (result.vertex == result.fragment) {
        result.verdict = ExtensionCheck::NotDifferent;
    } else if (result.vertex == currentVertex && result.fragment == currentFragment) {
        result.verdict = ExtensionCheck::Unchanged;
    } else {
        result.verdict = ExtensionCheck::Changed;
    }
    return result;
}

CheckedStageExtensions checkStageExtensions(const PairExtensions& fields,
                                            const PairExtensions& current) {
    const CheckedExtensions pair =
        checkExtensions(fields.vertex, fields.fragment, current.vertex, current.fragment);
    CheckedStageExtensions result;
    result.verdict = pair.verdict;
    result.extensions = {pair.vertex,
                         pair.fragment,
                         normalizeExtension(fields.geometry),
                         normalizeExtension(fields.tessControl),
                         normalizeExtension(fields.tessEval),
                         normalizeExtension(fields.compute)};
    if (pair.verdict != ExtensionCheck::Unchanged && pair.verdict != ExtensionCheck::Changed) {
        return result;
    }
    const PairExtensions& chosen = result.extensions;
    for (const PairSide side : kProgramSides) {
        const QString& extension = chosen.of(side);
        if (extension.isEmpty() || !isSafeExtension(extension)) {
            result.verdict = ExtensionCheck::InvalidStage;
            result.stage = side;
            return result;
        }
    }
    for (int i = 0; i < kSideCount; ++i) {
        for (int j = i + 1; j < kSideCount; ++j) {
            if (chosen.of(kProgramSides[i]) == chosen.of(kProgramSides[j])) {
                result.verdict = ExtensionCheck::SharedExtension;
                result.stage = kProgramSides[i];
                result.otherStage = kProgramSides[j];
                return result;
            }
        }
    }
    const bool unchanged =
        std::all_of(kProgramSides.begin(), kProgramSides.end(),
                    [&](PairSide side) { return chosen.of(side) == current.of(side); });
    result.verdict = unchanged ? ExtensionCheck::Unchanged : ExtensionCheck::Changed;
    return result;
}

FormatBackup takeFormatBackup(const TCFG& cfg) {
    return {categoryFormats(cfg), cfg.AutoSaveOnChange, cfg.CompileTimeLimit, cfg.FrameTimeLimit};
}

void restoreFormatBackup(TCFG& cfg, const FormatBackup& backup) {
    for (int i = 0; i < kCategoryCount; ++i) {
        fontColor(cfg, Category(i)) = backup.formats[i].color;
        textEffects(cfg, Category(i)) = backup.formats[i].effects;
    }
    cfg.AutoSaveOnChange = backup.autoSaveOnChange;
    cfg.CompileTimeLimit = backup.compileTimeLimit;
    cfg.FrameTimeLimit = backup.frameTimeLimit;
}

TColor fromQColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    return TColor(rgb.red()) | TColor(rgb.green()) << 8 | TColor(rgb.blue()) << 16;
}

qint32 withEffect(qint32 effects, qint32 bit, bool on) {
    return on ? effects | bit : effects & ~bit;
}

ConfigCaptions configCaptions(bool german) {
    if (german) {
        return {
            QStringLiteral("Shader-Dateiendungen"),
            QStringLiteral(" Farben "),
            QStringLiteral(" Fett"),
            QStringLiteral(" Kursiv"),
            QStringLiteral(" Unterstrichen"),
            QStringLiteral(" Dateiendungen "),
            QStringLiteral(" Änderungen immer speichern"),
            QStringLiteral(" Zeitgrenzen des Treibers "),
            QStringLiteral("s für eine Übersetzung"),
            QStringLiteral("s für ein Vorschaubild"),
            QStringLiteral("OK"),
            QStringLiteral("Abbrechen"),
            QStringLiteral("Ungültige Dateiendung für %1 Shader File!"),
            QStringLiteral("%1 und %2 Shader dürfen nicht dieselbe Dateiendung %3 haben!"),
        };
    }
    return {
        QStringLiteral("ShaderFileExt"),
        QStringLiteral(" Colors "),
        QStringLiteral(" Bold"),
        QStringLiteral(" Italic"),
        QStringLiteral(" Underline"),
        QStringLiteral(" FileExtensions "),
        QStringLiteral(" No Save Files Questions (always save)"),
        QStringLiteral(" Driver time limits "),
        QStringLiteral("s for a compile"),
        QStringLiteral("s for a preview frame"),
        QStringLiteral("OK"),
        QStringLiteral("Cancel"),
        QStringLiteral("Invalid %1 FileExt!"),
        QStringLiteral("%1 and %2 shaders may not share the FileExtension %3!"),
    };
}

}  // namespace tessory
