// SPDX-License-Identifier: MIT
#include "options/config_rules.h"

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
    };
}

}  // namespace tessory
