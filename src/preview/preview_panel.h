// SPDX-License-Identifier: MIT
#pragma once

#include "preview/renderer.h"
#include "texts/preview_texts.h"

#include <QElapsedTimer>
#include <QHash>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

class QComboBox;
class QDoubleSpinBox;
class QFormLayout;
class QLabel;
class QPushButton;
class QSlider;

namespace tessory {

class Prompter;
class PreviewView;

// The preview: the open pair drawn on a mesh the user picks, with the uniforms it declares to
// edit. It draws only while shown: when the sources have been still for a moment, when asked,
// when a view or value changes, and continuously while the program declares a time.
class PreviewPanel : public QWidget {
    Q_OBJECT

public:
    // The current vertex and fragment sources, as the driver gets them.
    using Sources = std::function<std::pair<QByteArray, QByteArray>()>;

    PreviewPanel(Prompter& prompter, Sources sources, std::function<GlContextResult()> makeContext,
                 QWidget* parent = nullptr);
    ~PreviewPanel() override;

    void setTexts(const PreviewTexts& texts);
    // The shader files of the WorkSpace, which Save image never replaces.
    void setShaderFiles(std::function<QStringList()> files) { shaderFiles_ = std::move(files); }
    // The open pair: its name keeps the values given to its uniforms until the program ends,
    // its directory holds the images named like samplers.
    void setPair(const QString& name, const QString& directory);
    // The text changed: drawn once it has been still for kQuietMs.
    void sourcesEdited();
    // Draws now with the current sources, when shown.
    void refresh();
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

    static constexpr int kQuietMs = 300;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // Made on the first frame, so that a preview never opened costs nothing.
    bool ensureRenderer();
    PreviewScene scene(QSize size) const;
    void draw();
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
    Sources sources_;
    std::function<GlContextResult()> makeContext_;
    std::function<QStringList()> shaderFiles_;
    PreviewTexts texts_;
    std::unique_ptr<PreviewRenderer> renderer_;
    QString rendererFailure_;
    bool rendererTried_ = false;

    QString pairName_;
    QString directory_;
    MeshKind mesh_ = MeshKind::Sphere;
    QColor background_{40, 40, 48};
    OrbitView view_;
    QPointF mouse_;
    QHash<QString, QHash<QString, std::vector<float>>> valuesByPair_;
    QList<UniformInfo> uniforms_;
    QString uniformSignature_;

    QTimer quiet_;
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
