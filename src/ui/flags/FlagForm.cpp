#include "FlagForm.h"

#include "CaptionFit.h"
#include "ChildWindows.h"
#include "FlagTexts.h"
#include "Fonts.h"
#include "TraceRecord.h"
#include "WindowState.h"

#include <QAction>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>

TFlagForm::TFlagForm(bool japanese, QWidget *parent) : QWidget(parent), japanese(japanese) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Flag"));
    QFont windowFont(font());
    windowFont.setFamily(japanese ? JapaneseWindowFont : EnglishWindowFont);
    setFont(windowFont);

    Label1 = new QLabel(QString::fromUtf8(japanese ? "フラグの説明" : "Flag  infomation"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont labelFont(JapanesePGothicFont);
    labelFont.setPixelSize(16);
    Label1->setFont(labelFont);
    Label1->setGeometry(48, 8, 0, 16);
    // As tall and wide as the heading needs in the font it is drawn in.
    FitCaption(Label1);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(0, 32, 209, 449);
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    Button1 = new QPushButton(QStringLiteral("&OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(61, 488, 75, 25);
    connect(Button1, &QPushButton::clicked, this, &TFlagForm::Button1Click);

    FormCreate();
}

void TFlagForm::FormCreate() {
    setFixedSize(209, 521);
    QStringList lines;
    for (const auto &line : FlagExplanationLines(japanese, DriveTypeE))
        lines << QString::fromStdString(line);
    // One block per line: the Japanese text's empty last line stays a line of its own.
    Memo1->setPlainText(lines.join(QLatin1Char('\n')));
}

void TFlagForm::closeEvent(QCloseEvent *event) {
    FormClose();
    QWidget::closeEvent(event);
}

void TFlagForm::FormClose() {
    GiveMenuItemBack(QStringLiteral("Flag1"));
}

void TFlagForm::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (placed)
        return;
    placed = true;
    if (QMdiSubWindow *frame = ChildFrameOf(this)) {
        // Fixed border: no maximise button, no resizing.
        frame->setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint);
        frame->setFixedSize(FormWidth, FormHeight);
        frame->show();
    }
}

void TFlagForm::Button1Click() {
    CloseChildWindow(this);
}
