#include "TGraghForm.h"

#include "Caption.h"
#include "CaptionFit.h"
#include "ChannelChart.h"
#include "ChannelNames.h"
#include "ChartScaling.h"
#include "ChildWindows.h"
#include "Diagnosis.h"
#include "Fonts.h"
#include "PreviousTraceLabel.h"
#include "TraceDocument.h"
#include "TForm6.h"
#include "TimeViewState.h"
#include "TriggerStamp.h"
#include "WindowExport.h"
#include "WindowPrint.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>

TGraghForm *GraghForm = nullptr;

namespace {

constexpr Caption Button1Caption = {"再描画", "Redraw"};
constexpr Caption Button2Caption = {"印刷", "Print"};
constexpr Caption Button3Caption = {"Ch設定", "Ch-Set"};
constexpr Caption Button4Caption = {"閉じる", "Close"};
constexpr Caption RadioGroup1Caption = {"時計選択", "Clock Sel"};
constexpr Caption SaveImageCaption = {"画像保存...", "Save Image..."};
constexpr Caption RadioButton1Caption = {"SETNVOP", "SETNVOP"};
constexpr Caption RadioButton2Caption = {"上位CPU", "PLC"};
constexpr Caption AlignGroupCaption = {"参照波形", "Reference"};
constexpr Caption AlignByTriggerCaption = {"トリガ合わせ", "Align by trigger"};
constexpr Caption AlignBySampleCaption = {"サンプル合わせ", "Align by sample"};
// What a screen reader says before the reference's trigger point, date and time.
const QString RefLabelNames[3] = {QStringLiteral("Reference trigger point"),
                                  QStringLiteral("Reference trigger date"),
                                  QStringLiteral("Reference trigger time")};

constexpr int Panel1Height = 64;
constexpr int ColumnLefts[4] = {20, 170, 320, 470}; // of the channel check boxes
constexpr int RowTops[3] = {4, 24, 42};
// Rows beyond the third, when a narrow window wraps the check boxes, and the room below them.
constexpr int RowStep = 21;
constexpr int RowsBottomGap = 5;
constexpr int CheckBoxWidth = 140;
constexpr int ColumnStep = ColumnLefts[1] - ColumnLefts[0];
constexpr int ColumnGap = 4;
// A caption that grows keeps this far from the frame around it.
constexpr int EdgeGap = 2;
// The side panel's own frame line is all that stays beside its widest control.
constexpr int PanelEdgeGap = 1;
constexpr int Panel2Width = 88;
constexpr int WindowFontPixels = 12;
const QColor ChartAreaColor(0, 128, 0);

DerivedChannel DerivedOf(int choice) {
    return choice == CurrentVectorChoice ? DerivedChannel::CurrentVector : DerivedChannel::PhaseSum;
}

// The readout shows its header line and one line per chart without scrolling.
// A further line's room keeps the scroll bar away.
constexpr int ReadoutLines = MaxShownChannels + 2;

// Lines the readout would show with k charts: the above, or with both cursors set the header,
// a line per chart, the A..B line and a statistics line per chart, and the spare one.
int ReadoutLinesFor(int k) {
    return std::max(ReadoutLines, 2 * k + 3);
}

} // namespace

TGraghForm::TGraghForm(TraceDocument &document, QWidget *parent)
    : QWidget(parent), document(document) {
    GraghForm = this;
    shownTrace.TakeFrom(document);
    setObjectName(QStringLiteral("GraghForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Graph Form"));
    CreateControls();
    FormCreate();
    // From now on every change of the chart area's size redraws.
    Panel3->installEventFilter(this);
    connect(&document.TimeView(), &TimeViewState::Changed, this, &TGraghForm::TimeViewChanged);
    KeepShownTraceOnReplace(shownTrace, document, this);
    connect(&document, &TraceDocument::TraceReplaced, this, &TGraghForm::TraceReplaced);
}

TGraghForm::~TGraghForm() {
    if (GraghForm == this)
        GraghForm = nullptr;
    // The charts outlive this part of the window: a mouse leaving one of them as the window
    // goes clears the hover, and that must no longer reach the window.
    disconnect(&document.TimeView(), nullptr, this, nullptr);
    disconnect(&document, nullptr, this, nullptr);
    document.SetChartedChannels({});
}

void TGraghForm::CreateControls() {
    auto makePanel = [this](const char *name) {
        auto *panel = new QFrame(this);
        panel->setObjectName(QString::fromLatin1(name));
        panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
        return panel;
    };
    Panel1 = makePanel("Panel1");
    Panel1->setFixedHeight(Panel1Height);
    Panel2 = makePanel("Panel2");
    Panel2->setFixedWidth(Panel2Width);
    Panel3 = new QWidget(this);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->setAutoFillBackground(true);
    QPalette green = Panel3->palette();
    green.setColor(QPalette::Window, ChartAreaColor);
    Panel3->setPalette(green);
    Panel3->setMinimumSize(1, 1);

    CursorReadout = new QPlainTextEdit(this);
    CursorReadout->setObjectName(QStringLiteral("CursorReadout"));
    CursorReadout->setAccessibleName(QStringLiteral("Cursor readout"));
    CursorReadout->setReadOnly(true);
    CursorReadout->setLineWrapMode(QPlainTextEdit::NoWrap);
    CursorReadout->setFocusPolicy(Qt::ClickFocus);

    // Panel1 runs along the whole bottom, Panel2 down the right above it, Panel3 takes the rest
    // but the readout's lines below it.
    PreviousTrace =
        new PreviousTraceLabel(PreviousTraceLabel::WayBack::Redraw, IsJapanese(), this);
    auto *charts = new QVBoxLayout;
    charts->setContentsMargins(0, 0, 0, 0);
    charts->setSpacing(0);
    charts->addWidget(PreviousTrace);
    charts->addWidget(Panel3, 1);
    charts->addWidget(CursorReadout);
    auto *upper = new QHBoxLayout;
    upper->setContentsMargins(0, 0, 0, 0);
    upper->setSpacing(0);
    upper->addLayout(charts, 1);
    upper->addWidget(Panel2);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addLayout(upper, 1);
    outer->addWidget(Panel1);

    using Handler = void (TGraghForm::*)();
    const Handler handlers[ChannelCount] = {
        &TGraghForm::CheckBox1Click,  &TGraghForm::CheckBox2Click,  &TGraghForm::CheckBox3Click,
        &TGraghForm::CheckBox4Click,  &TGraghForm::CheckBox5Click,  &TGraghForm::CheckBox6Click,
        &TGraghForm::CheckBox7Click,  &TGraghForm::CheckBox8Click,  &TGraghForm::CheckBox9Click,
        &TGraghForm::CheckBox10Click, &TGraghForm::CheckBox11Click, &TGraghForm::CheckBox12Click,
    };
    for (int ch = 1; ch <= ChannelCount; ++ch) {
        auto *box = new QCheckBox(Panel1);
        box->setObjectName(QStringLiteral("CheckBox%1").arg(ch));
        box->setGeometry(ColumnLefts[(ch - 1) % 4], RowTops[(ch - 1) / 4], CheckBoxWidth, 17);
        // Any change of the tick, by the user or by the program, takes or drops the channel.
        connect(box, &QCheckBox::toggled, this, handlers[ch - 1]);
        CheckBox[ch] = box;
    }
    for (const int choice : {CurrentVectorChoice, PhaseSumChoice}) {
        auto *box = new QCheckBox(Panel1);
        box->setObjectName(choice == CurrentVectorChoice ? QStringLiteral("CurrentVectorBox")
                                                         : QStringLiteral("PhaseSumBox"));
        box->resize(CheckBoxWidth, 17);
        connect(box, &QCheckBox::toggled, this, [this, choice] { CheckBoxClick(choice); });
        CheckBox[choice] = box;
    }
    CurrentVectorBox = CheckBox[CurrentVectorChoice];
    PhaseSumBox = CheckBox[PhaseSumChoice];

    auto makeButton = [this](const char *name, int top) {
        auto *button = new QPushButton(Panel2);
        button->setObjectName(QString::fromLatin1(name));
        button->setGeometry(8, top, 75, 25);
        return button;
    };
    Button4 = makeButton("Button4", 16);
    Button2 = makeButton("Button2", 64);
    Button3 = makeButton("Button3", 104);
    Button1 = makeButton("Button1", 144);
    connect(Button1, &QPushButton::clicked, this, &TGraghForm::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TGraghForm::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TGraghForm::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TGraghForm::Button4Click);

    auto makeLabel = [this](const char *name, const char *text, int top) {
        auto *label = new QLabel(QString::fromLatin1(text), Panel2);
        label->setObjectName(QString::fromLatin1(name));
        label->move(8, top);
        label->resize(label->sizeHint());
        return label;
    };
    auto makeEdit = [this](const char *name, int left, int top, int width) {
        auto *edit = new QLineEdit(Panel2);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setGeometry(left, top, width, 21);
        // The fields show the trace's trigger; typing in them would change nothing.
        edit->setReadOnly(true);
        return edit;
    };
    Label1 = makeLabel("Label1", "Trigger Point", 184);
    Edit1 = makeEdit("Edit1", 32, 200, 25);
    Label2 = makeLabel("Label2", "Trigger Date", 232);
    Edit2 = makeEdit("Edit2", 8, 248, 73);
    Label3 = makeLabel("Label3", "Trigger Time", 272);
    Edit3 = makeEdit("Edit3", 7, 288, 73);
    // A screen reader names each field by the label above it.
    Label1->setBuddy(Edit1);
    Label2->setBuddy(Edit2);
    Label3->setBuddy(Edit3);

    RadioGroup1 = new QGroupBox(Panel2);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup1->setGeometry(4, 312, 80, 49);
    // The clock buttons belong to the panel and are drawn over the frame.
    RadioButton1 = new QRadioButton(Panel2);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton1->setGeometry(8, 326, 70, 17);
    RadioButton2 = new QRadioButton(Panel2);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    RadioButton2->setGeometry(8, 340, 70, 17);
    RadioButton1->setChecked(true);
    // The two buttons exclude each other, so the first one toggles at every change of clock.
    connect(RadioButton1, &QRadioButton::toggled, this, &TGraghForm::RadioButton1Click);

    SaveImageButton = new QPushButton(Panel2);
    SaveImageButton->setObjectName(QStringLiteral("SaveImageButton"));
    SaveImageButton->setGeometry(4, 368, 80, 25);
    connect(SaveImageButton, &QPushButton::clicked, this,
            [this] { SaveChartsImage(this, ChartsPicture(), japanese); });
    InstallCopyPictureShortcut(this, [this] { return ChartsPicture(); });

    // In a box of their own, so they do not exclude the clock buttons.
    AlignGroup = new QGroupBox(Panel2);
    AlignGroup->setObjectName(QStringLiteral("AlignGroup"));
    AlignGroup->setGeometry(4, 398, 80, 52);
    AlignByTrigger = new QRadioButton(AlignGroup);
    AlignByTrigger->setObjectName(QStringLiteral("AlignByTrigger"));
    AlignByTrigger->setGeometry(4, 16, 70, 17);
    AlignBySample = new QRadioButton(AlignGroup);
    AlignBySample->setObjectName(QStringLiteral("AlignBySample"));
    AlignBySample->setGeometry(4, 32, 70, 17);
    AlignByTrigger->setChecked(document.ReferenceAlignment() == Alignment::Trigger);
    AlignBySample->setChecked(!AlignByTrigger->isChecked());
    connect(AlignByTrigger, &QRadioButton::toggled, this, [this](bool byTrigger) {
        document.SetReferenceAlignment(byTrigger ? Alignment::Trigger : Alignment::Sample);
    });
    connect(&document, &TraceDocument::ReferenceChanged, this, &TGraghForm::ReferenceChanged);
    RefLabel1 = makeLabel("RefLabel1", "", 454);
    RefLabel2 = makeLabel("RefLabel2", "", 468);
    RefLabel3 = makeLabel("RefLabel3", "", 482);
    for (int i = 0; QLabel *label : {RefLabel1, RefLabel2, RefLabel3})
        label->setAccessibleName(RefLabelNames[i++]);

    // The name tables stay hidden; the check boxes, chart titles and the channel window use them.
    ListBox1 = new QListWidget(Panel2);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    for (const std::string_view name : ChannelNameTable)
        ListBox1->addItem(QString::fromUtf8(name.data(), qsizetype(name.size())));
    ListBox1->hide();
    ListBox2 = new QListWidget(Panel2);
    ListBox2->setObjectName(QStringLiteral("ListBox2"));
    for (const std::string_view title : UserChannelTitles)
        ListBox2->addItem(QString::fromUtf8(title.data(), qsizetype(title.size())));
    ListBox2->hide();

    for (int p = 1; p <= MaxShownChannels; ++p)
        Chart[p] = new ChannelChart(p, document.TimeView(), Panel3);
    CheckBox1 = CheckBox[1], CheckBox2 = CheckBox[2], CheckBox3 = CheckBox[3];
    CheckBox4 = CheckBox[4], CheckBox5 = CheckBox[5], CheckBox6 = CheckBox[6];
    CheckBox7 = CheckBox[7], CheckBox8 = CheckBox[8], CheckBox9 = CheckBox[9];
    CheckBox10 = CheckBox[10], CheckBox11 = CheckBox[11], CheckBox12 = CheckBox[12];
    Chart1 = Chart[1], Chart2 = Chart[2], Chart3 = Chart[3], Chart4 = Chart[4], Chart5 = Chart[5];
    Series1 = Chart1->Series(), Series2 = Chart2->Series(), Series3 = Chart3->Series();
    Series4 = Chart4->Series(), Series5 = Chart5->Series();
    // Chart1 is anchored to the bottom edge; the stacking below sets every chart's place.
}

void TGraghForm::FormCreate() {
    QFont windowFont = WindowFont(font());
    windowFont.setPixelSize(WindowFontPixels);
    setFont(windowFont);
    // The size and place follow the main frame's client area once the window is in its frame.
    EnableAllChannels();
    for (int ch = 1; ch <= ChoiceCount; ++ch)
        CheckBox[ch]->setChecked(false);
    static_cast<ChannelChoice &>(*this) = ChannelChoice{};
    LayoutCharts();
    SetLanguageCaptions();
    // The program keeps one configuration window. Two of them would each hold their own copy of
    // the names, and confirming the stale one would silently undo the other; a window per graph
    // window was also never freed. A hidden one starts afresh from the names as they are now,
    // as a new window would; one the user still has open keeps what is typed in it.
    if (Form6) {
        form6 = Form6;
        if (form6->isHidden())
            form6->FormCreate();
    } else {
        QWidget *owner = MainFrameWindow();
        form6 = new TForm6(document, owner ? owner : this);
    }
    // Confirmed names relabel the check boxes of the graph window open then.
    connect(form6, &TForm6::Confirmed, this, [this] {
        for (int ch = 1; ch <= ChannelCount; ++ch)
            CheckBox[ch]->setText(ChannelCaption(ch));
        FitChannelCaptions();
    });
    for (int ch = 1; ch <= ChoiceCount; ++ch)
        CheckBox[ch]->setText(ChannelCaption(ch));
    for (const int choice : {CurrentVectorChoice, PhaseSumChoice})
        CheckBox[choice]->setAccessibleName(CheckBox[choice]->text());
    FitSidePanel();
    FitChannelCaptions();
    ShowTriggerStamp();
}

void TGraghForm::FitSidePanel() {
    // Labels, fields and clock buttons show their whole text in the window's font; the clock
    // frame and the side panel grow where they need more room than designed.
    for (QLabel *label : {Label1, Label2, Label3}) {
        label->resize(label->sizeHint());
        FitCaption(label);
    }
    FitFieldWidth(Edit1, QStringLiteral("100"));
    FitFieldWidth(Edit2, QStringLiteral("0000/00/00"));
    FitFieldWidth(Edit3, QStringLiteral("00:00"));
    int radioRight = 0;
    for (QRadioButton *button : {RadioButton1, RadioButton2})
        radioRight = std::max(radioRight, FitCaption(button));
    RadioGroup1->resize(std::max(RadioGroup1->width(), radioRight + EdgeGap - RadioGroup1->x()),
                        RadioGroup1->height());
    FitCaption(SaveImageButton);
    int alignRight = 0;
    for (QRadioButton *button : {AlignByTrigger, AlignBySample})
        alignRight = std::max(alignRight, FitCaption(button));
    AlignGroup->resize(std::max(AlignGroup->width(), alignRight + EdgeGap), AlignGroup->height());
    for (QLabel *label : {RefLabel1, RefLabel2, RefLabel3}) {
        label->resize(label->sizeHint());
        FitCaption(label);
    }
    int right = std::max(RadioGroup1->geometry().right(), AlignGroup->geometry().right()) + 1;
    for (QWidget *control :
         std::initializer_list<QWidget *>{Label1, Label2, Label3, Edit1, Edit2, Edit3,
                                          SaveImageButton, RefLabel1, RefLabel2, RefLabel3})
        right = std::max(right, control->geometry().right() + 1);
    Panel2->setFixedWidth(std::max(Panel2Width, right + PanelEdgeGap));
}

void TGraghForm::FitChannelCaptions() {
    // A caption may grow up to the next column; the last column has the panel's width to go.
    // A window too narrow for four columns wraps the check boxes into fewer, longer ones, so
    // that none is cut by the panel. The computed charts' boxes stand in a column of their own
    // beside the channels' first rows where the window is wide enough, else they follow the
    // channels in the same columns.
    const int room = width() - 2 * Panel1->frameWidth();
    const auto place = [](QCheckBox *box, int left, int row, int maxRight) {
        box->setGeometry(left, row < 3 ? RowTops[row] : RowTops[2] + (row - 2) * RowStep,
                         CheckBoxWidth, box->height());
        return FitCaption(box, maxRight);
    };
    for (int columns = 4;; --columns) {
        const auto inGrid = [&](int ch) {
            const int column = (ch - 1) % columns;
            return place(CheckBox[ch], ColumnLefts[column], (ch - 1) / columns,
                         column < columns - 1 ? ColumnLefts[column + 1] - ColumnGap : Unbounded);
        };
        int right = 0, topRowsRight = 0;
        for (int ch = 1; ch <= ChannelCount; ++ch) {
            const int end = inGrid(ch);
            right = std::max(right, end);
            if (ch <= 2 * columns)
                topRowsRight = std::max(topRowsRight, end);
        }
        const int asideLeft =
            std::max(ColumnLefts[columns - 1] + ColumnStep, topRowsRight + ColumnGap);
        int asideRight = right;
        for (int ch = ChannelCount + 1; ch <= ChoiceCount; ++ch)
            asideRight = std::max(asideRight,
                                  place(CheckBox[ch], asideLeft, ch - ChannelCount - 1, Unbounded));
        if (asideRight <= room)
            break;
        for (int ch = ChannelCount + 1; ch <= ChoiceCount; ++ch)
            right = std::max(right, inGrid(ch));
        if (columns == 1 || right <= room)
            break;
    }
    int bottom = 0;
    for (int ch = 1; ch <= ChoiceCount; ++ch)
        bottom = std::max(bottom, CheckBox[ch]->geometry().bottom() + 1);
    const int height = std::max(Panel1Height, bottom + RowsBottomGap);
    if (height != Panel1->height()) {
        Panel1->setFixedHeight(height);
        // The chart area takes its new size now, not at the next layout pass.
        layout()->invalidate();
        layout()->activate();
    }
}

void TGraghForm::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    if (event->oldSize().width() != event->size().width())
        FitChannelCaptions();
}

TForm6 *TGraghForm::ChannelWindow() const {
    return form6;
}

void TGraghForm::PlaceInFrame() {
    if (!ChildFrameOf(this))
        return;
    const QSize client = MainClientSize();
    // Never smaller than the side panel and the check boxes need: on a small or high-density
    // screen the window reaches past the client area, which then scrolls, rather than cutting
    // off the controls at the panel's foot.
    int sideBottom = 0;
    for (const QWidget *control : Panel2->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (control != ListBox1 && control != ListBox2)
            sideBottom = std::max(sideBottom, control->geometry().bottom() + 1);
    const QMdiSubWindow *frame = ChildFrameOf(this);
    const int decoration = std::max(0, frame->height() - height());
    const int width = std::max(client.width() - 100, 320);
    const int height =
        std::max({client.height() - 40, 200, sideBottom + 4 + Panel1->height() +
                                                 decoration});
    PlaceChildFrame(this, QRect(50, 20, width, height));
}

void TGraghForm::showEvent(QShowEvent *event) {
    if (!placed) {
        placed = true;
        PlaceInFrame();
    }
    QWidget::showEvent(event);
}

void TGraghForm::closeEvent(QCloseEvent *event) {
    FormClose();
    QWidget::closeEvent(event);
}

void TGraghForm::FormClose() {
    // The report charts its default channels again.
    document.SetChartedChannels({});
    GiveMenuItemBack(QStringLiteral("N1"));
}

bool TGraghForm::eventFilter(QObject *watched, QEvent *event) {
    if (watched == Panel3 && event->type() == QEvent::Resize) {
        if (restacking)
            StackCharts(false);
        else
            Panel3Resize();
    }
    return QWidget::eventFilter(watched, event);
}

void TGraghForm::Panel3Resize() {
    Button1Click();
}

QString TGraghForm::ChannelCaption(int ch) const {
    if (ch == CurrentVectorChoice || ch == PhaseSumChoice)
        return QString::fromStdString(DerivedChannelName(DerivedOf(ch), japanese));
    if (OwnNameFlag[ch] != 0) {
        if (form6)
            return form6->EditText(ch);
        return QString::fromStdString(OwnName[ch]);
    }
    return ListBox1->item(ChannelNameIndex(ch, Language, DriveTypeE))->text();
}

void TGraghForm::SetLanguageCaptions() {
    Button1->setText(Pick(Button1Caption));
    Button2->setText(Pick(Button2Caption));
    Button3->setText(Pick(Button3Caption));
    Button4->setText(Pick(Button4Caption));
    RadioGroup1->setTitle(Pick(RadioGroup1Caption));
    RadioButton1->setText(Pick(RadioButton1Caption));
    RadioButton2->setText(Pick(RadioButton2Caption));
    AlignGroup->setTitle(Pick(AlignGroupCaption));
    AlignByTrigger->setText(Pick(AlignByTriggerCaption));
    AlignBySample->setText(Pick(AlignBySampleCaption));
    japanese = IsJapanese();
    SaveImageButton->setText(Pick(SaveImageCaption, japanese));
    // Screen readers say what the window shows, in its language.
    for (QAbstractButton *button :
         std::initializer_list<QAbstractButton *>{SaveImageButton, AlignByTrigger, AlignBySample})
        button->setAccessibleName(button->text());
}

void TGraghForm::SelectChannel(int ch) {
    if (Select(ch))
        DisableUnselected();
}

void TGraghForm::DeselectChannel(int ch) {
    if (Deselect(ch))
        EnableAllChannels();
}

void TGraghForm::DisableUnselected() {
    for (int ch = 1; ch <= ChoiceCount; ++ch)
        if (ChartOfChannel[ch] == 0)
            CheckBox[ch]->setEnabled(false);
}

void TGraghForm::EnableAllChannels() {
    for (int ch = 1; ch <= ChoiceCount; ++ch)
        CheckBox[ch]->setEnabled(true);
}

void TGraghForm::CheckBoxClick(int ch) {
    ClickedChannel = ch;
    if (CheckBox[ch]->isChecked())
        SelectChannel(ch);
    else
        DeselectChannel(ch);
    // A box whose channel could not be taken (a sixth) does not stay ticked.
    CheckBox[ch]->setChecked(ChartOfChannel[ch] != 0);
    LayoutCharts();
}

void TGraghForm::LayoutCharts() {
    std::vector<int> charted;
    for (int p = 1; p <= SelectedCount && p <= MaxShownChannels; ++p)
        charted.push_back(ChannelOfChart[p]);
    document.SetChartedChannels(std::move(charted));
    FitReadout();
    const std::uint64_t before = shownTrace.Generation;
    StackCharts(true);
    // The trigger fields never show another trace than the charts.
    if (shownTrace.Generation != before)
        ShowTriggerStamp();
    ShowPreviousTrace();
}

void TGraghForm::ShowPreviousTrace() {
    // Showing or hiding the label lays the window out at once, or at the next layout pass.
    restacking = true;
    if (PreviousTrace->Update(shownTrace, document)) {
        layout()->invalidate();
        layout()->activate();
    }
    restacking = false;
}

void TGraghForm::TraceReplaced() {
    if (document.FollowNewTraces())
        Button1Click();
    else
        ShowPreviousTrace();
}

void TGraghForm::FitReadout() {
    // Sized with the choice of charts rather than with the cursors, so that placing or removing
    // a cursor never moves the charts under the mouse; beyond its first lines it takes at most a
    // third of the room it shares with the charts, and scrolls in a small window.
    const int spacing = CursorReadout->fontMetrics().lineSpacing();
    const int chrome =
        2 * (CursorReadout->frameWidth() + qRound(CursorReadout->document()->documentMargin()));
    const int shared = Panel3->height() + CursorReadout->height();
    const int lines = std::max(
        ReadoutLines, std::min(ReadoutLinesFor(SelectedCount), (shared / 3 - chrome) / spacing));
    const int height = spacing * lines + chrome;
    if (height == CursorReadout->height())
        return;
    CursorReadout->setFixedHeight(height);
    // The chart area takes its new size now, not at the next layout pass.
    layout()->invalidate();
    layout()->activate();
}

void TGraghForm::StackCharts(bool refill) {
    if (refill) {
        shownTrace.TakeFrom(document);
        triggerPoint = 100LL - shownTrace.Trace.Record.Header[0];
    }
    const TimeView &view = document.TimeView().View();
    shownFirst = view.First;
    shownLast = view.Last;
    const int k = SelectedCount;
    const int areaWidth = Panel3->width();
    const int areaHeight = Panel3->height();
    QList<ChannelChart *> shown;
    QList<QRect> places;
    for (int p = 1; p <= MaxShownChannels; ++p) {
        if (p > k) {
            Chart[p]->hide();
            continue;
        }
        ChartSlot slot = StackedChartSlot(p, k, areaHeight);
        // The top chart reaches down to the one below it: the rows left over when the height
        // does not divide evenly would show as a green stripe between them.
        if (p == k && k > 1)
            slot.Height = StackedChartSlot(k - 1, k, areaHeight).Top;
        places.append(QRect(0, slot.Top, areaWidth, slot.Height));
        if (refill || !fills[p])
            FillChart(p, ChannelOfChart[p], places.last().size());
        else
            ShowFill(p, places.last().size());
        shown.append(Chart[p]);
    }
    // One time axis: sample n at the same x in every chart, whatever their labels. The edges
    // are known before the charts take their places, so each is laid out once.
    ChannelChart::ShareTimeAxis(shown, areaWidth);
    for (qsizetype i = 0; i < shown.size(); ++i) {
        shown[i]->Place(places[i]);
        shown[i]->show();
    }
    ShowMarks();
}

void TGraghForm::ShowFill(int p, const QSize &size) {
    const TimeView &view = document.TimeView().View();
    Chart[p]->SetTimeRange(view.First, view.Last);
    if (!fills[p])
        return;
    const ChartFill *reference = refFills[p] ? &*refFills[p] : nullptr;
    if (view.ShowsAll() && !reference) {
        Chart[p]->Fill(*fills[p], size);
    } else {
        // A zoomed chart fits its height to the samples it shows, the reference's among them.
        ChartFill visible = *fills[p];
        visible.Range = reference ? VisibleVerticalRange(visible, *reference, view.First, view.Last)
                                  : VisibleVerticalRange(visible, view.First, view.Last);
        Chart[p]->Fill(visible, size);
    }
    Chart[p]->SetReference(reference);
}

std::optional<int> TGraghForm::TriggerMark() const {
    if (triggerPoint < 0 || triggerPoint > SampleCount - 1)
        return std::nullopt;
    return static_cast<int>(triggerPoint);
}

QString TGraghForm::ReadoutText() const {
    std::vector<ReadoutChart> charts;
    // Top chart first, as they are stacked.
    for (int p = SelectedCount; p >= 1; --p)
        if (fills[p] && Chart[p]->isVisibleTo(this))
            charts.push_back({Chart[p]->Title().toStdString(), &*fills[p],
                              refFills[p] ? &*refFills[p] : nullptr});
    // A trigger far off the samples still gives every sample its place relative to it.
    const int t = static_cast<int>(std::clamp<long long>(triggerPoint, -1000000, 1000000));
    // The data table's decimal separator.
    const std::string separator = QLocale().decimalPoint().toStdString();
    return QString::fromStdString(
        CursorReadoutText(document.TimeView().View(), t, charts, separator));
}

void TGraghForm::ShowMarks() {
    const TimeView &view = document.TimeView().View();
    const std::optional<int> trigger = TriggerMark();
    for (int p = 1; p <= SelectedCount && p <= MaxShownChannels; ++p)
        Chart[p]->SetMarks(trigger, view);
    const QString text = ReadoutText();
    if (text != CursorReadout->toPlainText())
        CursorReadout->setPlainText(text);
}

void TGraghForm::TimeViewChanged() {
    const TimeView &view = document.TimeView().View();
    if (view.First != shownFirst || view.Last != shownLast)
        StackCharts(false); // also shows the marks
    else
        ShowMarks();
}

void TGraghForm::keyPressEvent(QKeyEvent *event) {
    if (document.TimeView().HandleKey(event))
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

void TGraghForm::FillChart(int p, int ch) {
    if (p >= 1 && p <= MaxShownChannels)
        FillChart(p, ch, Chart[p]->size());
}

void TGraghForm::FillChart(int p, int ch, const QSize &size) {
    if (p < 1 || p > MaxShownChannels || ch < 1 || ch > ChoiceCount)
        return;
    const TraceUnits current = shownTrace.Units(document);
    refFills[p].reset();
    if (ch > ChannelCount) {
        fills[p] = DerivedChartFill(current, DerivedOf(ch), japanese);
        if (document.Reference())
            refFills[p] = ReferenceDerivedChartFill(current, *document.Reference(), DerivedOf(ch),
                                                    document.ReferenceAlignment(), japanese);
    } else {
        const ChartNaming naming = document.Naming();
        fills[p] = FillChartData(current, ch, naming);
        if (document.Reference())
            refFills[p] = ReferenceChartFill(current, *document.Reference(), ch,
                                             document.ReferenceAlignment(), naming);
    }
    ShowFill(p, size);
}

void TGraghForm::ShowTriggerStamp() {
    const TriggerStamp stamp =
        FormatTriggerStamp(shownTrace.Units(document).Record.Header,
                           RadioButton1->isChecked() ? StampClock::Setnvop : StampClock::HostCpu);
    Edit1->setText(QString::fromStdString(stamp.Point));
    Edit2->setText(QString::fromStdString(stamp.Date));
    Edit3->setText(QString::fromStdString(stamp.Time));
    // Narrow fields show the start of their text, not its end.
    for (QLineEdit *edit : {Edit1, Edit2, Edit3})
        edit->setCursorPosition(0);
    const bool reference = document.Reference().has_value();
    if (reference) {
        const TriggerStamp ref = FormatTriggerStamp(
            document.Reference()->Record.Header,
            RadioButton1->isChecked() ? StampClock::Setnvop : StampClock::HostCpu);
        RefLabel1->setText(QStringLiteral("Ref ") + QString::fromStdString(ref.Point));
        RefLabel2->setText(QString::fromStdString(ref.Date));
        RefLabel3->setText(QString::fromStdString(ref.Time));
        // The value itself, not only what it is, reaches a screen reader.
        const std::string values[3] = {ref.Point, ref.Date, ref.Time};
        for (int i = 0; QLabel *label : {RefLabel1, RefLabel2, RefLabel3}) {
            label->setAccessibleName(RefLabelNames[i] + QLatin1Char(' ') +
                                     QString::fromStdString(values[i]));
            ++i;
        }
        FitSidePanel();
    }
    for (QLabel *label : {RefLabel1, RefLabel2, RefLabel3})
        label->setVisible(reference);
}

void TGraghForm::ReferenceChanged() {
    const QSignalBlocker blocker(AlignByTrigger);
    AlignByTrigger->setChecked(document.ReferenceAlignment() == Alignment::Trigger);
    AlignBySample->setChecked(document.ReferenceAlignment() == Alignment::Sample);
    LayoutCharts();
    ShowTriggerStamp();
}

void TGraghForm::RadioButton1Click() {
    ShowTriggerStamp();
}

void TGraghForm::Button1Click() {
    document.ApplyTypeScales();
    for (int ch = 10; ch <= ChannelCount; ++ch)
        CheckBox[ch]->setText(ChannelCaption(ch));
    FitChannelCaptions();
    LayoutCharts();
    ShowTriggerStamp();
}

void TGraghForm::Button2Click() {
    PrintWindow(this);
}

void TGraghForm::Button3Click() {
    if (!form6)
        return;
    form6->show();
    form6->raise();
    form6->activateWindow();
}

void TGraghForm::Button4Click() {
    CloseChildWindow(this);
}

ChartsArea TGraghForm::ChartsPicture() const {
    ChartsArea picture{Panel3, Panel3->rect(), {}, {}};
    SetChartsCaption(picture, shownTrace, document,
                     RadioButton1->isChecked() ? StampClock::Setnvop : StampClock::HostCpu,
                     japanese);
    return picture;
}
