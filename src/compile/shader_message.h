// SPDX-License-Identifier: MIT
#pragma once

#include "compile/shader_stage.h"
#include "compile/target.h"
#include "workspace/pair_side.h"

#include <QList>
#include <QMetaType>
#include <QString>

#include <optional>

namespace tessory {

enum class MessageSeverity { Error, Warning };

// Where a message comes from: one of the driver's logs, the WorkSpace itself (a lone file, a
// hidden pair), a shader file that could not be read, a driver that took too long, an include
// or define, the SPIR-V validator, or a compile that could not be set up (no context of the
// target's kind, a stage the target lacks).
enum class MessageOrigin {
    VertexCompile,
    FragmentCompile,
    Link,
    Workspace,
    File,
    GeometryCompile,
    TessControlCompile,
    TessEvaluationCompile,
    ComputeCompile,
    Timeout,
    // The compile of a stage only Vulkan has (the message names the stage).
    StageCompile,
    Include,
    Validate,
    Setup,
};

// A place in a file: 1-based line and column, each where known.
struct SourceLocation {
    QString path;
    std::optional<qint64> line;
    std::optional<qint64> column;

    friend bool operator==(const SourceLocation&, const SourceLocation&) = default;
};

// One message about a shader, read once from what the driver, the front end or the checker
// said: the compile engine makes them, the checker reports them, the editor lists them and
// jumps from them, the preview shows them.
struct ShaderMessage {
    // The file it is about; the editor's error list, which speaks of panes, leaves it empty.
    QString path;
    // 1-based source line, nothing when the message names none; a line 0 counts as line 1. An
    // error-list entry may name one before the first (0 or below): its jump shows the pane and
    // goes nowhere. The checker's messages never do.
    std::optional<qint64> line;
    MessageSeverity severity = MessageSeverity::Error;
    // The message without the driver's location and severity word.
    QString text;
    MessageOrigin origin = MessageOrigin::Workspace;
    // 1-based column, where the driver gives one (Mesa's "0:4(23):"); nothing otherwise.
    std::optional<qint64> column;
    // Messages of a compile: the stage that said it (none for link messages), the target it was
    // compiled for, and its variant of the project file (empty without variants).
    std::optional<ShaderStage> stage = std::nullopt;
    std::optional<Target> target = std::nullopt;
    QString variant = QString();
    // The #include lines that brought the file into the stage, innermost first.
    QList<SourceLocation> includedFrom = {};
    // The line as the error list shows it (with its "  [VertexShader]" tag there), or as it was
    // read from a log.
    QString shown = QString();
    // The pane of a pair it belongs to. The error list's OK lines and notes belong to none.
    std::optional<PairSide> pane = PairSide::Vertex;

    SourceLocation location() const { return {path, line, column}; }

    // Where a jump goes: the zero-based line, below 0 before the first, nothing when none.
    std::optional<qint64> lineIndex() const {
        return line ? std::optional<qint64>(*line - 1) : std::nullopt;
    }

    friend bool operator==(const ShaderMessage&, const ShaderMessage&) = default;
};

// The stage of a pane's file.
ShaderStage sideStage(PairSide side);

// The origin of a stage's compile messages.
MessageOrigin compileOrigin(ShaderStage stage);

// A message about the place `at`.
ShaderMessage messageAt(const SourceLocation& at, MessageSeverity severity, QString text,
                        MessageOrigin origin, std::optional<ShaderStage> stage = std::nullopt,
                        QList<SourceLocation> includedFrom = {});

}  // namespace tessory

Q_DECLARE_METATYPE(tessory::ShaderMessage)
