// SPDX-License-Identifier: MIT
#pragma once

#include "compile/driver_host.h"
#include "preview/preview_program.h"
#include "preview/renderer.h"
#include "texts/preview_texts.h"

#include <QElapsedTimer>
#include <QHash>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>

class QComboBox;
class QDoubleSpinBox;
class QFormLayout;
class QLabel;
class QPushButton;
class QSlider;

namespace tessory {

class Prompter;
class PreviewView;

// The preview: the open program drawn on a mesh the user picks, or over the whole view when it is
// a fragment shader alone, with the uniforms it declares to edit. Programs for Vulkan are not
// drawn. The frames are drawn by the driver host, so that the window holds no OpenGL context for
// them, one at a time and at most at the display's rate (60 a second at most). It draws only
// while shown and its window is not minimised: after a live compile without errors, when asked,
// when a view or value changes, and continuously while the program declares a time.
class PreviewPanel : public QWidget {
    Q_OBJECT

public:
    // The current program, as the driver gets it.
    using Program = std::function<PreviewProgram()>;

    PreviewPanel(Prompter& prompter, Program program, DriverHost& host, QWidget* parent = nullptr);
    ~PreviewPanel() override;

    void setTexts(const PreviewTexts& texts);
    // The shader files of the WorkSpace, which Save image never replaces.
    void setShaderFiles(std::function<QStringList()> files) { shaderFiles_ = std::move(files); }
    // The open pair: its name keeps the values given to its uniforms until the program ends,
    // its directory holds the images named like samplers.
    void setPair(const QString& name, const QString& directory);
    // The live compile's answer: its messages shown over the last frame when it found errors,
    // a new frame otherwise.
    void liveChecked(const QString& messages, bool errors);
    // Draws with the current sources as soon as the frame before has come, when shown.
    void refresh();
    // A frame that takes longer ends the host.
    void setFrameTimeLimit(int seconds) { frameLimitMs_ = seconds * 1000; }
    // The shortest time between two frames.
    int frameIntervalMs() const;
    void setMesh(MeshKind mesh);
    void setBackground(const QColor& colour);
    void setUniformValue(const QString& name, const std::vector<float>& value);
    void resetView();
    void saveImage();

    const QImage& frame() const;
    // Why there is no new frame (compile messages, no context); empty after a good frame.
    QString message() const;
    // What the last good frame could not use (images named like its samplers), one per line.
    QString notes() const;
    const QList<UniformInfo>& uniforms() const { return uniforms_; }
    bool animating() const { return animation_.isActive(); }
    // A frame is on its way, or waits for its turn to be asked for while the panel shows.
    bool framePending() const { return inFlight_ != 0 || (wanted_ && showing()); }

signals:
    // A frame came from the host and is shown.
    void frameShown();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    PreviewScene scene(const PreviewProgram& program, QSize size) const;
    bool showing() const;
    void draw();
    // Why the program is not drawn; empty when it is.
    QString notDrawnWhy(const PreviewProgram& program) const;
    // Sends the frame that is wanted when none is on its way and the interval has passed.
    void pump();
    void frameAnswered(quint64 id, const QByteArray& payload);
    void frameFailed(quint64 id, const HostFailure& failure);
    void showFrame(const PreviewFrame& frame);
    void showMessage(const QString& text);
    QString failureText(const HostFailure& failure) const;
    void showUniforms(const QList<UniformInfo>& uniforms);
    QWidget* editorFor(const UniformInfo& uniform);
    QSlider* floatSlider(const QString& name, QDoubleSpinBox* field);
    // The number fields of the uniform's row as it is now; none when it has no row.
    QList<QDoubleSpinBox*> valueFields(const QString& uniform) const;
    void chooseColour(const QString& uniform);
    void togglePlaying();
    void showImageProblems(const QList<ImageProblem>& problems);
    // The shader file that `target` is, when it is one.
    QString shaderFileAt(const QString& target) const;
    void updateAnimation();

    Prompter& prompter_;
    Program program_;
    DriverHost& host_;
    std::function<QStringList()> shaderFiles_;
    PreviewTexts texts_;
    int frameLimitMs_ = 2000;
    quint64 inFlight_ = 0;
    bool wanted_ = false;
    QElapsedTimer sinceSent_;
    QTimer pace_;
    QObject* watchedWindow_ = nullptr;

    QString pairName_;
    QString directory_;
    MeshKind mesh_ = MeshKind::Sphere;
    QColor background_{40, 40, 48};
    OrbitView view_;
    QPointF mouse_;
    QHash<QString, QHash<QString, std::vector<float>>> valuesByPair_;
    QList<UniformInfo> uniforms_;
    QString uniformSignature_;

    QTimer animation_;
    QElapsedTimer clock_;
    float pausedAt_ = 0;
    bool playing_ = true;

    QComboBox* meshChoice_ = nullptr;
    QPushButton* resetButton_ = nullptr;
    QPushButton* backgroundButton_ = nullptr;
    QPushButton* playButton_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QComboBox* saveSize_ = nullptr;
    PreviewView* viewWidget_ = nullptr;
    QLabel* message_ = nullptr;
    QLabel* notes_ = nullptr;
    QLabel* uniformsTitle_ = nullptr;
    QWidget* uniformsBox_ = nullptr;
    QFormLayout* uniformsForm_ = nullptr;
};

}  // namespace tessory
