// SPDX-License-Identifier: MIT
#include "preview/preview_panel.h"

#include "preview/host_render.h"
#include "preview/preview_view.h"
#include "ui/prompter.h"
#include "workspace/file_io.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QImageWriter>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QScrollArea>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>

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

constexpr int kSliderSteps = 1000;

bool isColourLike(const UniformInfo& u) {
    return u.type == UniformType::Vec3 || u.type == UniformType::Vec4;
}

// The values a float's slider covers: from 0 to twice the value, or mirrored for a negative one.
struct SliderSpan {
    double low = 0;
    double high = 1;

    static SliderSpan around(double value);
    bool holds(double value) const;
    int position(double value) const;  // 0 to kSliderSteps
    double value(int position) const;
};

SliderSpan SliderSpan::around(double value) {
    const double top = std::max(1.0, 2.0 * std::abs(value));
    return value < 0 ? SliderSpan{-top, 0} : SliderSpan{0, top};
}

bool SliderSpan::holds(double value) const {
    return value >= low && value <= high;
}

int SliderSpan::position(double value) const {
    return int(std::lround(qBound(0.0, (value - low) / (high - low), 1.0) * kSliderSteps));
}

double SliderSpan::value(int position) const {
    return low + (high - low) * position / kSliderSteps;
}

}  // namespace

PreviewPanel::PreviewPanel(Prompter& prompter, Program program, DriverHost& host, QWidget* parent)
    : QWidget(parent),
      prompter_(prompter),
      program_(std::move(program)),
      host_(host),
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
    notes_ = new QLabel;
    notes_->setObjectName(QStringLiteral("PreviewNotes"));
    notes_->setWordWrap(true);
    notes_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    notes_->setStyleSheet(QStringLiteral("color: #a06000;"));
    notes_->hide();
    // The view gives way when the dock is short; what went wrong stays readable.
    for (QLabel* said : {message_, notes_}) {
        said->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);
    }
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
    column->addWidget(notes_);
    column->addWidget(uniformsTitle_);
    column->addWidget(scroll);
    column->addLayout(bottom);

    // The animation asks for frames at the cap; the driver's time decides what is reached.
    animation_.setInterval(frameIntervalMs());
    connect(&animation_, &QTimer::timeout, this, &PreviewPanel::draw);
    pace_.setSingleShot(true);
    connect(&pace_, &QTimer::timeout, this, &PreviewPanel::pump);
    connect(&host_, &DriverHost::replied, this, &PreviewPanel::frameAnswered);
    connect(&host_, &DriverHost::failed, this, &PreviewPanel::frameFailed);
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
    // Leaving the view keeps the last position, as shaders that follow the pointer expect.
    connect(viewWidget_, &PreviewView::pointerMoved, this, [this](QPointF at) {
        mouse_ = at;
        if (declaresRole(uniforms_, UniformRole::Mouse)) {
            draw();
        }
    });
    connect(viewWidget_, &PreviewView::resized, this, &PreviewPanel::draw);
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

void PreviewPanel::liveChecked(const QString& messages, bool errors) {
    if (!errors) {
        refresh();
        return;
    }
    // The last good frame stays, under the compiler's messages.
    showMessage(messages);
}

void PreviewPanel::refresh() {
    draw();
}

int PreviewPanel::frameIntervalMs() const {
    const QScreen* display = screen();
    const qreal rate =
        display != nullptr && display->refreshRate() > 1 ? display->refreshRate() : 60;
    return int(std::ceil(1000.0 / std::min<qreal>(rate, 60)));
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

QString PreviewPanel::notes() const {
    return notes_->isHidden() ? QString() : notes_->text();
}

void PreviewPanel::showImageProblems(const QList<ImageProblem>& problems) {
    QStringList lines;
    for (const ImageProblem& problem : problems) {
        const QString file = QFileInfo(problem.file).fileName();
        lines << (problem.readError.isEmpty()
                      ? texts_.imageTooLarge.arg(file)
                            .arg(problem.size.width())
                            .arg(problem.size.height())
                            .arg(problem.largestTexture)
                      : texts_.imageUnreadable.arg(file, problem.readError));
    }
    lines.removeDuplicates();
    notes_->setText(lines.join(u'\n'));
    notes_->setVisible(!lines.isEmpty());
}

void PreviewPanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // A window restored from the task bar shows the frames it missed.
    if (watchedWindow_ != window()) {
        if (watchedWindow_ != nullptr) {
            watchedWindow_->removeEventFilter(this);
        }
        watchedWindow_ = window();
        watchedWindow_->installEventFilter(this);
    }
    animation_.setInterval(frameIntervalMs());
    refresh();
}

void PreviewPanel::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    animation_.stop();
}

bool PreviewPanel::eventFilter(QObject* watched, QEvent* event) {
    // Minimised, the animation stops; restored, it goes on and the frame missed comes.
    if (watched == watchedWindow_ && event->type() == QEvent::WindowStateChange) {
        updateAnimation();
        pump();
    }
    return QWidget::eventFilter(watched, event);
}

bool PreviewPanel::showing() const {
    return isVisible() && !window()->isMinimized();
}

PreviewScene PreviewPanel::scene(const PreviewProgram& program, QSize size) const {
    PreviewScene scene;
    scene.vertexSource = program.vertex;
    scene.fragmentSource = program.fragment;
    scene.geometrySource = program.geometry;
    scene.fragmentOnly = program.fragmentOnly;
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
    wanted_ = true;
    pump();
}

QString PreviewPanel::notDrawnWhy(const PreviewProgram& program) const {
    return program.vulkan        ? texts_.openGlOnly
           : program.compute     ? texts_.computeNotDrawn
           : program.tessellated ? texts_.tessellationNotDrawn
                                 : QString();
}

void PreviewPanel::pump() {
    if (!wanted_ || inFlight_ != 0 || !showing()) {
        return;
    }
    const PreviewProgram program = program_();
    // A fragment shader alone covers the view whatever the mesh.
    meshChoice_->setEnabled(!program.fragmentOnly);
    if (const QString why = notDrawnWhy(program); !why.isEmpty()) {
        // A frame of the program before would pass for this one's.
        wanted_ = false;
        viewWidget_->setFrame(QImage());
        showMessage(why);
        return;
    }
    if (sinceSent_.isValid()) {
        if (const qint64 wait = frameIntervalMs() - sinceSent_.elapsed(); wait > 0) {
            if (!pace_.isActive()) {
                pace_.start(int(wait));
            }
            return;
        }
    }
    wanted_ = false;
    sinceSent_.restart();
    inFlight_ = host_.send(HostKind::RenderFrame,
                           encodeScene(scene(program, viewWidget_->framePixels())), frameLimitMs_);
}

void PreviewPanel::frameAnswered(quint64 id, const QByteArray& payload) {
    if (id != inFlight_) {
        return;
    }
    inFlight_ = 0;
    try {
        showFrame(decodeFrame(payload));
    } catch (const std::runtime_error& error) {
        showMessage(texts_.noContext.arg(QString::fromUtf8(error.what())));
    }
    pump();
}

void PreviewPanel::frameFailed(quint64 id, const HostFailure& failure) {
    if (id != inFlight_) {
        return;
    }
    inFlight_ = 0;
    if (failure.kind != HostFailure::Kind::Cancelled) {
        showMessage(failureText(failure));
    }
}

QString PreviewPanel::failureText(const HostFailure& failure) const {
    switch (failure.kind) {
        case HostFailure::Kind::TimedOut:
            return texts_.noContext.arg(
                texts_.driverTooSlow.arg(std::max(1, (failure.limitMs + 500) / 1000)));
        case HostFailure::Kind::Crashed:
            return texts_.noContext.arg(texts_.driverStopped);
        default:
            return texts_.noContext.arg(failure.detail);
    }
}

void PreviewPanel::showMessage(const QString& text) {
    message_->setText(text);
    message_->show();
    animation_.stop();
}

void PreviewPanel::showFrame(const PreviewFrame& frame) {
    if (frame.image.isNull()) {
        // The last good frame stays, under the driver's messages.
        showMessage(frame.error);
        return;
    }
    message_->clear();
    message_->hide();
    viewWidget_->setFrame(frame.image);
    showImageProblems(frame.imageProblems);
    showUniforms(frame.uniforms);
    updateAnimation();
    emit frameShown();
}

void PreviewPanel::updateAnimation() {
    const bool timed = declaresTime(uniforms_);
    playButton_->setEnabled(timed);
    if (timed && playing_ && showing()) {
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
        layout->insertWidget(0, floatSlider(u.name, boxes.front()), 1);
        boxes.front()->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    }
    if (isColourLike(u)) {
        auto* pick = new QPushButton(QStringLiteral("..."));
        pick->setObjectName(QStringLiteral("UniformColour_%1").arg(u.name));
        connect(pick, &QPushButton::clicked, this, [this, name] { chooseColour(name); });
        layout->addWidget(pick);
    }
    return row;
}

QSlider* PreviewPanel::floatSlider(const QString& name, QDoubleSpinBox* box) {
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setObjectName(QStringLiteral("UniformSlider_%1").arg(name));
    slider->setRange(0, kSliderSteps);
    // The slider spans 0 to twice the value (at least 0 to 1, mirrored below 0), and a value
    // typed outside it moves the span along; the field takes any value.
    auto span = std::make_shared<SliderSpan>(SliderSpan::around(box->value()));
    const auto place = [slider, span](double value) {
        if (!span->holds(value)) {
            *span = SliderSpan::around(value);
        }
        const QSignalBlocker quiet(slider);
        slider->setValue(span->position(value));
    };
    place(box->value());
    connect(box, &QDoubleSpinBox::valueChanged, slider, place);
    // The span stays while the slider moves it, however near its end the value comes.
    connect(slider, &QSlider::valueChanged, box, [box, span](int position) {
        {
            const QSignalBlocker quiet(box);
            box->setValue(span->value(position));
        }
        emit box->valueChanged(box->value());
    });
    return slider;
}

QList<QDoubleSpinBox*> PreviewPanel::valueFields(const QString& uniform) const {
    QList<QDoubleSpinBox*> fields;
    for (int i = 0; i < 4; ++i) {
        auto* field = uniformsBox_->findChild<QDoubleSpinBox*>(
            QStringLiteral("Uniform_%1_%2").arg(uniform).arg(i));
        if (field == nullptr) {
            break;
        }
        fields.append(field);
    }
    return fields;
}

void PreviewPanel::chooseColour(const QString& uniform) {
    QList<QDoubleSpinBox*> fields = valueFields(uniform);
    if (fields.size() < 3) {
        return;
    }
    const auto channel = [&fields](int i) { return qBound(0.0, fields[i]->value(), 1.0); };
    const QColor initial = QColor::fromRgbF(channel(0), channel(1), channel(2));
    const std::optional<QColor> chosen = prompter_.chooseColor(this, initial);
    // The uniforms may have been built anew while the chooser was open, and the fields with
    // them: the colour goes to the uniform of this name if the program still declares one.
    fields = valueFields(uniform);
    if (!chosen || fields.size() < 3) {
        return;
    }
    // One frame for the three channels.
    const double channels[] = {chosen->redF(), chosen->greenF(), chosen->blueF()};
    for (int i = 0; i < 3; ++i) {
        const QSignalBlocker quiet(fields[i]);
        fields[i]->setValue(channels[i]);
    }
    emit fields[0]->valueChanged(fields[0]->value());
}

QString PreviewPanel::shaderFileAt(const QString& target) const {
    if (!shaderFiles_) {
        return {};
    }
    for (const QString& shader : shaderFiles_()) {
        if (isSameFile(target, shader)) {
            return shader;
        }
    }
    return {};
}

void PreviewPanel::saveImage() {
    const std::optional<QString> file = prompter_.chooseSaveFile(
        this, texts_.saveTitle, directory_ + pairName_ + QStringLiteral(".png"),
        QStringLiteral("PNG (*.png)"));
    if (!file) {
        return;
    }
    if (const QString shader = shaderFileAt(*file); !shader.isEmpty()) {
        prompter_.showMessage(this, QMessageBox::Warning,
                              texts_.savingOverShader.arg(*file, shader), QMessageBox::Ok);
        return;
    }
    const int choice = saveSize_->currentIndex();
    const QSize size = choice <= 0 ? viewWidget_->framePixels() : kImageSizes[choice - 1];
    const PreviewProgram program = program_();
    PreviewFrame frame;
    if (const QString why = notDrawnWhy(program); !why.isEmpty()) {
        frame.error = why;
    } else if (const DriverHost::Outcome drawn = host_.call(
                   HostKind::RenderFrame, encodeScene(scene(program, size)), frameLimitMs_);
               !drawn.reply) {
        frame.error = failureText(drawn.failure);
    } else {
        try {
            frame = decodeFrame(*drawn.reply);
        } catch (const std::runtime_error& error) {
            frame.error = QString::fromUtf8(error.what());
        }
    }
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
