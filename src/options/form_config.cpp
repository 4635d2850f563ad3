// SPDX-License-Identifier: MIT
#include "options/form_config.h"

#include "editor/highlighter.h"
#include "texts/ui_texts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>

namespace tessory {
namespace {

const QStringList kCategoryNames = {
    QStringLiteral("DataTypes"),      QStringLiteral("FunctionNames"), QStringLiteral("StateVars"),
    QStringLiteral("TypeQualifiers"), QStringLiteral("Comment"),
};

// Where the rows of the extension fields start, and how far apart they stand.
constexpr int kExtensionRowTop = 18;
constexpr int kExtensionRowPitch = 24;

template <typename W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QCheckBox* makeCheckBox(const char* name, QWidget* parent, QRect geometry) {
    auto* box = named(new QCheckBox(parent), name);
    box->setGeometry(geometry);
    return box;
}

QLabel* makeLabel(const char* name, const QString& text, QWidget* parent, QPoint at) {
    auto* label = named(new QLabel(text, parent), name);
    label->move(at);
    label->adjustSize();
    return label;
}

QLineEdit* makeEdit(const char* name, QWidget* parent, QPoint at) {
    auto* edit = named(new QLineEdit(parent), name);
    edit->setGeometry(at.x(), at.y(), 73, 21);
    return edit;
}

QPushButton* makeButton(const char* name, QWidget* parent, QRect geometry) {
    auto* button = named(new QPushButton(parent), name);
    button->setGeometry(geometry);
    // Enter in a field must not close the dialog by surprise.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

QWidget* makePage(const char* name) {
    return named(new QWidget, name);
}

}  // namespace

TForm_Config::TForm_Config(QWidget* parent, const TCFG& settings, Prompter& prompter,
                           const QStringList& messages, bool german)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      prompter_(prompter),
      messages_(messages),
      german_(german),
      cfg_(settings) {
    setObjectName(QStringLiteral("Form_Config"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(QStringLiteral("Options"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setFixedSize(292, 269);
    setupLayout();
    restoreState();
}

void TForm_Config::setupLayout() {
    PageControl1 = named(new QTabWidget(this), "PageControl1");
    PageControl1->setGeometry(8, 8, 273, 201);
    TabSheet1 = makePage("TabSheet1");
    TabSheet2 = makePage("TabSheet2");
    TabSheet3 = makePage("TabSheet3");
    PageControl1->addTab(TabSheet1, QStringLiteral("Editor"));
    PageControl1->addTab(TabSheet2, QStringLiteral("ShaderFileExt"));
    PageControl1->addTab(TabSheet3, QStringLiteral("Misc"));

    GroupBox1 = named(new QGroupBox(QStringLiteral(" Colors "), TabSheet1), "GroupBox1");
    GroupBox1->setGeometry(8, 8, 249, 153);
    ComboBox1 = named(new QComboBox(GroupBox1), "ComboBox1");
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->addItems(kCategoryNames);
    ComboBox1->setCurrentIndex(0);
    ComboBox1->setGeometry(24, 24, 201, ComboBox1->sizeHint().height());
    CB_Bold = makeCheckBox("CB_Bold", GroupBox1, {24, 64, 113, 17});
    CB_Italic = makeCheckBox("CB_Italic", GroupBox1, {24, 88, 113, 17});
    CB_underline = makeCheckBox("CB_underline", GroupBox1, {24, 112, 113, 17});
    Image1 = named(new QLabel(GroupBox1), "Image1");
    Image1->setGeometry(152, 64, 73, 65);
    Image1->setCursor(Qt::PointingHandCursor);
    Image1->installEventFilter(this);

    GroupBox2 = named(new QGroupBox(QStringLiteral(" FileExtensions "), TabSheet2), "GroupBox2");
    // Six rows have to fit the page that the dialog's fixed size leaves.
    GroupBox2->setGeometry(8, 6, 249, kExtensionRowTop + kSideCount * kExtensionRowPitch);
    const auto makeRow = [this](int row, const char* editName, const char* labelName,
                                const char* caption, QLabel*& label) {
        const int top = kExtensionRowTop + row * kExtensionRowPitch;
        label = makeLabel(labelName, QString::fromLatin1(caption), GroupBox2, {104, top + 4});
        return makeEdit(editName, GroupBox2, {16, top});
    };
    Edit_Vertex = makeRow(0, "Edit_Vertex", "Label1", "VertexShader", Label1);
    Edit_Fragment = makeRow(1, "Edit_Fragment", "Label2", "FragmentShader", Label2);
    Edit_Geometry = makeRow(2, "Edit_Geometry", "Label5", "Geometry", Label5);
    Edit_TessControl = makeRow(3, "Edit_TessControl", "Label6", "TessControl", Label6);
    Edit_TessEval = makeRow(4, "Edit_TessEval", "Label7", "TessEval", Label7);
    Edit_Compute = makeRow(5, "Edit_Compute", "Label8", "Compute", Label8);

    GroupBox3 = named(new QGroupBox(QStringLiteral(" AutoSave "), TabSheet3), "GroupBox3");
    GroupBox3->setGeometry(8, 8, 249, 65);
    CheckBox1 = makeCheckBox("CheckBox1", GroupBox3, {16, 24, 209, 17});
    CheckBox1->setText(QStringLiteral("No Save Files Questions (always save)"));
    GroupBox4 =
        named(new QGroupBox(QStringLiteral(" Driver time limits "), TabSheet3), "GroupBox4");
    GroupBox4->setGeometry(8, 80, 249, 81);
    const auto makeSeconds = [this](const char* name, int top, int most) {
        auto* box = named(new QSpinBox(GroupBox4), name);
        box->setGeometry(16, top, 57, 21);
        box->setRange(1, most);
        box->setKeyboardTracking(false);
        return box;
    };
    SpinBox_Compile = makeSeconds("SpinBox_Compile", 24, kMaxCompileTimeLimit);
    Label3 = makeLabel("Label3", QStringLiteral("s for a compile"), GroupBox4, {80, 28});
    SpinBox_Frame = makeSeconds("SpinBox_Frame", 50, kMaxFrameTimeLimit);
    Label4 = makeLabel("Label4", QStringLiteral("s for a preview frame"), GroupBox4, {80, 54});

    Bevel1 = named(new QFrame(this), "Bevel1");
    Bevel1->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    Bevel1->setGeometry(2, 216, 290, 2);
    BT_Cancel = makeButton("BT_Cancel", this, {96, 232, 81, 25});
    BT_Cancel->setText(QStringLiteral("Cancel"));
    BT_OK = makeButton("BT_OK", this, {192, 232, 81, 25});
    BT_OK->setText(QStringLiteral("Ok"));

    // Only what the user does counts: boxes set from the settings change no setting.
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TForm_Config::selectorChanged);
    connect(ComboBox1, &QComboBox::editTextChanged, this, &TForm_Config::selectorChanged);
    connect(CB_Bold, &QCheckBox::clicked, this, &TForm_Config::CB_BoldClick);
    connect(CB_Italic, &QCheckBox::clicked, this, &TForm_Config::CB_ItalicClick);
    connect(CB_underline, &QCheckBox::clicked, this, &TForm_Config::CB_underlineClick);
    connect(CheckBox1, &QCheckBox::clicked, this, &TForm_Config::CheckBox1Click);
    for (QSpinBox* box : {SpinBox_Compile, SpinBox_Frame}) {
        connect(box, &QSpinBox::valueChanged, this, [this] {
            if (!initialising_) {
                cfg_.CompileTimeLimit = SpinBox_Compile->value();
                cfg_.FrameTimeLimit = SpinBox_Frame->value();
                handTimeLimits();
            }
        });
    }
    connect(BT_OK, &QPushButton::clicked, this, &TForm_Config::BT_OKClick);
    connect(BT_Cancel, &QPushButton::clicked, this, &TForm_Config::BT_CancelClick);
}

void TForm_Config::restoreState() {
    const ConfigCaptions captions = configCaptions(german_);
    PageControl1->setTabText(1, captions.fileExtPage);
    GroupBox1->setTitle(captions.colorsGroup);
    CB_Bold->setText(captions.bold);
    CB_Italic->setText(captions.italic);
    CB_underline->setText(captions.underline);
    GroupBox2->setTitle(captions.fileExtGroup);
    CheckBox1->setText(captions.autoSaveBox);
    GroupBox4->setTitle(captions.timeLimitsGroup);
    Label3->setText(captions.compileLimit);
    Label3->adjustSize();
    Label4->setText(captions.frameLimit);
    Label4->adjustSize();
    BT_OK->setText(captions.ok);
    BT_Cancel->setText(captions.cancel);
}

void TForm_Config::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The window system shows the dialog again after a minimised main window comes back; only
    // the first showing takes the backup.
    if (initialising_) {
        firstShow();
    }
}

void TForm_Config::firstShow() {
    backup_ = takeFormatBackup(cfg_);
    ComboBox1Change();
    Edit_Vertex->setText(cfg_.FileExtVertex);
    Edit_Fragment->setText(cfg_.FileExtFragment);
    Edit_Geometry->setText(cfg_.FileExtGeometry);
    Edit_TessControl->setText(cfg_.FileExtTessControl);
    Edit_TessEval->setText(cfg_.FileExtTessEval);
    Edit_Compute->setText(cfg_.FileExtCompute);
    CheckBox1->setChecked(cfg_.AutoSaveOnChange);
    SpinBox_Compile->setValue(cfg_.CompileTimeLimit);
    SpinBox_Frame->setValue(cfg_.FrameTimeLimit);
    initialising_ = false;
}

int TForm_Config::categoryIndex() const {
    const int index = ComboBox1->currentIndex();
    if (index < 0 || index >= kCategoryCount || ComboBox1->currentText() != kCategoryNames[index]) {
        return -1;
    }
    return index;
}

void TForm_Config::selectorChanged() {
    const std::pair<int, QString> selection{categoryIndex(), ComboBox1->currentText()};
    if (selection == shownSelection_) {
        return;
    }
    ComboBox1Change();
}

void TForm_Config::ComboBox1Change() {
    shownSelection_ = {categoryIndex(), ComboBox1->currentText()};
    const int index = shownSelection_.first;
    if (index >= 0) {
        const Category category = Category(index);
        FillIMG(fontColor(cfg_, category));
        const qint32 effects = textEffects(cfg_, category);
        CB_Bold->setChecked(effects & EffectBold);
        CB_Italic->setChecked(effects & EffectItalic);
        CB_underline->setChecked(effects & EffectUnderline);
    }
    if (!initialising_) {
        handFormats();
    }
}

void TForm_Config::FillIMG(TColor color) {
    QImage picture(Image1->size(), QImage::Format_RGB32);
    picture.fill(toQColor(color));
    const int right = picture.width() - 1;
    const int bottom = picture.height() - 1;
    QPainter painter(&picture);
    painter.setPen(QPen(Qt::black, 1));
    const QPoint frame[] = {{0, 0}, {right, 0}, {right, bottom}, {0, bottom}, {0, 0}};
    painter.drawPolyline(frame, 5);
    painter.end();
    Image1->setPixmap(QPixmap::fromImage(picture));
}

bool TForm_Config::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Image1 && event->type() == QEvent::MouseButtonPress) {
        Image1MouseDown();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TForm_Config::Image1MouseDown() {
    const std::optional<QColor> chosen = prompter_.chooseColor(this, toQColor(chooserColor_));
    if (!chosen) {
        return;
    }
    chooserColor_ = fromQColor(*chosen);
    FillIMG(chooserColor_);
    const int index = categoryIndex();
    if (index >= 0) {
        fontColor(cfg_, Category(index)) = chooserColor_;
    }
    handFormats();
}

void TForm_Config::effectClick(const QCheckBox* box, qint32 bit) {
    const int index = categoryIndex();
    if (index < 0) {
        return;
    }
    qint32& effects = textEffects(cfg_, Category(index));
    effects = withEffect(effects, bit, box->isChecked());
    handFormats();
}

void TForm_Config::CB_BoldClick() {
    effectClick(CB_Bold, EffectBold);
}

void TForm_Config::CB_ItalicClick() {
    effectClick(CB_Italic, EffectItalic);
}

void TForm_Config::CB_underlineClick() {
    effectClick(CB_underline, EffectUnderline);
}

void TForm_Config::CheckBox1Click() {
    cfg_.AutoSaveOnChange = CheckBox1->isChecked();
    emit autoSaveEdited(cfg_.AutoSaveOnChange);
}

void TForm_Config::handTimeLimits() {
    emit timeLimitsEdited(cfg_.CompileTimeLimit, cfg_.FrameTimeLimit);
}

void TForm_Config::handFormats() {
    emit formatsEdited(categoryFormats(cfg_));
}

QMessageBox::StandardButton TForm_Config::message(int slot, QMessageBox::Icon icon,
                                                  QMessageBox::StandardButtons buttons) {
    return prompter_.showMessage(nullptr, icon, messages_.value(slot), buttons);
}

PairExtensions TForm_Config::typedExtensions() const {
    return {Edit_Vertex->text(),      Edit_Fragment->text(), Edit_Geometry->text(),
            Edit_TessControl->text(), Edit_TessEval->text(), Edit_Compute->text()};
}

void TForm_Config::BT_OKClick() {
    const CheckedStageExtensions checked =
        checkStageExtensions(typedExtensions(), stageExtensions(cfg_));
    const ConfigCaptions captions = configCaptions(german_);
    switch (checked.verdict) {
        case ExtensionCheck::InvalidVertex:
            message(MsgInvalidVertexExt, QMessageBox::Critical, QMessageBox::Ok);
            return;
        case ExtensionCheck::InvalidFragment:
            message(MsgInvalidFragmentExt, QMessageBox::Critical, QMessageBox::Ok);
            return;
        case ExtensionCheck::NotDifferent:
            message(MsgExtensionsMustDiffer, QMessageBox::Critical, QMessageBox::Ok);
            return;
        case ExtensionCheck::InvalidStage:
            prompter_.showMessage(nullptr, QMessageBox::Critical,
                                  captions.invalidStageExt.arg(sideWord(checked.stage)),
                                  QMessageBox::Ok);
            return;
        case ExtensionCheck::SharedExtension:
            prompter_.showMessage(
                nullptr, QMessageBox::Critical,
                captions.sharedExt.arg(sideWord(checked.stage), sideWord(checked.otherStage),
                                       checked.extensions.of(checked.stage)),
                QMessageBox::Ok);
            return;
        case ExtensionCheck::Unchanged:
            accept();
            return;
        case ExtensionCheck::Changed:
            break;
    }
    if (message(MsgExtensionChangeWarning, QMessageBox::Warning,
                QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok) {
        return;
    }
    emit extensionsChosen(checked.extensions);
}

void TForm_Config::BT_CancelClick() {
    restoreFormatBackup(cfg_, backup_);
    handFormats();
    emit autoSaveEdited(cfg_.AutoSaveOnChange);
    handTimeLimits();
    reject();
}

}  // namespace tessory
