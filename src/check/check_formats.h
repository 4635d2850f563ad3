// SPDX-License-Identifier: MIT
#pragma once

#include "check/workspace_check.h"

#include <QByteArray>
#include <QJsonArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace tessory {

// The path as reached from the working directory, with "/" between its parts: what SARIF viewers
// and CI annotations resolve against the checked-out repository.
QString pathFromWorkingDirectory(const QString& path);

// One SARIF 2.1.0 log with one run: the tool with one rule per kind of message (compile, link,
// workspace, file, timeout), and one result per message, located by its file relative to the
// working directory and, where the driver gave them, its line and column. With `positions`
// (one per message, from a shard's run) each result carries its own as the property "position".
QByteArray sarifReport(const QList<ShaderMessage>& messages,
                       const QList<QJsonArray>& positions = {});

// GitHub Actions workflow commands, one a message: "::error file=F,line=L,col=C::TEXT", or
// "::warning ..."; without a line only the file is named.
QStringList githubLines(const QList<ShaderMessage>& messages);

}  // namespace tessory
