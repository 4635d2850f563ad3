// SPDX-License-Identifier: MIT
#include "ui/form_info.h"

#include "ui/jpeg_image.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QUrl>

#include <algorithm>
#include <utility>

namespace tessory {
namespace {

// Behind the picture, and in its place should it ever fail to decode, so that the white text
// stays readable.
const QColor kBackground(0x1a, 0x3c, 0x8c);

// Where "MS Sans Serif" is missing, faces of about its width come first, so that the layout's
// lines keep their places; any sans-serif face after them.
QFont labelFont() {
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Arial"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans"),
                      QStringLiteral("Helvetica")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}

// The layout's sizes were made for its original font; a fallback face can need more room, and a
// label never cuts its text off. A centred label grows to both sides, any other to the right.
void fitLabel(QLabel* label, const QRect& box) {
    const QSize hint = label->sizeHint();
    QRect area(box.topLeft(),
               QSize(std::max(box.width(), hint.width()), std::max(box.height(), hint.height())));
    if (label->alignment().testFlag(Qt::AlignHCenter)) {
        area.moveLeft(box.left() - (area.width() - box.width()) / 2);
    }
    label->setGeometry(area);
}

QFrame* makeBevel(QWidget* parent, const char* name, const QRect& box) {
    auto* bevel = new QFrame(parent);
    bevel->setObjectName(QString::fromLatin1(name));
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(box);
    return bevel;
}

}  // namespace

QString homepageHost() {
    return QUrl(kHomepageAddress).host();
}

QString versionText() {
    return QStringLiteral("Version " TESSORY_FILE_VERSION);
}

TForm_Info::TForm_Info(std::function<void(const QString&)> openUrl, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint), openUrl_(std::move(openUrl)) {
    setObjectName(QStringLiteral("Form_Info"));
    setWindowTitle(QStringLiteral("INFO"));
    setFixedSize(340, 281);
    setFont(labelFont());
    QPalette colours = palette();
    colours.setColor(QPalette::Window, kBackground);
    colours.setColor(QPalette::WindowText, Qt::white);
    setPalette(colours);
    setAutoFillBackground(true);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 341, 281);
    Image1->setPixmap(QPixmap::fromImage(loadAboutPicture()));

    const auto makeLabel = [this](const char* name, const QString& text, const QRect& box,
                                  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
        auto* label = new QLabel(text, this);
        label->setObjectName(QString::fromLatin1(name));
        label->setAlignment(alignment);
        fitLabel(label, box);
        return label;
    };
    const Qt::Alignment centred = Qt::AlignCenter;
    Label3 = makeLabel("Label3", QString(), QRect(122, 66, 111, 13), centred);
    Label2 = makeLabel("Label2", QStringLiteral("Freeware – (c) Brimvale"), QRect(106, 95, 132, 13),
                       centred);
    Bevel2 = makeBevel(this, "Bevel2", QRect(8, 126, 325, 2));
    Label4 = makeLabel("Label4", QStringLiteral("Für Updates und aktuelle Informationen"),
                       QRect(24, 138, 186, 13));
    Label9 = makeLabel("Label9", QStringLiteral("besuchen Sie unsere Websites:"),
                       QRect(24, 155, 150, 13));
    Label7 =
        makeLabel("Label7", QStringLiteral("Distribution und Updates:"), QRect(24, 179, 119, 13));

    QFont linkFont = labelFont();
    linkFont.setUnderline(true);
    Label5 = new QLabel(homepageHost(), this);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->setFont(linkFont);
    Label5->setCursor(Qt::PointingHandCursor);
    Label5->setToolTip(kHomepageAddress);
    // Its caption comes first, however wide the font has made it.
    fitLabel(Label5, QRect(std::max(152, Label7->geometry().right() + 9), 179, 86, 13));
    Label5->installEventFilter(this);

    Bevel3 = makeBevel(this, "Bevel3", QRect(8, 226, 325, 2));

    Button1 = new QPushButton(QStringLiteral("Ok"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setFont(QFont(QStringLiteral("Tahoma"), 8));
    Button1->setGeometry(132, 241, 90, 25);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TForm_Info::Button1Click);
}

void TForm_Info::showEvent(QShowEvent* event) {
    firstShow();
    QDialog::showEvent(event);
}

bool TForm_Info::eventFilter(QObject* watched, QEvent* event) {
    // A click is a left button released over the link, as for a button.
    if (watched == Label5 && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            Label5->rect().contains(mouse->position().toPoint())) {
            Label5Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TForm_Info::firstShow() {
    Label3->setText(versionText());
    fitLabel(Label3, QRect(122, 66, 111, 13));
}

void TForm_Info::Label5Click() {
    openUrl_(kHomepageAddress);
}

void TForm_Info::Button1Click() {
    accept();
}

}  // namespace tessory
