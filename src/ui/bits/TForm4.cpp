#include "TForm4.h"

#include "BitGraphLayout.h"

#include "Caption.h"
#include "CaptionFit.h"
#include "ChildWindows.h"
#include "Fonts.h"
#include "PreviousTraceLabel.h"
#include "TimeAxisControl.h"
#include "TimeMarks.h"
#include "TraceDocument.h"
#include "TimeViewColors.h"
#include "TimeViewState.h"
#include "WindowPrint.h"

#include <QAction>
#include <QChart>
#include <QChartView>
#include <QEvent>
#include <QFrame>
#include <QGraphicsLayout>
#include <QGraphicsPathItem>
#include <QGraphicsSimpleTextItem>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <functional>

TForm4 *Form4 = nullptr;

namespace {

constexpr Caption Button1Caption = {"印刷", "Print"};
constexpr Caption Button2Caption = {"閉じる", "Close"};
constexpr Caption RadioCaptions[FlagWordCount] = {{"故障フラグ(1)", "Fault Flag(1)"},
                                                  {"故障フラグ(2)", "Fault Flag(2)"},
                                                  {"INV状態フラグ", "INV. status Flag"},
                                                  {"INV指令フラグ", "INV. command Flag"}};

constexpr int Panel3Width = 36;

constexpr double AxisMin = -2.0;
constexpr double AxisMax = 64.0;
constexpr double LevelStep = 4.0; // vertical distance of two bit traces
constexpr int LastSample = SampleCount - 1;

// The readout's two lines below the chart; a further line's room keeps a scroll bar away.
constexpr int ReadoutLines = 3;
constexpr Caption SaveImageCaption = {"画像保存...", "Save Image..."};
constexpr int ReadoutFontPixels = 11;
// The chart draws its grid at z 2, axes at 3 and traces at 4: the trigger marker lies under the
// traces, the cursors and the hover line above them.
constexpr double TriggerZ = 3.5;
constexpr double ReferenceZ = 3.4;

// A chart view that lets the window lay out the plot area once the chart has its new size;
// Qt Charts mislays a plot area that is set before.
class BitChartView : public QChartView {
public:
    BitChartView(QChart *chart, QWidget *parent, std::function<void()> resized)
        : QChartView(chart, parent), afterResize(std::move(resized)) {}

protected:
    void resizeEvent(QResizeEvent *event) override {
        QChartView::resizeEvent(event);
        afterResize();
    }

private:
    std::function<void()> afterResize;
};

} // namespace

using namespace BitGraphLayout;

TForm4::TForm4(TraceDocument &document, QWidget *parent)
    : QWidget(parent), document(document) {
    Form4 = this;
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("bit Data Form"));

    shownTrace.TakeFrom(document);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    PreviousTrace =
        new PreviousTraceLabel(PreviousTraceLabel::WayBack::ChooseWord, IsJapanese(), this);
    outer->addWidget(PreviousTrace);
    auto *row = new QHBoxLayout;
    row->setSpacing(0);
    outer->addLayout(row, 1);

    Panel3 = new QFrame(this);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->setFixedWidth(Panel3Width);
    for (int b = 0; b < FlagBitCount; ++b) {
        Label[b] = new QLabel(QStringLiteral("bit%1").arg(b), Panel3);
        Label[b]->setObjectName(QStringLiteral("Label%1").arg(b + 1));
        Label[b]->move(LabelLeft, 0);
    }
    QLabel **labels[FlagBitCount] = {&Label1,  &Label2,  &Label3,  &Label4,  &Label5,  &Label6,
                                     &Label7,  &Label8,  &Label9,  &Label10, &Label11, &Label12,
                                     &Label13, &Label14, &Label15, &Label16};
    for (int b = 0; b < FlagBitCount; ++b)
        *labels[b] = Label[b];
    Panel3->installEventFilter(this);
    row->addWidget(Panel3);

    Panel4 = new QFrame(this);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    auto *panel4Layout = new QHBoxLayout(Panel4);
    panel4Layout->setContentsMargins(0, 0, 0, 0);
    SetupChart();
    panel4Layout->addWidget(ChartView);
    row->addWidget(Panel4, 1);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setFixedWidth(86);
    Button2 = new QPushButton(Panel1);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(8, 24, 67, 25);
    Button1 = new QPushButton(Panel1);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(8, 72, 67, 25);
    ListBox1 = new QListWidget(Panel1);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setGeometry(8, 192, 65, 81);
    for (const char *text : BitGraphTitles)
        ListBox1->addItem(QString::fromUtf8(text));
    ListBox1->setVisible(false);
    SaveImageButton = new QPushButton(Panel1);
    SaveImageButton->setObjectName(QStringLiteral("SaveImageButton"));
    SaveImageButton->setGeometry(4, 104, 78, 25);
    row->addWidget(Panel1);

    // Below the charts and as wide as the window, as in the graph window: its lines read
    // whole at a glance.
    BitReadout = new QPlainTextEdit(this);
    BitReadout->setObjectName(QStringLiteral("BitReadout"));
    BitReadout->setAccessibleName(QStringLiteral("Bit readout"));
    BitReadout->setReadOnly(true);
    BitReadout->setTabChangesFocus(true);
    BitReadout->setLineWrapMode(QPlainTextEdit::NoWrap);
    BitReadout->document()->setDocumentMargin(2);
    outer->addWidget(BitReadout);

    Form7 = new QFrame(this);
    Form7->setObjectName(QStringLiteral("Form7"));
    Form7->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Form7->setFixedHeight(Form7Height);
    for (int w = 0; w < FlagWordCount; ++w) {
        RadioButton[w] = new QRadioButton(Form7);
        RadioButton[w]->setObjectName(QStringLiteral("RadioButton%1").arg(w + 1));
        RadioButton[w]->setGeometry(RadioLeft[w], RadioTop, RadioWidth[w], 17);
    }
    RadioButton1 = RadioButton[0];
    RadioButton2 = RadioButton[1];
    RadioButton3 = RadioButton[2];
    RadioButton4 = RadioButton[3];
    // Drawing happens only when a button becomes selected.
    void (TForm4::*const clicks[FlagWordCount])() = {
        &TForm4::RadioButton1Click, &TForm4::RadioButton2Click, &TForm4::RadioButton3Click,
        &TForm4::RadioButton4Click};
    for (int w = 0; w < FlagWordCount; ++w) {
        connect(RadioButton[w], &QRadioButton::toggled, this, [this, click = clicks[w]](bool on) {
            if (on)
                (this->*click)();
        });
        // The word already chosen, chosen again, draws the loaded trace when another is shown.
        connect(RadioButton[w], &QRadioButton::clicked, this, [this, w] {
            if (w == drawnWord && !shownTrace.IsLoaded(this->document))
                DrawFlagWord(w);
        });
    }
    outer->addWidget(Form7);

    connect(Button1, &QPushButton::clicked, this, &TForm4::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm4::Button2Click);
    connect(SaveImageButton, &QPushButton::clicked, this,
            [this] { SaveChartsImage(this, ChartsPicture(), readoutJapanese); });
    InstallCopyPictureShortcut(this, [this] { return ChartsPicture(); });

    connect(&document.TimeView(), &TimeViewState::Changed, this, &TForm4::ShowTimeView);
    connect(&document, &TraceDocument::TraceReplaced, this, &TForm4::TraceReplaced);
    connect(&document, &TraceDocument::ReferenceChanged, this, &TForm4::PlaceTimeMarks);

    FormCreate();
    ShowTimeView(); // a window opened later shows the cursors and range already chosen
}

TForm4::~TForm4() {
    if (Form4 == this)
        Form4 = nullptr;
    // The chart outlives this part of the window: a mouse leaving it as the window goes clears
    // the hover, and that must no longer reach the window.
    disconnect(&document.TimeView(), nullptr, this, nullptr);
    disconnect(&document, nullptr, this, nullptr);
}

void TForm4::SetupChart() {
    Chart1 = new QChart;
    Chart1->setObjectName(QStringLiteral("Chart1"));
    Chart1->legend()->hide();
    Chart1->setAnimationOptions(QChart::NoAnimation);
    Chart1->setBackgroundRoundness(0);
    Chart1->setDropShadowEnabled(false);
    Chart1->setBackgroundBrush(Qt::white);
    Chart1->setPlotAreaBackgroundBrush(Qt::white);
    Chart1->setPlotAreaBackgroundVisible(true);
    Chart1->setMargins(QMargins());
    Chart1->layout()->setContentsMargins(0, 0, 0, 0);

    const QPen gridPen(QColor(0x80, 0x80, 0x80), 1, Qt::DotLine);

    LeftAxis = new QValueAxis;
    LeftAxis->setRange(AxisMin, AxisMax);
    LeftAxis->setTickType(QValueAxis::TicksDynamic);
    LeftAxis->setTickAnchor(0.0); // the clear levels 0, 4, ... 60 lie on grid lines
    LeftAxis->setTickInterval(LevelStep);
    LeftAxis->setMinorTickCount(1);
    LeftAxis->setMinorGridLineVisible(false);
    LeftAxis->setLabelsVisible(false);
    LeftAxis->setLabelsColor(Qt::black);
    LeftAxis->setGridLinePen(gridPen);
    LeftAxis->setLinePen(QPen(Qt::black));
    Chart1->addAxis(LeftAxis, Qt::AlignLeft);

    BottomAxis = new QValueAxis;
    BottomAxis->setRange(0, LastSample);
    BottomAxis->setTickType(QValueAxis::TicksDynamic);
    BottomAxis->setTickAnchor(0.0);
    BottomAxis->setTickInterval(5);
    BottomAxis->setMinorTickCount(4);
    BottomAxis->setMinorGridLineVisible(false);
    BottomAxis->setLabelFormat(QStringLiteral("%d"));
    BottomAxis->setLabelsColor(Qt::black);
    BottomAxis->setGridLinePen(gridPen);
    BottomAxis->setLinePen(QPen(Qt::black));
    Chart1->addAxis(BottomAxis, Qt::AlignBottom);

    const QPen red(Qt::red, 1);
    for (int b = 0; b < FlagBitCount; ++b) {
        Series[b] = new QLineSeries;
        Series[b]->setObjectName(QStringLiteral("Series%1").arg(b + 1));
        Series[b]->setPen(red);
        Series[b]->setPointsVisible(false);
        Chart1->addSeries(Series[b]);
        Series[b]->attachAxis(BottomAxis);
        Series[b]->attachAxis(LeftAxis);
    }
    QLineSeries **series[FlagBitCount] = {
        &Series1, &Series2,  &Series3,  &Series4,  &Series5,  &Series6,  &Series7,  &Series8,
        &Series9, &Series10, &Series11, &Series12, &Series13, &Series14, &Series15, &Series16};
    for (int b = 0; b < FlagBitCount; ++b)
        *series[b] = Series[b];

    // The chart's own title carries the text for anyone who asks the chart; it is centred
    // and so not drawn: the left-justified item below shows it.
    Chart1->setTitle(QStringLiteral("TChart"));
    Chart1->setTitleBrush(Qt::transparent);

    // A left-justified one-line title; the chart's own title is always centred.
    title = new QGraphicsSimpleTextItem(QStringLiteral("TChart"), Chart1);
    QFont titleFont(QStringLiteral("Arial"));
    titleFont.setPixelSize(13);
    title->setFont(titleFont);
    title->setBrush(Qt::blue);

    ChartView = new BitChartView(Chart1, Panel4, [this] { LayoutChart(); });
    ChartView->setObjectName(QStringLiteral("Chart1"));
    ChartView->setFrameShape(QFrame::NoFrame);
    ChartView->setRenderHint(QPainter::Antialiasing, false);
    // A plot area placed before the chart has its first size leaves the chart's own
    // background unpainted, so the view paints the white behind it.
    ChartView->setBackgroundBrush(Qt::white);
    ChartView->setFocusPolicy(Qt::StrongFocus);
    ChartView->setAccessibleName(Chart1->title());
    new TimeAxisControl(ChartView, document.TimeView());
    ReferenceBits = new QGraphicsPathItem(Chart1);
    QPen referencePen(ReferenceColor, 1);
    referencePen.setCosmetic(true);
    ReferenceBits->setPen(referencePen);
    ReferenceBits->setZValue(ReferenceZ);
    marks = std::make_unique<TimeMarks>(Chart1, TriggerZ);
}

void TForm4::FormCreate() {
    // Captions follow the language of this moment; the chart keeps its own fonts.
    const bool japanese = IsJapanese();
    setFont(WindowFont(font()));
    Button1->setText(Pick(Button1Caption, japanese));
    Button2->setText(Pick(Button2Caption, japanese));
    SaveImageButton->setText(Pick(SaveImageCaption, japanese));
    SaveImageButton->setAccessibleName(SaveImageButton->text());
    // The right panel grows where the caption needs more room than designed.
    FitCaption(SaveImageButton);
    Panel1->setFixedWidth(std::max(86, SaveImageButton->geometry().right() + 1 + 4));
    for (int w = 0; w < FlagWordCount; ++w)
        RadioButton[w]->setText(Pick(RadioCaptions[w], japanese));
    FitRadioRows();
    // The label panel grows where "bit10" to "bit15" would run past it in this font.
    int labelsRight = 0;
    for (QLabel *label : Label) {
        label->resize(label->sizeHint());
        labelsRight = std::max(labelsRight, FitCaption(label));
    }
    Panel3->setFixedWidth(std::max(Panel3Width, labelsRight));
    readoutJapanese = japanese;
    // Fixed-width figures in both languages, so that the values of A and B line up; the
    // Japanese words come from the Japanese window font.
    QFont readoutFont = font();
    readoutFont.setFamilies({EnglishWindowFont, JapaneseWindowFont});
    readoutFont.setPixelSize(ReadoutFontPixels);
    BitReadout->setFont(readoutFont);
    BitReadout->setFixedHeight(
        BitReadout->fontMetrics().lineSpacing() * ReadoutLines +
        2 * (BitReadout->frameWidth() + qRound(BitReadout->document()->documentMargin())));
    // The axis numbers are drawn in the window's font, as its other texts.
    BottomAxis->setLabelsFont(font());
    LeftAxis->setLabelsFont(font());
    Panel3Resize();
    const QSize client = MainClientSize();
    resize(std::max(client.width() - 100, 200), std::max(client.height() - 40, 150));
}

void TForm4::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    if (event->oldSize().width() != event->size().width())
        FitRadioRows();
}

void TForm4::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (!placed) {
        // The frame exists only once the main frame has taken the window in.
        placed = true;
        const QSize client = MainClientSize();
        PlaceChildFrame(this, QRect(20, 0, client.width() - 100, client.height() - 40));
    }
}

void TForm4::closeEvent(QCloseEvent *event) {
    FormClose();
    QWidget::closeEvent(event);
}

void TForm4::FormClose() {
    // The chart's hover line goes with the chart.
    GiveMenuItemBack(QStringLiteral("N2"));
}

bool TForm4::eventFilter(QObject *watched, QEvent *event) {
    if (watched == Panel3 && event->type() == QEvent::Resize)
        Panel3Resize();
    return QWidget::eventFilter(watched, event);
}

void TForm4::ShowTimeView() {
    const TimeView &view = document.TimeView().View();
    if (view.First != shownFirst || view.Last != shownLast) {
        shownFirst = view.First;
        shownLast = view.Last;
        BottomAxis->setRange(view.First, view.Last);
        PlaceSampleTicks();
        // As after a resize: the axis, its numbers and the grid follow at once.
        Chart1->layout()->invalidate();
        Chart1->layout()->activate();
    }
    PlaceTimeMarks();
    const QString readout = QString::fromStdString(
        drawnWord < 0 ? std::string()
                      : BitReadoutText(view, shownTrace.Trace.Record, drawnWord, readoutJapanese));
    if (BitReadout->toPlainText() != readout)
        BitReadout->setPlainText(readout);
}

void TForm4::PlaceTimeMarks() {
    PlaceReferenceBits();
    const TimeView &view = document.TimeView().View();
    // The trigger of the flags drawn, until a word is chosen again.
    const std::optional<int> trigger =
        TriggerSample(drawnWord >= 0 ? shownTrace.Trace.Record : document.Record);
    marks->SetPlot(Chart1->plotArea(), view.First, view.Last);
    marks->SetMarks(trigger, view);
}

QString TForm4::ChartTitle() const {
    return title->text();
}

void TForm4::DrawFlagWord(int w) {
    if (w < 0 || w >= FlagWordCount)
        return;
    // The title follows the language of this moment, not the one of the captions.
    const QString text =
        ListBox1->item(w + (Language == LanguageEnglish ? FlagWordCount : 0))->text();
    title->setText(text);
    Chart1->setTitle(text);
    ChartView->setAccessibleName(text);
    shownTrace.TakeFrom(document);
    drawnWord = w;
    const TTraceRecord &record = shownTrace.Trace.Record;
    QList<QPointF> points(SampleCount);
    for (int b = 0; b < FlagBitCount; ++b) {
        const auto levels = BitTrace(record, w, b);
        for (int n = 0; n < SampleCount; ++n)
            points[n] = QPointF(n, levels[static_cast<std::size_t>(n)]);
        Series[b]->replace(points);
    }
    ShowTimeView();
    PreviousTrace->Update(shownTrace, document);
}

void TForm4::ShowLoadedTrace() {
    if (drawnWord >= 0 && !shownTrace.IsLoaded(document))
        DrawFlagWord(drawnWord);
}

void TForm4::TraceReplaced() {
    if (document.FollowNewTraces())
        ShowLoadedTrace();
    // Nothing drawn yet: there is no other trace to speak of.
    if (drawnWord >= 0)
        PreviousTrace->Update(shownTrace, document);
    ShowTimeView();
}

void TForm4::RadioButton1Click() {
    DrawFlagWord(0);
}

void TForm4::RadioButton2Click() {
    DrawFlagWord(1);
}

void TForm4::RadioButton3Click() {
    DrawFlagWord(2);
}

void TForm4::RadioButton4Click() {
    DrawFlagWord(3);
}

void TForm4::Button1Click() {
    PrintWindow(this);
}

void TForm4::Button2Click() {
    CloseChildWindow(this);
}

ChartsArea TForm4::ChartsPicture() const {
    // The bit labels belong to the chart: both panels together, as they stand side by side.
    ChartsArea picture{
        const_cast<TForm4 *>(this), Panel3->geometry().united(Panel4->geometry()), {}, {}};
    // The window has no clock choice: the stamp is the one the graph window starts with.
    SetChartsCaption(picture, shownTrace, document, StampClock::Setnvop, readoutJapanese);
    return picture;
}
