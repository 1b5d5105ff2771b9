#include "TForm5.h"

#include "Caption.h"
#include "CaptionFit.h"
#include "ChildWindows.h"
#include "Dialogs.h"
#include "Fonts.h"
#include "Platform.h"
#include "PortNames.h"
#include "Protocol.h"
#include "ReadSession.h"
#include "TraceDocument.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTime>
#include <QVBoxLayout>
#include <algorithm>

TForm5 *Form5 = nullptr;

namespace {

// Texts of the window; the captions not listed per language read the same in both.
constexpr Caption Button1Caption = {"閉じる", "Close"};
constexpr Caption Button2Caption = {"データ読取り", "Data Read"};
const QString FormCaption = QStringLiteral("Communication Form");
const QString PortGroupCaption = QStringLiteral("Port select");
const QString DataGroupCaption = QStringLiteral("Data select");
const QString MessageCaption = QStringLiteral("Message");
constexpr int LabelSpare = 3; // beside the message heading's text, on each side
const QString ClearCaption = QStringLiteral("Clear");
const QString DeviceCaption = QStringLiteral("Device");
const QStringList PortItemTexts = {
    QStringLiteral("COM1"), QStringLiteral("COM2"), QStringLiteral("COM3"),
    QStringLiteral("COM4"), QStringLiteral("COM5"), QStringLiteral("COM6"),
    QStringLiteral("COM7"), QStringLiteral("COM8"), QStringLiteral("COM9")};
const QStringList DataItemTexts = {QStringLiteral("New"), QStringLiteral("Old")};

// What the main window's title calls a trace read: %1 the port item, %2 the time of the read.
constexpr Caption ReadNewName = {"%1 新トレース %2 読取り", "%1 new trace read at %2"};
constexpr Caption ReadOldName = {"%1 旧トレース %2 読取り", "%1 old trace read at %2"};
// The line after a time-out: what the user can check. The device field is named only where the
// window shows it.
constexpr Caption TimeOutAdvice = {
    "ケーブルとポート、ドライブの電源が入っているか、Device 欄を確認してください",
    "Check the cable and the port, that the drive is powered, and the Device field"};
constexpr Caption TimeOutAdviceNoDevice = {
    "ケーブルとポート、ドライブの電源が入っているかを確認してください",
    "Check the cable and the port, and that the drive is powered"};

// The settings value that remembers the chosen port between runs.
const QString PortKey = QStringLiteral("COM");

// Identification, status, 14 blocks and the header.
constexpr int ExchangesPerRead = 17;

// Where the port items are device names themselves (Windows), there is nothing to set.
bool DeviceFieldWanted() {
    return DefaultDevicePath(PortItemTexts.first()) != PortItemTexts.first();
}

// Spreads a radio group's items evenly over its client area below the caption.
QButtonGroup *FillRadioGroup(QGroupBox *group, const QStringList &items, const char *prefix) {
    auto *buttons = new QButtonGroup(group);
    auto *column = new QVBoxLayout(group);
    column->setContentsMargins(8, 0, 2, 2);
    column->setSpacing(0);
    for (int i = 0; i < items.size(); ++i) {
        auto *button = new QRadioButton(items[i], group);
        button->setObjectName(QStringLiteral("%1%2").arg(QLatin1String(prefix)).arg(i));
        // Equal shares of the height, even where a line of text is taller than its share.
        button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
        column->addWidget(button);
        buttons->addButton(button, i);
    }
    buttons->button(0)->setChecked(true);
    return buttons;
}

} // namespace

TForm5::TForm5(TraceDocument &document, QWidget *parent) : QWidget(parent), document(document) {
    Form5 = this;
    setObjectName(QStringLiteral("Form5"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(FormCaption);
    setFixedSize(442, 253);
    CreateControls();

    Session = new ReadSession(this);
    // The lines follow the language of the moment they are written, not the window's captions.
    Session->SetLanguage([] { return Language; });
    connect(Session, &ReadSession::MessageLine, this, &TForm5::ShowMessageLine);
    connect(Session, &ReadSession::OpenFailed, this, &TForm5::ShowOpenFailure);
    connect(Session, &ReadSession::Progress, this, [this](int done, int total) {
        ProgressBar1->setMaximum(total);
        ProgressBar1->setValue(done);
    });
    connect(Session, &ReadSession::Finished, this, &TForm5::SessionFinished);

    FormCreate();
}

TForm5::~TForm5() {
    // The program quits with the window open: the frame frees it without closing it first.
    // The read stops here, nothing is applied, and the port choice is kept as on any close.
    if (!formClosed)
        FormClose();
    if (Form5 == this)
        Form5 = nullptr;
}

void TForm5::CreateControls() {
    Button1 = new QPushButton(this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(352, 13, 75, 25);
    connect(Button1, &QPushButton::clicked, this, &TForm5::Button1Click);

    Button2 = new QPushButton(this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(352, 64, 75, 25);
    connect(Button2, &QPushButton::clicked, this, &TForm5::Button2Click);

    Button3 = new QPushButton(ClearCaption, this);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button3->setGeometry(384, 144, 49, 17);
    connect(Button3, &QPushButton::clicked, this, &TForm5::Button3Click);

    QFont pGothic(font());
    pGothic.setFamily(JapanesePGothicFont);
    pGothic.setPixelSize(13);

    RadioGroup1 = new QGroupBox(PortGroupCaption, this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup1->setGeometry(16, 8, 105, 153);
    RadioGroup1->setFont(pGothic);
    portItems = FillRadioGroup(RadioGroup1, PortItemTexts, "PortItem");

    RadioGroup2 = new QGroupBox(DataGroupCaption, this);
    RadioGroup2->setObjectName(QStringLiteral("RadioGroup2"));
    RadioGroup2->setGeometry(16, 168, 105, 73);
    dataItems = FillRadioGroup(RadioGroup2, DataItemTexts, "DataItem");

    Label1 = new QLabel(MessageCaption, this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(152, 144, 48, 13);
    Label1->setAlignment(Qt::AlignCenter);
    QPalette black = Label1->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    Label1->setPalette(black);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(144, 160, 290, 81);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab moves on to the next control, as in the window's other fields; a message line needs
    // no tab character.
    Memo1->setTabChangesFocus(true);

    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setGeometry(184, 32, 113, 41);
    for (const std::string_view text : ExchangeResultTexts)
        ListBox1->addItem(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    ListBox1->hide();

    DeviceLabel = new QLabel(DeviceCaption, this);
    DeviceLabel->setObjectName(QStringLiteral("DeviceLabel"));
    DeviceLabel->setGeometry(136, 13, 200, 17);
    DeviceEdit = new QLineEdit(this);
    DeviceEdit->setObjectName(QStringLiteral("DeviceEdit"));
    DeviceEdit->setGeometry(136, 32, 200, 23);
    DeviceLabel->setBuddy(DeviceEdit);
    DeviceLabel->setVisible(DeviceFieldWanted());
    DeviceEdit->setVisible(DeviceFieldWanted());
    connect(DeviceEdit, &QLineEdit::editingFinished, this, &TForm5::CommitDevicePath);
    connect(portItems, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (!checked)
            return;
        CommitDevicePath();
        ShowDevicePath();
    });

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(144, 110, 192, 19);
    ProgressBar1->setRange(0, ExchangesPerRead);
    ProgressBar1->setFormat(QStringLiteral("%v / %m"));
    ProgressBar1->setAlignment(Qt::AlignCenter);
    ProgressBar1->hide();

    // Tab goes through the window as it reads: port, device, trace, Data Read, Clear, Close,
    // then the messages.
    QList<QWidget *> order;
    for (QAbstractButton *item : portItems->buttons())
        order << item;
    order << DeviceEdit;
    for (QAbstractButton *item : dataItems->buttons())
        order << item;
    order << Button2 << Button3 << Button1 << Memo1;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void TForm5::FormCreate() {
    setFont(WindowFont(font()));
    japanese = IsJapanese();
    // The port items are drawn in the window's font; only the frame's title keeps its own.
    for (QAbstractButton *item : portItems->buttons())
        item->setFont(font());
    Button1->setText(Pick(Button1Caption));
    Button2->setText(Pick(Button2Caption));
    for (QWidget *button : std::initializer_list<QWidget *>{Button1, Button2, Button3})
        FitCaption(button, width() - 4);
    // Room for the whole heading, descenders included, in the window's font, with a little
    // to spare on each side so that no stroke touches the edge of its room.
    Label1->resize(Label1->width() - 2 * LabelSpare, Label1->height());
    FitCaption(Label1, Button3->x() - 4 - 2 * LabelSpare);
    Label1->resize(Label1->width() + 2 * LabelSpare, Label1->height());

    // Only a string that names an item exactly chooses it; anything else leaves "COM1".
    const QVariant stored = OpenUserSettings()->value(PortKey);
    if (stored.typeId() == QMetaType::QString) {
        const int index = PortItemTexts.indexOf(stored.toString());
        if (index >= 0)
            SetPortIndex(index);
    }
    ShowDevicePath();
    Memo1->clear();
}

int TForm5::PortIndex() const {
    return portItems->checkedId();
}

void TForm5::SetPortIndex(int index) {
    if (auto *button = portItems->button(index))
        button->setChecked(true);
}

QString TForm5::PortText() const {
    return PortItemTexts.value(PortIndex(), PortItemTexts[0]);
}

int TForm5::DataIndex() const {
    return dataItems->checkedId();
}

void TForm5::SetDataIndex(int index) {
    if (auto *button = dataItems->button(index))
        button->setChecked(true);
}

void TForm5::ShowDevicePath() {
    deviceItem = PortText();
    DeviceEdit->setText(StoredDevicePath(deviceItem));
}

void TForm5::CommitDevicePath() {
    if (!DeviceFieldWanted() || deviceItem.isEmpty())
        return;
    const QString path = DeviceEdit->text().trimmed();
    if (path != StoredDevicePath(deviceItem))
        StoreDevicePath(deviceItem, path); // an empty path goes back to the default
    if (path.isEmpty())
        DeviceEdit->setText(StoredDevicePath(deviceItem));
}

void TForm5::ShowMessageLine(const QString &line) {
    Memo1->appendPlainText(line);
    // A drive that does not answer is mostly a cable, a port or a power matter.
    const std::string_view timeOut = ExchangeResultText(ExchangeTimeOut);
    if (line == QString::fromUtf8(timeOut.data(), static_cast<qsizetype>(timeOut.size())))
        Memo1->appendPlainText(
            Pick(DeviceFieldWanted() ? TimeOutAdvice : TimeOutAdviceNoDevice, japanese));
}

void TForm5::ShowOpenFailure(const QString &text) {
    // The box is gone once confirmed; the message area keeps why the read ended.
    if (reading)
        Memo1->appendPlainText(text);
    Dialogs::Current().Message(this, QGuiApplication::applicationDisplayName(), text,
                               QMessageBox::Warning);
}

bool TForm5::OpenPort() {
    if (reading)
        return false;
    CommitDevicePath();
    const QString failure = Session->OpenPort(PortText());
    if (!failure.isEmpty())
        ShowOpenFailure(failure);
    return failure.isEmpty();
}

void TForm5::Button1Click() {
    ClosePort();
    CloseChildWindow(this); // FormClose stores the port; the frame enables N4 again
}

void TForm5::Button2Click() {
    if (reading)
        return;
    CommitDevicePath();
    reading = true;
    ReadFailed = false;
    Button2->setEnabled(false);
    ProgressBar1->setRange(0, ExchangesPerRead);
    ProgressBar1->setValue(0);
    ProgressBar1->show();
    // What the report names as the record's source, fixed when the read starts.
    readSource = PortText() + QLatin1Char(' ') + DataItemTexts.at(DataIndex() == 1 ? 1 : 0);
    readPort = PortText();
    readOld = DataIndex() == 1;
    // The session may finish before Start returns (a port that cannot be opened).
    Session->Start(PortText(), DataIndex() == 1);
}

void TForm5::Button3Click() {
    Memo1->clear();
}

void TForm5::SessionFinished(bool success) {
    if (!reading)
        return;
    reading = false;
    ReadFailed = !success;
    Button2->setEnabled(true);
    // The disabled button lost the focus; the next read is one key away again.
    Button2->setFocus(Qt::OtherFocusReason);
    ProgressBar1->hide();
    if (success) {
        TTraceRecord read = document.Record;
        // Values read from the drive are raw units.
        if (const auto driveType = Session->ApplyTo(read)) {
            // Kept before it is shown: whatever goes wrong later, the trace is on disk.
            const QString notKept = document.KeepRead(read, *driveType, readOld);
            const QString name = Pick(readOld ? ReadOldName : ReadNewName)
                                     .arg(readPort, QTime::currentTime().toString(u"HH:mm"));
            document.ReplaceReadTrace(read, *driveType, readSource, name);
            if (!notKept.isEmpty())
                Memo1->appendPlainText(notKept);
        }
    }
}

void TForm5::ClosePort() {
    if (!reading) {
        Session->ClosePort();
        return;
    }
    reading = false;
    ReadFailed = true;
    Session->Cancel();
    Button2->setEnabled(true);
    ProgressBar1->hide();
}

void TForm5::closeEvent(QCloseEvent *event) {
    FormClose();
    QWidget::closeEvent(event);
}

void TForm5::FormClose() {
    formClosed = true;
    ClosePort();
    CommitDevicePath();
    OpenUserSettings()->setValue(PortKey, PortText());
}

bool TForm5::event(QEvent *event) {
    if (event->type() == QEvent::ParentChange)
        AdjustFrame();
    return QWidget::event(event);
}

void TForm5::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (frameAdjusted)
        return;
    if (QMdiSubWindow *frame = ChildFrameOf(this)) {
        // A single border: the frame grows no larger than the window it holds.
        frameAdjusted = true;
        frame->setMaximumSize(frame->sizeHint());
    }
}

void TForm5::AdjustFrame() {
    // System menu and minimise box only: the window has one fixed size.
    if (QMdiSubWindow *frame = ChildFrameOf(this))
        frame->setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint);
}
