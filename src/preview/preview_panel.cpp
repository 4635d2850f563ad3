// SPDX-License-Identifier: MIT
#include "preview/preview_panel.h"

#include "preview/preview_view.h"
#include "texts/prompter.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QImageWriter>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollArea>
#include <QSlider>
#include <QVBoxLayout>

#include <cmath>

namespace tessory {
namespace {

// The image sizes offered besides the panel's own.
constexpr QSize kImageSizes[] = {{512, 512}, {1024, 1024}, {1920, 1080}};

QString signatureOf(const QList<UniformInfo>& uniforms) {
    QString signature;
    for (const UniformInfo& u : uniforms) {
        signature += u.name + u'\x1f' + u.typeName + u'\x1e';
    }
    return signature;
}

bool isColourLike(const UniformInfo& u) {
    return u.type == UniformType::Vec3 || u.type == UniformType::Vec4;
}

}  // namespace

PreviewPanel::PreviewPanel(Prompter& prompter, Sources sources,
                           std::function<GlContextResult()> makeContext, QWidget* parent)
    : QWidget(parent),
      prompter_(prompter),
      sources_(std::move(sources)),
      makeContext_(std::move(makeContext)),
      texts_(previewTexts(false)) {
    setObjectName(QStringLiteral("PreviewPanel"));
    meshChoice_ = new QComboBox;
    meshChoice_->setObjectName(QStringLiteral("PreviewMesh"));
    resetButton_ = new QPushButton;
    resetButton_->setObjectName(QStringLiteral("PreviewResetView"));
    backgroundButton_ = new QPushButton;
    backgroundButton_->setObjectName(QStringLiteral("PreviewBackground"));
    playButton_ = new QPushButton;
    playButton_->setObjectName(QStringLiteral("PreviewPlay"));
    saveButton_ = new QPushButton;
    saveButton_->setObjectName(QStringLiteral("PreviewSaveImage"));
    saveSize_ = new QComboBox;
    saveSize_->setObjectName(QStringLiteral("PreviewImageSize"));
    viewWidget_ = new PreviewView;
    viewWidget_->setObjectName(QStringLiteral("PreviewView"));
    message_ = new QLabel;
    message_->setObjectName(QStringLiteral("PreviewMessage"));
    message_->setWordWrap(true);
    message_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    message_->setStyleSheet(QStringLiteral("color: #b00000;"));
    message_->hide();
    uniformsTitle_ = new QLabel;
    uniformsBox_ = new QWidget;
    uniformsForm_ = new QFormLayout(uniformsBox_);
    // Name and type above the editors: a vec4's four fields need the panel's whole width.
    uniformsForm_->setRowWrapPolicy(QFormLayout::WrapAllRows);
    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setWidget(uniformsBox_);
    scroll->setMinimumHeight(140);
    scroll->setMaximumHeight(260);

    auto* top = new QHBoxLayout;
    top->addWidget(meshChoice_, 1);
    top->addWidget(resetButton_);
    top->addWidget(backgroundButton_);
    top->addWidget(playButton_);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(saveSize_, 1);
    bottom->addWidget(saveButton_);
    auto* column = new QVBoxLayout(this);
    column->addLayout(top);
    column->addWidget(viewWidget_, 1);
    column->addWidget(message_);
    column->addWidget(uniformsTitle_);
    column->addWidget(scroll);
    column->addLayout(bottom);

    quiet_.setSingleShot(true);
    quiet_.setInterval(kQuietMs);
    connect(&quiet_, &QTimer::timeout, this, &PreviewPanel::refresh);
    // About 30 frames a second; the driver's time decides what is reached.
    animation_.setInterval(33);
    connect(&animation_, &QTimer::timeout, this, &PreviewPanel::draw);
    clock_.start();

    connect(meshChoice_, &QComboBox::activated, this,
            [this](int index) { setMesh(MeshKind(index)); });
    connect(resetButton_, &QPushButton::clicked, this, &PreviewPanel::resetView);
    connect(backgroundButton_, &QPushButton::clicked, this, [this] {
        if (const std::optional<QColor> chosen = prompter_.chooseColor(this, background_)) {
            setBackground(*chosen);
        }
    });
    connect(playButton_, &QPushButton::clicked, this, &PreviewPanel::togglePlaying);
    connect(saveButton_, &QPushButton::clicked, this, &PreviewPanel::saveImage);
    connect(viewWidget_, &PreviewView::orbited, this, [this](QPointF degrees) {
        view_.yaw -= float(degrees.x());
        view_.pitch = qBound(-89.0f, view_.pitch + float(degrees.y()), 89.0f);
        draw();
    });
    connect(viewWidget_, &PreviewView::zoomed, this, [this](float factor) {
        view_.distance = qBound(1.2f, view_.distance * factor, 20.0f);
        draw();
    });
    connect(viewWidget_, &PreviewView::pointerMoved, this, [this](QPointF at) { mouse_ = at; });
    connect(viewWidget_, &PreviewView::resized, this, [this] {
        if (isVisible()) {
            quiet_.start();
        }
    });
    setTexts(texts_);
}

PreviewPanel::~PreviewPanel() = default;

void PreviewPanel::setTexts(const PreviewTexts& texts) {
    texts_ = texts;
    meshChoice_->clear();
    for (const QString& name : texts.meshNames) {
        meshChoice_->addItem(name);
    }
    meshChoice_->setCurrentIndex(int(mesh_));
    meshChoice_->setToolTip(texts.mesh);
    resetButton_->setText(texts.resetView);
    backgroundButton_->setText(texts.background);
    playButton_->setText(playing_ ? texts.pause : texts.play);
    saveButton_->setText(texts.saveImage);
    saveSize_->clear();
    saveSize_->addItem(texts.panelSize);
    for (const QSize size : kImageSizes) {
        saveSize_->addItem(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height()));
    }
    uniformsTitle_->setText(texts.uniforms);
    uniformSignature_.clear();
    showUniforms(uniforms_);
}

void PreviewPanel::setPair(const QString& name, const QString& directory) {
    pairName_ = name;
    directory_ = directory;
    refresh();
}

void PreviewPanel::sourcesEdited() {
    if (isVisible()) {
        quiet_.start();
    }
}

void PreviewPanel::refresh() {
    quiet_.stop();
    if (isVisible()) {
        draw();
    }
}

void PreviewPanel::setMesh(MeshKind mesh) {
    mesh_ = mesh;
    meshChoice_->setCurrentIndex(int(mesh));
    draw();
}

void PreviewPanel::setBackground(const QColor& colour) {
    background_ = colour;
    draw();
}

void PreviewPanel::setUniformValue(const QString& name, const std::vector<float>& value) {
    valuesByPair_[pairName_][name] = value;
    draw();
}

void PreviewPanel::resetView() {
    view_ = OrbitView();
    draw();
}

const QImage& PreviewPanel::frame() const {
    return viewWidget_->frame();
}

QString PreviewPanel::message() const {
    return message_->isHidden() ? QString() : message_->text();
}

bool PreviewPanel::ensureRenderer() {
    if (!rendererTried_) {
        rendererTried_ = true;
        renderer_ = PreviewRenderer::create(makeContext_, rendererFailure_);
    }
    if (!renderer_) {
        message_->setText(texts_.noContext.arg(rendererFailure_));
        message_->show();
    }
    return renderer_ != nullptr;
}

void PreviewPanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refresh();
}

void PreviewPanel::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    quiet_.stop();
    animation_.stop();
}

PreviewScene PreviewPanel::scene(QSize size) const {
    PreviewScene scene;
    std::tie(scene.vertexSource, scene.fragmentSource) = sources_();
    scene.mesh = mesh_;
    scene.size = size.expandedTo(QSize(1, 1));
    scene.background = background_;
    scene.view = view_;
    scene.time = playing_ ? pausedAt_ + float(clock_.elapsed()) / 1000.0f : pausedAt_;
    scene.mouse = mouse_;
    scene.values = valuesByPair_.value(pairName_);
    scene.imageDirectory = directory_;
    return scene;
}

void PreviewPanel::draw() {
    if (!ensureRenderer()) {
        return;
    }
    const PreviewFrame frame = renderer_->render(scene(viewWidget_->framePixels()));
    if (frame.image.isNull()) {
        // The last good frame stays, under the driver's messages.
        message_->setText(frame.error);
        message_->show();
        animation_.stop();
        return;
    }
    message_->clear();
    message_->hide();
    viewWidget_->setFrame(frame.image);
    showUniforms(frame.uniforms);
    updateAnimation();
}

void PreviewPanel::updateAnimation() {
    const bool timed = declaresTime(uniforms_);
    playButton_->setEnabled(timed);
    if (timed && playing_ && isVisible()) {
        if (!animation_.isActive()) {
            animation_.start();
        }
    } else {
        animation_.stop();
    }
}

void PreviewPanel::togglePlaying() {
    if (playing_) {
        pausedAt_ += float(clock_.elapsed()) / 1000.0f;
    }
    clock_.restart();
    playing_ = !playing_;
    playButton_->setText(playing_ ? texts_.pause : texts_.play);
    updateAnimation();
}

void PreviewPanel::showUniforms(const QList<UniformInfo>& uniforms) {
    uniforms_ = uniforms;
    const QString signature = signatureOf(uniforms) + pairName_;
    if (signature == uniformSignature_) {
        return;
    }
    uniformSignature_ = signature;
    while (uniformsForm_->rowCount() > 0) {
        uniformsForm_->removeRow(0);
    }
    for (const UniformInfo& u : uniforms) {
        QWidget* editor = editorFor(u);
        uniformsForm_->addRow(QStringLiteral("%1 (%2)").arg(u.name, u.typeName),
                              editor != nullptr ? editor : new QLabel(QStringLiteral("-")));
    }
    if (uniforms.isEmpty()) {
        uniformsForm_->addRow(new QLabel(texts_.noUniforms));
    }
}

QWidget* PreviewPanel::editorFor(const UniformInfo& u) {
    const int components = componentCount(u.type);
    if (u.role != UniformRole::Value || components == 0 || components > 4) {
        return nullptr;
    }
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    const bool integral = u.type == UniformType::Int || u.type == UniformType::Bool;
    QList<QDoubleSpinBox*> boxes;
    for (int i = 0; i < components; ++i) {
        auto* box = new QDoubleSpinBox;
        box->setObjectName(QStringLiteral("Uniform_%1_%2").arg(u.name).arg(i));
        box->setRange(-1e6, 1e6);
        box->setDecimals(integral ? 0 : 3);
        box->setSingleStep(integral ? 1.0 : 0.05);
        box->setValue(double(u.value[std::size_t(i)]));
        box->setKeyboardTracking(false);
        box->setMinimumWidth(40);
        box->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        layout->addWidget(box);
        boxes.append(box);
    }
    const QString name = u.name;
    const auto current = [boxes] {
        std::vector<float> value;
        for (const QDoubleSpinBox* box : boxes) {
            value.push_back(float(box->value()));
        }
        return value;
    };
    for (QDoubleSpinBox* box : boxes) {
        connect(box, &QDoubleSpinBox::valueChanged, this,
                [this, name, current] { setUniformValue(name, current()); });
    }
    if (u.type == UniformType::Float) {
        // A slider over 0 to twice the starting value (at least 0 to 1), the spin box for the rest.
        auto* slider = new QSlider(Qt::Horizontal);
        slider->setObjectName(QStringLiteral("UniformSlider_%1").arg(u.name));
        const double top = std::max(1.0, 2.0 * std::abs(double(u.value[0])));
        slider->setRange(0, 1000);
        slider->setValue(int(std::lround(qBound(0.0, double(u.value[0]) / top, 1.0) * 1000)));
        QDoubleSpinBox* box = boxes.front();
        connect(slider, &QSlider::valueChanged, box,
                [box, top](int position) { box->setValue(position / 1000.0 * top); });
        layout->insertWidget(0, slider, 1);
    }
    if (isColourLike(u)) {
        auto* pick = new QPushButton(QStringLiteral("..."));
        pick->setObjectName(QStringLiteral("UniformColour_%1").arg(u.name));
        connect(pick, &QPushButton::clicked, this, [this, boxes] {
            const QColor initial = QColor::fromRgbF(qBound(0.0f, float(boxes[0]->value()), 1.0f),
                                                    qBound(0.0f, float(boxes[1]->value()), 1.0f),
                                                    qBound(0.0f, float(boxes[2]->value()), 1.0f));
            if (const std::optional<QColor> chosen = prompter_.chooseColor(this, initial)) {
                const QSignalBlocker quiet(boxes[0]);
                boxes[0]->setValue(chosen->redF());
                boxes[1]->setValue(chosen->greenF());
                boxes[2]->setValue(chosen->blueF());
                emit boxes[0]->valueChanged(boxes[0]->value());
            }
        });
        layout->addWidget(pick);
    }
    return row;
}

void PreviewPanel::saveImage() {
    const std::optional<QString> file = prompter_.chooseSaveFile(
        this, texts_.saveTitle, directory_ + pairName_ + QStringLiteral(".png"),
        QStringLiteral("PNG (*.png)"));
    if (!file || !ensureRenderer()) {
        return;
    }
    const int choice = saveSize_->currentIndex();
    const QSize size = choice <= 0 ? viewWidget_->framePixels() : kImageSizes[choice - 1];
    const PreviewFrame frame = renderer_->render(scene(size));
    QString failure = frame.error;
    if (failure.isEmpty()) {
        // Written whole or not at all.
        QSaveFile out(*file);
        QImageWriter writer(&out, "png");
        if (!out.open(QIODevice::WriteOnly) || !writer.write(frame.image) || !out.commit()) {
            failure = writer.error() != QImageWriter::UnknownError ? writer.errorString()
                                                                   : out.errorString();
        }
    }
    if (!failure.isEmpty()) {
        prompter_.showMessage(this, QMessageBox::Warning, texts_.saveFailed.arg(*file, failure),
                              QMessageBox::Ok);
    }
}

}  // namespace tessory
