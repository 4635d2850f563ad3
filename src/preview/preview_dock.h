// SPDX-License-Identifier: MIT
#pragma once

#include "compile/driver_messages.h"
#include "texts/texts.h"

#include <QObject>
#include <QSize>

#include <functional>

class QAction;
class QDockWidget;
class QMainWindow;

namespace tessory {

class AppSettings;
class LiveCheck;
class PairDocument;
class PreviewPanel;
class Prompter;
class WorkspaceController;
struct TCFG;

// The preview dock of a main window: it draws the open pair as the documents hold it through the
// live compile's driver host, follows the pair that is opened, and draws again after a live
// compile or a Test Shader without errors.
class PreviewDock : public QObject {
    Q_OBJECT
public:
    PreviewDock(Prompter& prompter, PairDocument& documents, const WorkspaceController& workspace,
                LiveCheck& live, const AppSettings& settings, QMainWindow* window);

    QDockWidget* dock() const { return dock_; }
    PreviewPanel* panel() const { return panel_; }

    void connectPreviewAction(QAction* preview);
    // Whether the open program is compiled for Vulkan, which the preview does not draw; until it
    // is set, no program is.
    void setVulkan(std::function<bool()> vulkan) { vulkan_ = std::move(vulkan); }
    void setTexts(const Texts& texts);
    // Start-up: the dock as the settings left it.
    void restore(const TCFG& settings);
    // Whether the dock is open and its size, kept with the settings.
    void storeInto(AppSettings& settings) const;

    void showPair(const QString& name, const QString& directory);
    void diagnosticsReady(const QList<ShaderMessage>& messages, bool clean);
    void Action_PreviewExecute();

private:
    QMainWindow* window_;
    PreviewPanel* panel_;
    QDockWidget* dock_;
    QAction* action_ = nullptr;
    std::function<bool()> vulkan_;
};

}  // namespace tessory
