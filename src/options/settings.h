// SPDX-License-Identifier: MIT
#pragma once

#include "editor/text_format.h"
#include "workspace/name_rules.h"

#include <QSize>
#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

namespace tessory {

// Every user setting, named as its stored value. Lives as long as the main window.
struct TCFG {
    QString CurrentDir;  // the WorkSpace; always ends in "/" once the window has started
    QString CurrentFileName;
    qint32 main_pos_left = 10;
    qint32 main_pos_top = 10;
    qint32 main_size_width = 860;
    qint32 main_size_height = 660;
    bool main_size_maximized = false;
    TColor FontColor_DataTypes = 0x000000FF;
    TColor FontColor_FunctionNames = 0x00FF0000;
    TColor FontColor_StateVars = 0x00000000;
    TColor FontColor_TypeQualifiers = 0x00400080;
    TColor FontColor_Comment = 0x00008000;
    qint32 TextEffects_DataTypes = 0;
    qint32 TextEffects_FunctionNames = 0;
    qint32 TextEffects_StateVars = EffectUnderline;
    qint32 TextEffects_TypeQualifiers = 0;
    qint32 TextEffects_Comment = 0;
    QString FileExtVertex = QStringLiteral(".vert");
    QString FileExtFragment = QStringLiteral(".frag");
    bool AutoSaveOnChange = false;
    // The preview dock: shown or not, and its size when docked.
    bool PreviewVisible = false;
    qint32 PreviewWidth = 380;
    qint32 PreviewHeight = 480;
    // Font points the panes are zoomed by, both alike; the panes keep it within their range.
    qint32 EditorZoom = 0;
    // Seconds the driver may take on one compile and on one preview frame before it is stopped.
    qint32 CompileTimeLimit = 10;
    qint32 FrameTimeLimit = 2;
    // The extensions of the stages a pair may add, and of compute shaders.
    QString FileExtGeometry = QStringLiteral(".geom");
    QString FileExtTessControl = QStringLiteral(".tesc");
    QString FileExtTessEval = QStringLiteral(".tese");
    QString FileExtCompute = QStringLiteral(".comp");
    // The targets the user chose for programs, one "WorkSpace<TAB>name<TAB>target word" a line.
    QString ProgramTargets;
};

// The time limits a store may give; a value outside is left at its default.
inline constexpr qint32 kMaxCompileTimeLimit = 3600;
inline constexpr qint32 kMaxFrameTimeLimit = 600;

// The defaults of a first start: the WorkSpace is the program's own directory.
TCFG defaultSettings(const QString& programDir);

// The extensions of every stage as the settings hold them.
PairExtensions stageExtensions(const TCFG& cfg);

TColor& fontColor(TCFG& cfg, Category category);
qint32& textEffects(TCFG& cfg, Category category);
CategoryFormats categoryFormats(const TCFG& cfg);

// A stored value by name; nothing when the store has no such value.
using SettingsLookup = std::function<std::optional<QVariant>(const QString& name)>;

// Fills cfg from the store with the read rules of the settings key: the values are read in a
// fixed order, and the first integer that is missing or not a 32-bit integer (or a string value
// of another type) ends the reading, leaving it and every later field at its default. A missing
// string reads as empty. Position and size are taken only when both are 0 or more and their sum
// fits the screen.
void readSettings(const SettingsLookup& lookup, TCFG& cfg, QSize screen);

// Every stored field with its value, in the order in which it is written.
QList<std::pair<QString, QVariant>> storedValues(const TCFG& cfg);

// Start-up corrections: extensions stripped of blanks and control characters (empty ones, and
// those that are no safe extension, fall back to the defaults), a WorkSpace that is not an
// absolute path replaced by the default, and the window fitted to the screen.
void trimExtensions(TCFG& cfg);
void checkWorkspace(TCFG& cfg, const QString& programDir);
void fitToScreen(TCFG& cfg, QSize screen);

// An extension is put behind a base name inside the WorkSpace: one holding "/", "\\" or a
// control character could name a file elsewhere or one the file system cannot hold.
bool isSafeExtension(const QString& extension);

// Leading and trailing characters up to the space (blanks and control characters) removed.
QString trimControls(const QString& text);

}  // namespace tessory
