#include "TForm6.h"

#include "TraceDocument.h"

#include "CaptionFit.h"
#include "ChannelNames.h"
#include "Fonts.h"
#include "WindowState.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

TForm6 *Form6 = nullptr;

namespace {

constexpr int WindowFontPixels = 12;
// Row layout: the items inside their group, the text box beside the second one.
constexpr int ItemGap = 2;
constexpr int EdgeGap = 4;
const QRect FirstItemPlace(8, 9, 130, 18);
const QRect SecondItemPlace(142, 9, 18, 18);
constexpr char Label14Japanese[] = "Ch表示";
constexpr char Label14English[] = "Ch Name";

QFont LabelFont(int pixels) {
    QFont font(JapanesePGothicFont);
    font.setPixelSize(pixels);
    return font;
}

} // namespace

TForm6::TForm6(TraceDocument &document, QWidget *parent)
    : QWidget(parent), document(document) {
    Form6 = this;
    setObjectName(QStringLiteral("Form6"));
    // A window of its own, not a child of the frame's client area; single border.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(QStringLiteral("Ch/Default select"));
    setFixedSize(413, 428);
    move(238, 135);
    CreateControls();
    FormCreate();
}

TForm6::~TForm6() {
    if (Form6 == this)
        Form6 = nullptr;
}

void TForm6::CreateControls() {
    QPalette blue = palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    Label13 = new QLabel(QStringLiteral("Ch.No."), this);
    Label13->setObjectName(QStringLiteral("Label13"));
    Label13->setGeometry(16, 16, 43, 16);
    Label14 = new QLabel(QString::fromUtf8("Ch名"), this);
    Label14->setObjectName(QStringLiteral("Label14"));
    Label14->setGeometry(104, 16, 35, 16);
    for (QLabel *label : {Label13, Label14})
        label->setPalette(blue);

    for (int k = 1; k <= ChannelCount; ++k) {
        auto *label = new QLabel(QStringLiteral("ch%1").arg(k), this);
        label->setObjectName(QStringLiteral("Label%1").arg(k));
        label->setGeometry(16, 8 + 32 * k, k >= 10 ? 40 : 30, 19);
        Label[k] = label;

        auto *group = new QGroupBox(this);
        group->setObjectName(QStringLiteral("RadioGroup%1").arg(k));
        group->setGeometry(64, 32 * k, 273, 33);
        auto *first = new QRadioButton(group);
        first->setObjectName(QStringLiteral("RadioGroup%1Item0").arg(k));
        first->setGeometry(FirstItemPlace);
        // The second item has no text: the text box beside it is its label.
        auto *second = new QRadioButton(group);
        second->setObjectName(QStringLiteral("RadioGroup%1Item1").arg(k));
        second->setGeometry(SecondItemPlace);
        RadioGroup[k] = group;
        DefaultItem[k] = first;
        OwnItem[k] = second;
    }
    // Text boxes come after the groups so that they lie over the groups' right-hand column.
    for (int k = 1; k <= ChannelCount; ++k) {
        auto *edit = new QLineEdit(QStringLiteral("Edit%1").arg(k), this);
        edit->setObjectName(QStringLiteral("Edit%1").arg(k));
        edit->setGeometry(224, 8 + 32 * k, 97, 20);
        Edit[k] = edit;
    }
    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(348, 40, 57, 25);
    connect(Button1, &QPushButton::clicked, this, &TForm6::Button1Click);

    // Tab order: the twelve choices, OK, then the twelve text boxes.
    QWidget *previous = nullptr;
    auto chain = [&previous](QWidget *next) {
        if (previous)
            setTabOrder(previous, next);
        previous = next;
    };
    for (int k = 1; k <= ChannelCount; ++k) {
        chain(DefaultItem[k]);
        chain(OwnItem[k]);
    }
    chain(Button1);
    for (int k = 1; k <= ChannelCount; ++k)
        chain(Edit[k]);

    QLabel **labels[] = {&Label1, &Label2, &Label3, &Label4,  &Label5,  &Label6,
                         &Label7, &Label8, &Label9, &Label10, &Label11, &Label12};
    QGroupBox **groups[] = {&RadioGroup1, &RadioGroup2,  &RadioGroup3,  &RadioGroup4,
                            &RadioGroup5, &RadioGroup6,  &RadioGroup7,  &RadioGroup8,
                            &RadioGroup9, &RadioGroup10, &RadioGroup11, &RadioGroup12};
    QLineEdit **edits[] = {&Edit1, &Edit2, &Edit3, &Edit4,  &Edit5,  &Edit6,
                           &Edit7, &Edit8, &Edit9, &Edit10, &Edit11, &Edit12};
    for (int k = 1; k <= ChannelCount; ++k) {
        *labels[k - 1] = Label[k];
        *groups[k - 1] = RadioGroup[k];
        *edits[k - 1] = Edit[k];
    }
}

void TForm6::FormCreate() {
    QFont windowFont = WindowFont(font());
    windowFont.setPixelSize(WindowFontPixels);
    setFont(windowFont);
    // Labels keep their own font and, like the rest of the layout, grow to fit their text.
    Label13->setFont(LabelFont(16));
    Label14->setFont(LabelFont(16));
    Label14->setText(QString::fromUtf8(IsJapanese() ? Label14Japanese : Label14English));
    for (QLabel *label : {Label13, Label14})
        label->resize(label->sizeHint().expandedTo(label->size()));
    for (int k = 1; k <= ChannelCount; ++k) {
        Label[k]->setFont(LabelFont(19));
        Label[k]->resize(Label[k]->sizeHint().expandedTo(Label[k]->size()));
        if (OwnNameFlag[k] == 0)
            DefaultItem[k]->setChecked(true);
        else
            OwnItem[k]->setChecked(true);
        Edit[k]->setText(QString::fromStdString(OwnName[k]));
        DefaultItem[k]->setText(
            QString::fromStdString(DefaultChannelName(k, Language, DriveTypeE)));
        FitRow(k);
    }
}

void TForm6::FitRow(int k) {
    // A default name wider than its column pushes the second button, its text box and the
    // frame around them to the right, as far as the window (or the OK button beside the row)
    // allows; only a name that still does not fit is shortened.
    QGroupBox *group = RadioGroup[k];
    const QRect groupPlace(64, 32 * k, 273, 33);
    const QRect editPlace(224, 8 + 32 * k, 97, 20);
    group->setGeometry(groupPlace);
    DefaultItem[k]->setGeometry(FirstItemPlace);
    OwnItem[k]->setGeometry(SecondItemPlace);
    Edit[k]->setGeometry(editPlace);
    int limit = width() - EdgeGap;
    if (Button1->geometry().top() < groupPlace.bottom() &&
        Button1->geometry().bottom() > groupPlace.top())
        limit = std::min(limit, Button1->x() - EdgeGap);
    const int room = std::max(0, limit - groupPlace.right() - 1);
    const int shift = std::max(0, FitCaption(DefaultItem[k], SecondItemPlace.x() - ItemGap + room) +
                                      ItemGap - SecondItemPlace.x());
    if (shift == 0)
        return;
    group->resize(groupPlace.width() + shift, groupPlace.height());
    OwnItem[k]->move(SecondItemPlace.topLeft() + QPoint(shift, 0));
    Edit[k]->move(editPlace.topLeft() + QPoint(shift, 0));
}

QString TForm6::EditText(int k) const {
    return Edit[k]->text();
}

void TForm6::Button1Click() {
    for (int k = 1; k <= ChannelCount; ++k)
        document.SetOwnName(k, !DefaultItem[k]->isChecked(), Edit[k]->text().toStdString());
    emit Confirmed();
    close();
}
