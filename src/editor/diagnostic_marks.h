// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringView>
#include <QTextCursor>

#include <utility>

namespace tessory {

class CodeEdit;

// A compiler message as a pane draws it.
struct PaneDiagnostic {
    int line = 0;     // 0-based
    int column = -1;  // 0-based; below 0 when the compiler named none
    bool warning = false;
    QString text;
};

inline const QColor kErrorMarkColour(0xE0, 0x1B, 0x1B);
inline const QColor kWarningMarkColour(0xF0, 0xA0, 0x00);

// The characters [first, second) of a line that a message at `column` underlines: from the
// column to the end of its token (a name or a number, or a single other character; blanks at
// the column lead to the token after them). Without a column, or one past the line's text, the
// line's text without its blanks at either end.
std::pair<int, int> underlineSpan(QStringView line, int column);

// The messages of the last compile in one pane, as an editor of code draws them: a wavy
// underline from the compiler's column, a mark in the line-number gutter, red for an error and
// amber for a warning, and the message as the tooltip of both. They move with the text they mark
// until the next compile replaces them.
class DiagnosticMarks : public QObject {
    Q_OBJECT
public:
    explicit DiagnosticMarks(CodeEdit* edit);

    void show(const QList<PaneDiagnostic>& diagnostics);
    // The messages at a place of the text, one a line; `column` below 0 for the whole line (the
    // gutter's tooltip).
    QString messagesAt(int line, int column) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Shown {
        QTextCursor range;
        QString text;
    };

    CodeEdit* edit_;
    QList<Shown> shown_;
};

}  // namespace tessory
