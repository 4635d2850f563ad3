// SPDX-License-Identifier: MIT
#include "compile/json_lines.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>

#include <algorithm>

namespace tessory {
namespace {

// A JSON pointer's escapes: "~" as "~0", "/" as "~1".
QString escaped(QString key) {
    return key.replace(u'~', QStringLiteral("~0")).replace(u'/', QStringLiteral("~1"));
}

class Walker {
public:
    explicit Walker(QByteArrayView text) : text_(text) {}

    QHash<QString, int> run() {
        skipBlanks();
        if (pos_ < text_.size()) {
            lines_.insert(QString(), line_);
            value(QString(), 0);
        }
        return lines_;
    }

private:
    static constexpr int kDeepest = 512;

    void skipBlanks() {
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == '\n') {
                ++line_;
            } else if (c != ' ' && c != '\t' && c != '\r') {
                return;
            }
            ++pos_;
        }
    }

    // The string at pos, its escapes undone, pos past its closing quote.
    QString string() {
        const qsizetype start = pos_;
        ++pos_;
        while (pos_ < text_.size() && text_[pos_] != '"') {
            pos_ += text_[pos_] == '\\' ? 2 : 1;
        }
        ++pos_;
        const QByteArray quoted =
            text_.sliced(start, std::min(pos_, text_.size()) - start).toByteArray();
        // The JSON reader undoes the escapes as the document does.
        const QJsonDocument wrapped = QJsonDocument::fromJson('[' + quoted + ']');
        return wrapped.isArray() ? wrapped.array().at(0).toString() : QString();
    }

    void scalar() {
        while (pos_ < text_.size() && text_[pos_] != ',' && text_[pos_] != '}' &&
               text_[pos_] != ']' && text_[pos_] != ' ' && text_[pos_] != '\n' &&
               text_[pos_] != '\t' && text_[pos_] != '\r') {
            ++pos_;
        }
    }

    void value(const QString& pointer, int depth) {
        if (pos_ >= text_.size()) {
            return;
        }
        const char c = text_[pos_];
        if (c == '"') {
            string();
        } else if (c == '{' || c == '[') {
            if (depth >= kDeepest) {
                pos_ = text_.size();
                return;
            }
            container(pointer, c == '{', depth + 1);
        } else {
            scalar();
        }
    }

    void container(const QString& pointer, bool object, int depth) {
        ++pos_;
        for (int index = 0; pos_ < text_.size(); ++index) {
            skipBlanks();
            if (pos_ < text_.size() && (text_[pos_] == '}' || text_[pos_] == ']')) {
                ++pos_;
                return;
            }
            QString member = pointer + u'/';
            if (object) {
                const int keyLine = line_;
                member += escaped(string());
                lines_.insert(member, keyLine);
                skipBlanks();
                ++pos_;  // ':'
                skipBlanks();
            } else {
                member += QString::number(index);
                lines_.insert(member, line_);
            }
            value(member, depth);
            skipBlanks();
            if (pos_ < text_.size() && text_[pos_] == ',') {
                ++pos_;
            }
        }
    }

    QByteArrayView text_;
    qsizetype pos_ = 0;
    int line_ = 1;
    QHash<QString, int> lines_;
};

}  // namespace

QHash<QString, int> jsonPointerLines(QByteArrayView text) {
    return Walker(text).run();
}

int lineOfOffset(QByteArrayView text, qsizetype offset) {
    return int(text.first(std::clamp<qsizetype>(offset, 0, text.size())).count('\n')) + 1;
}

}  // namespace tessory
