// The headers that nearly every test includes, precompiled once per test program. The widget
// headers are only there for programs that link Qt Widgets, whose include path they need.
#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#if __has_include(<QApplication>) && __has_include(<QTest>)
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#endif
