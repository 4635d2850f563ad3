// SPDX-License-Identifier: MIT
#pragma once

#include "editor/assist_provider.h"
#include "editor/glsl_navigation.h"
#include "workspace/pair_side.h"

#include <QObject>

class QComboBox;
class QTextBlock;

namespace tessory {

class AssistModel;
class CodeEdit;
class CompletionPopup;
class SignaturePopup;

// The GLSL assist of one pane: the completion list (Ctrl+Space, or by itself after two letters
// of a name or a '.'), the signature help of a call (after '(' and ','; Up and Down pick an
// overload), the hover text of a name and the same on F1, go to definition (F2, Ctrl+click) and
// Alt+Left back, and the outline's drop-down, which follows the caret. The queries run on the
// model's last parse and read only the lines up to the caret's; one that takes longer than a key
// may switch the pane's assist off.
class PaneAssist : public QObject {
    Q_OBJECT
public:
    PaneAssist(AssistModel& model, PairSide side, CodeEdit& edit, QComboBox& outline);

    static constexpr int kSlowQueryMs = 100;

    void setGerman(bool german) { german_ = german; }
    CompletionPopup& completionPopup() const { return *completion_; }
    SignaturePopup& signaturePopup() const { return *signature_; }
    QComboBox& outline() const { return outline_; }

    void complete();
    void showQuickHelp();
    void goToDefinition();
    void showOutline();

signals:
    // A declaration to show, of this pane's program: the pair editor knows the panes.
    void navigate(const glsl::Location& to);
    void backRequested();
    // Go to definition on an #include line: the file it names, as written there.
    void includeRequested(const QString& name);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Asks for the file of an #include line at the line (0-based); false for another line.
    bool requestInclude(int line);
    bool keyPressed(QKeyEvent* event);
    void typed();
    void caretMoved();
    void propose(const AssistProvider& provider, bool opened);
    void accept();
    void hidePopups();
    void fillOutline();
    std::optional<glsl::Location> definitionAt(glsl::TextPosition at);
    // The query's text, read from the document: its lines up to `line`.
    const QString& window(int line);
    glsl::TextPosition caret() const;
    QRect caretRect() const;
    // Runs a query, and switches the pane's assist off when it took too long.
    template <typename Query>
    auto timed(Query query);

    AssistModel& model_;
    PairSide side_;
    CodeEdit& edit_;
    QComboBox& outline_;
    CompletionProvider completer_;
    SignatureProvider signatures_;
    CompletionPopup* completion_;
    SignaturePopup* signature_;
    QList<glsl::OutlineEntry> entries_;
    QString window_;
    int outlineLine_ = -1;
    bool german_ = false;
    bool typing_ = false;
};

}  // namespace tessory
