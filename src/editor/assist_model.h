// SPDX-License-Identifier: MIT
#pragma once

#include "editor/glsl_symbols.h"
#include "workspace/pair_side.h"

#include <QObject>
#include <QThreadPool>
#include <QTimer>

#include <array>
#include <atomic>
#include <memory>
#include <optional>

namespace tessory {

class ShaderDocument;

// The program's documents as the GLSL core last parsed them, for the assist of every pane: a
// document is parsed again on a worker thread a moment after its last change, with the line
// being typed blanked if it does not parse, so that typing never waits for a parse. A pane whose
// text is too large for that has its assist switched off until it holds another text.
class AssistModel : public QObject {
    Q_OBJECT
public:
    AssistModel(const std::array<ShaderDocument*, kPaneCount>& documents,
                QObject* parent = nullptr);
    ~AssistModel() override;

    static constexpr int kReparseDelayMs = 150;
    // About a 100,000-line shader; a 16 MB one would take seconds of the front end's time.
    static constexpr int kMaxCharacters = 4'000'000;

    // Every document, by side: the last parse of each, or, before there is one, its builtins.
    const glsl::Program& program();
    // The name a document has in the program: its file, or the stage's name without one.
    QString fileName(PairSide side) const;
    std::optional<PairSide> sideOfFile(const QString& file) const;

    bool isOn(PairSide side) const { return state_[int(side)].on; }
    // For a query that took too long: off until the pane holds another text.
    void switchOff(PairSide side, bool tooLarge);
    // The line the caret of a side's pane is on, which a parse may blank.
    void setEditedLine(PairSide side, int line) { state_[int(side)].editedLine = line; }
    // Parses now instead of after the delay (and waits for it).
    void parseAndWait(PairSide side);

signals:
    void parsed(PairSide side);
    void switchedOff(PairSide side, bool tooLarge);

private:
    struct State {
        ShaderDocument* document = nullptr;
        QTimer* timer = nullptr;
        bool on = true;
        int editedLine = -1;
        int generation = 0;
        std::shared_ptr<std::atomic_bool> cancel;
    };

    void changed(PairSide side);
    void replaced(PairSide side);
    void startParse(PairSide side);
    void finished(PairSide side, int generation, std::shared_ptr<const glsl::ParsedDocument> doc);

    std::array<State, kPaneCount> state_;
    glsl::Program program_;
    QThreadPool pool_;
};

}  // namespace tessory
