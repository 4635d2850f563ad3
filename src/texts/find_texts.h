// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace tessory {

// The captions and messages of the find, replace and go-to-line bar.
struct FindTexts {
    QString find;
    QString replaceWith;
    QString previous;
    QString next;
    QString replace;
    QString replaceAll;
    QString wholeWords;
    QString matchCase;
    QString regularExpression;
    QString close;
    QString notFound;
    QString invalidPattern;  // %1: what is wrong with it
    QString replaced;        // %1: how many matches were replaced
    QString searching;
    QString searchStopped;
    QString goToLine;
    QString go;
    QString lineHint;  // the line field's placeholder
    QString badLine;   // %1: what the user typed
};

FindTexts findTexts(bool german);

}  // namespace tessory
