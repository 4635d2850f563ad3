// SPDX-License-Identifier: MIT
#include "app/command_line.h"
#include "app/driver_host_main.h"
#include "app/first_start.h"
#include "app/icons.h"
#include "app/main_window.h"
#include "ui/prompter.h"

#include <QApplication>
#include <QLocale>
#include <QMessageBox>

#include <cstring>
#include <exception>
#include <optional>

namespace {

// The last line of defence: an exception that escapes an event handler is shown, and the program
// goes on. Commands catch their own errors; this only keeps a forgotten one from ending the run.
class TessoryApplication final : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& error) {
            QMessageBox::critical(activeWindow(), tessory::kProgramTitle,
                                  QString::fromUtf8(error.what()));
        }
        return false;
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], tessory::kDriverHostArgument) == 0) {
        return tessory::runDriverHost(argc, argv);
    }
    if (const std::optional<int> status = tessory::answerBeforeStart(argc, argv)) {
        return *status;
    }
    TessoryApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Brimvale"));
    QApplication::setApplicationName(QStringLiteral("GLSL Tessory"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.1.20"));
    const tessory::CommandLine commandLine = tessory::parseCommandLine(QApplication::arguments());
    if (commandLine.action != tessory::CommandLine::Action::Run) {
        return tessory::answerWithoutWindow(commandLine);
    }
    QApplication::setWindowIcon(tessory::applicationIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("example.brimvale.GlslTessory"));

    tessory::QtPrompter prompter;
    tessory::MainWindow::Environment environment;
    environment.prompter = &prompter;
    environment.programDir = tessory::defaultWorkspace(
        QApplication::applicationDirPath() + QLatin1Char('/'), QSettings());
    environment.workspace = commandLine.workspace;
    environment.languageName = QLocale::system().nativeLanguageName();
    environment.openSettings = [] { return std::make_unique<QSettings>(); };
    environment.driverHostProgram = QApplication::applicationFilePath();

    tessory::MainWindow window(std::move(environment));
    window.show();
    return QApplication::exec();
}
