#include "TEventsForm.h"

#include "Caption.h"
#include "ChildWindows.h"
#include "Diagnosis.h"
#include "FaultReport.h"
#include "Fonts.h"
#include "PlausibilityHints.h"
#include "TraceDocument.h"
#include "TForm4.h"
#include "TGraghForm.h"
#include "TimeView.h"
#include "TimeViewState.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTextBlock>
#include <QVBoxLayout>

TEventsForm *EventsForm = nullptr;

namespace {

constexpr Caption WindowCaption = {"イベント", "Events"};
constexpr Caption HintsCaption = {"ヒント", "Hints"};
constexpr Caption NoHintsCaption = {"ヒントなし", "No hints"};
constexpr int MeaningColumn = 5;
constexpr int MinimumEventRows = 3;
constexpr Caption DiagnosisCaption = {"診断", "Diagnosis"};
constexpr Caption CloseCaption = {"閉じる", "Close"};
constexpr Caption StartCaption = {"開始時にセット:", "Set at the start:"};
constexpr Caption StartBitCaption = {"ワード %1 ビット %2", "Word %1 Bit %2"};
constexpr int StartListLines = 3;
constexpr int StartItemSpacing = 5;
constexpr Caption ColumnCaptions[] = {{"サンプル", "Sample"}, {"T", "T"},
                                      {"ワード", "Word"},     {"ビット", "Bit"},
                                      {"種類", "Kind"},       {"意味", "Meaning"}};
// The first fault's row stands out whether or not it is selected.
const QColor FirstFaultColour(255, 214, 214);

} // namespace

TEventsForm::TEventsForm(TraceDocument &document, QWidget *parent)
    : QWidget(parent), document(document), japanese(document.Japanese()) {
    EventsForm = this;
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("EventsForm"));
    setWindowTitle(Pick(WindowCaption, japanese));
    setFont(WindowFont(font()));

    FirstFaultLabel = new QLabel(this);
    FirstFaultLabel->setObjectName(QStringLiteral("FirstFaultLabel"));
    FirstFaultLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont bold(FirstFaultLabel->font());
    bold.setBold(true);
    FirstFaultLabel->setFont(bold);

    // The cause at a glance, and the whole explanation to read on or to select and copy.
    DiagnosisLabel = new QLabel(Pick(DiagnosisCaption, japanese), this);
    DiagnosisLabel->setObjectName(QStringLiteral("DiagnosisLabel"));
    DiagnosisText = new QPlainTextEdit(this);
    DiagnosisText->setObjectName(QStringLiteral("DiagnosisText"));
    DiagnosisText->setAccessibleName(QStringLiteral("Diagnosis"));
    DiagnosisText->setReadOnly(true);
    DiagnosisText->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                           Qt::TextSelectableByKeyboard);
    DiagnosisText->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    DiagnosisText->setTabChangesFocus(true);
    DiagnosisText->viewport()->installEventFilter(this);
    DiagnosisText->installEventFilter(this);
    DiagnosisLabel->setBuddy(DiagnosisText);

    EventGrid = new QTableWidget(0, 6, this);
    EventGrid->setObjectName(QStringLiteral("EventGrid"));
    EventGrid->setAccessibleName(QStringLiteral("Events"));
    QStringList headers;
    for (const Caption &c : ColumnCaptions)
        headers << Pick(c, japanese);
    EventGrid->setHorizontalHeaderLabels(headers);
    EventGrid->verticalHeader()->hide();
    EventGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    EventGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    EventGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    // The meaning takes the width the numbers leave, whatever the window's width: one line per
    // event, a meaning too long for it ending in "..." with the whole text as its tooltip.
    EventGrid->horizontalHeader()->setSectionResizeMode(MeaningColumn, QHeaderView::Stretch);
    EventGrid->setWordWrap(false);
    // However small the window, the table keeps room for a few whole rows: the first fault
    // must fit in it.
    EventGrid->setMinimumHeight(EventGrid->horizontalHeader()->sizeHint().height() +
                                MinimumEventRows *
                                    EventGrid->verticalHeader()->defaultSectionSize() +
                                2 * EventGrid->frameWidth());
    connect(EventGrid, &QTableWidget::cellClicked, this, [this](int row, int) { EventClick(row); });
    // Enter on the current row does what a click does, for the keyboard.
    connect(EventGrid, &QTableWidget::cellActivated, this,
            [this](int row, int) { EventClick(row); });

    // The bits already set at sample 0 (run, gate on, ...) tell the state before the trace; apart
    // from the table, they do not push down what changed.
    StartLabel = new QLabel(Pick(StartCaption, japanese), this);
    StartLabel->setObjectName(QStringLiteral("StartLabel"));
    StartList = new QListWidget(this);
    StartList->setObjectName(QStringLiteral("StartList"));
    StartList->setAccessibleName(StartLabel->text());
    StartList->setFlow(QListView::LeftToRight);
    StartList->setWrapping(true);
    StartList->setResizeMode(QListView::Adjust);
    // Items in a row stand clearly apart.
    StartList->setSpacing(StartItemSpacing);
    StartList->setFixedHeight(
        (StartList->fontMetrics().lineSpacing() + 2 * StartItemSpacing + 2) * StartListLines +
        2 * StartList->frameWidth());
    StartLabel->setBuddy(StartList);

    HintsLabel = new QLabel(Pick(HintsCaption, japanese), this);
    HintsLabel->setObjectName(QStringLiteral("HintsLabel"));
    HintList = new QListWidget(this);
    HintList->setObjectName(QStringLiteral("HintList"));
    HintList->setAccessibleName(QStringLiteral("Hints"));
    HintList->setWordWrap(true);
    HintsLabel->setBuddy(HintList);

    CloseButton = new QPushButton(Pick(CloseCaption, japanese), this);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    connect(CloseButton, &QPushButton::clicked, this, [this] { CloseChildWindow(this); });

    auto *column = new QVBoxLayout(this);
    column->addWidget(FirstFaultLabel);
    column->addWidget(DiagnosisLabel);
    column->addWidget(DiagnosisText, 3);
    column->addWidget(EventGrid, 3);
    column->addWidget(StartLabel);
    column->addWidget(StartList);
    column->addWidget(HintsLabel);
    column->addWidget(HintList, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CloseButton);
    column->addLayout(buttons);
    setTabOrder(DiagnosisText, EventGrid);
    setTabOrder(EventGrid, StartList);
    setTabOrder(StartList, HintList);
    setTabOrder(HintList, CloseButton);

    // Another trace loaded or read: its events replace the shown ones.
    connect(&document, &TraceDocument::TraceReplaced, this, &TEventsForm::FillEvents);
    FillEvents();
}

TEventsForm::~TEventsForm() {
    if (EventsForm == this)
        EventsForm = nullptr;
}

void TEventsForm::FillEvents() {
    const TraceUnits trace = document.Units();
    const TTraceRecord &record = trace.Record;
    const int t = ReportTriggerSample(record);
    const std::vector<FlagEvent> all = FlagEvents(record, japanese, trace.DriveTypeE);
    const QString firstFault = QString::fromStdString(FirstFaultText(all, t, japanese));
    const auto first = FirstFault(all);
    events.clear();
    firstFaultRow = -1;
    StartList->clear();
    for (std::size_t i = 0; i < all.size(); ++i) {
        const FlagEvent &e = all[i];
        if (e.Kind != FlagEventKind::Set) {
            if (first == i)
                firstFaultRow = static_cast<int>(events.size());
            events.push_back(e);
            continue;
        }
        QString text = Pick(StartBitCaption, japanese).arg(e.Word).arg(e.Bit);
        if (!e.Meaning.empty())
            text += QStringLiteral("  ") + QString::fromStdString(e.Meaning);
        auto *item = new QListWidgetItem(text, StartList);
        if (first == i) {
            // A fault present from the start is the first fault: it stands out here.
            item->setBackground(FirstFaultColour);
            QFont f = item->font();
            f.setBold(true);
            item->setFont(f);
        }
    }
    StartLabel->setVisible(StartList->count() > 0);
    StartList->setVisible(StartList->count() > 0);
    FirstFaultLabel->setText(firstFault);
    // Screen readers read the label's text, which says what it is; the description repeats it
    // for those that look there.
    FirstFaultLabel->setAccessibleDescription(firstFault);

    EventGrid->clearContents();
    EventGrid->setRowCount(static_cast<int>(events.size()));
    for (int row = 0; row < static_cast<int>(events.size()); ++row) {
        const FlagEvent &e = events[static_cast<std::size_t>(row)];
        const QString cells[] = {QString::number(e.Sample),
                                 QString::fromStdString(RelativeSampleText(e.Sample, t)),
                                 QString::number(e.Word),
                                 QString::number(e.Bit),
                                 QString::fromStdString(EventKindText(e.Kind, japanese)),
                                 QString::fromStdString(e.Meaning)};
        for (int col = 0; col < 6; ++col) {
            auto *item = new QTableWidgetItem(cells[col]);
            if (col < 4)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (col == MeaningColumn)
                item->setToolTip(cells[col]);
            if (row == firstFaultRow) {
                item->setBackground(FirstFaultColour);
                QFont f = item->font();
                f.setBold(true);
                item->setFont(f);
            }
            EventGrid->setItem(row, col, item);
        }
    }
    EventGrid->resizeColumnsToContents();
    if (firstFaultRow >= 0) {
        // Selected without moving cursor A: only a user's click places it.
        const QSignalBlocker blocker(EventGrid);
        EventGrid->selectRow(firstFaultRow);
    }
    ShowFirstFault();

    HintList->clear();
    for (const PlausibilityHint &hint : PlausibilityHints(trace, japanese))
        HintList->addItem(QString::fromStdString(hint.Text));
    if (HintList->count() == 0) {
        // An empty list would look as if the hints were still to come.
        auto *none = new QListWidgetItem(Pick(NoHintsCaption, japanese), HintList);
        none->setFlags(Qt::ItemIsEnabled);
    }
    FillDiagnosis(trace);
}

void TEventsForm::FillDiagnosis(const TraceUnits &trace) {
    const Diagnosis diagnosis = Diagnose(trace, japanese);
    const DiagnosisParts text = DiagnosisTextParts(diagnosis, japanese);
    // The first fault is named on top already.
    std::vector<std::string> lines = text.Cause;
    lines.push_back(text.State);
    lines.push_back(text.MovedFirst);
    lineSamples.assign(lines.size(), -1);
    for (std::size_t i = 0; i < text.Onsets.size(); ++i) {
        lines.push_back(text.Onsets[i]);
        lineSamples.push_back(diagnosis.Onsets[i].Sample);
    }
    QStringList shown;
    for (const std::string &line : lines) {
        // One block per line, so that a click finds its line.
        QString one = QString::fromStdString(line);
        one.replace(QLatin1Char('\n'), QLatin1Char(' '));
        shown << one;
    }
    DiagnosisText->setPlainText(shown.join(QLatin1Char('\n')));
    // The likely cause stands out as the first fault does.
    QTextCursor cause(DiagnosisText->document()->firstBlock());
    cause.select(QTextCursor::BlockUnderCursor);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cause.mergeCharFormat(bold);
}

void TEventsForm::ShowFirstFault() {
    if (firstFaultRow < 0)
        return;
    // The table has its final height only once the window is laid out.
    EventGrid->scrollToItem(EventGrid->item(firstFaultRow, 0), QAbstractItemView::PositionAtCenter);
}

void TEventsForm::EventClick(int row) {
    if (row < 0 || row >= static_cast<int>(events.size()))
        return;
    PlaceCursorA(events[static_cast<std::size_t>(row)].Sample);
}

void TEventsForm::DiagnosisLineClick(int line) {
    if (line < 0 || line >= static_cast<int>(lineSamples.size()))
        return;
    if (lineSamples[static_cast<std::size_t>(line)] >= 0)
        PlaceCursorA(lineSamples[static_cast<std::size_t>(line)]);
}

void TEventsForm::PlaceCursorA(int sample) {
    // Cursor A belongs to the charts; without one open there is nothing to place it on.
    if (!GraghForm && !Form4)
        return;
    // The sample is one of the loaded trace: the charts show that trace before A marks it.
    if (GraghForm && !GraghForm->Shown().IsLoaded(document))
        GraghForm->Button1Click();
    if (Form4)
        Form4->ShowLoadedTrace();
    document.TimeView().PlaceA(sample);
}

bool TEventsForm::eventFilter(QObject *watched, QEvent *event) {
    // A click on a signal's line, or Enter on it, places cursor A; dragging to select text
    // does not.
    if (watched == DiagnosisText->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && !DiagnosisText->textCursor().hasSelection())
            DiagnosisLineClick(
                DiagnosisText->cursorForPosition(mouse->position().toPoint()).blockNumber());
    } else if (watched == DiagnosisText && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            DiagnosisLineClick(DiagnosisText->textCursor().blockNumber());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TEventsForm::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (placed)
        return;
    placed = true;
    const QSize client = MainClientSize();
    const int width = client.isEmpty() ? 640 : std::min(640, client.width() - 40);
    const int height = client.isEmpty() ? 560 : std::min(560, client.height() - 30);
    PlaceChildFrame(this, QRect(30, 15, std::max(width, 320), std::max(height, 240)));
    // Once the placed window has laid out its table.
    QMetaObject::invokeMethod(this, &TEventsForm::ShowFirstFault, Qt::QueuedConnection);
}
