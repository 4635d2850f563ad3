// SPDX-License-Identifier: MIT
#pragma once

#include "archive/rcx.h"
#include "texts/texts.h"

#include <QObject>

class QWidget;

namespace tessory {

class OpenPair;
class Prompter;

// F10: "shaders.dat", the enciphered archive of every pair of the WorkSpace, written behind the
// progress window.
class ArchiveCommand : public QObject {
    Q_OBJECT
public:
    ArchiveCommand(const OpenPair& workspace, Prompter& prompter, QWidget* owner);

    void setTexts(const Texts& texts) { texts_ = texts; }
    void writeShaderArchive();

private:
    const OpenPair& workspace_;
    Prompter& prompter_;
    QWidget* owner_;
    Texts texts_;
    // The random prefixes of the archive lines: keyed once per run and only ever advanced, so the
    // first archive after a start is always the same and every later one differs.
    RCxState generator_ = RCxNewGenerator();
};

}  // namespace tessory
