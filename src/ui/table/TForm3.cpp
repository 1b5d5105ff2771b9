#include "TForm3.h"

#include "Caption.h"
#include "CaptionFit.h"
#include "ChildWindows.h"
#include "Dialogs.h"
#include "Fonts.h"
#include "LastFolder.h"
#include "NumberFormat.h"
#include "PreviousTraceLabel.h"
#include "TraceDocument.h"
#include "TimeView.h"
#include "TimeViewState.h"
#include "TraceCsv.h"
#include "TraceDocument.h"
#include "WindowExport.h"

#include <QAction>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

TForm3 *Form3 = nullptr;

namespace {

constexpr Caption Button1Caption = {"閉じる", "Close"};
constexpr Caption RadioGroup1Caption = {"表示選択", "Data Type Sel"};
constexpr Caption RadioButton1Caption = {"正規化値", "Normalized"};
constexpr Caption RadioButton2Caption = {"元データ", "Original"};
constexpr Caption DifferenceCaption = {"差分", "Difference"};
constexpr Caption ExportButtonCaption = {"CSV出力...", "Export CSV..."};
constexpr Caption ExportDialogCaption = {"CSV出力", "Export CSV"};
// What a marked row is, on its tooltip and to a screen reader.
constexpr Caption TriggerRowCaption = {"トリガ", "Trigger"};
constexpr Caption CursorARowCaption = {"カーソルA", "Cursor A"};
constexpr Caption CursorBRowCaption = {"カーソルB", "Cursor B"};
// Light tints of the charts' mark colours, under black text.
const QColor TriggerRowColor(224, 224, 224);
const QColor CursorARowColor(214, 224, 255);
const QColor CursorBRowColor(208, 240, 208);
// Room beside the row numbers, so that a number never reads on into the cell next to it.
constexpr int RowNumberPadding = 8;

// The user's decimal separator, as the core formats want it; the default locale is the
// system one unless the program chose another.
std::string DecimalSeparator() {
    return QLocale().decimalPoint().toStdString();
}

} // namespace

void TStringGridModel::CellsChanged(int first, int last) {
    // Row 0 and column 0 live in the headers.
    emit headerDataChanged(Qt::Horizontal, 0, TableColumnCount - 2);
    emit headerDataChanged(Qt::Vertical, 0, TableRowCount - 2);
    const int from = std::max(first, 1) - 1;
    if (last >= 1)
        emit dataChanged(index(0, from), index(TableRowCount - 2, last - 1), {Qt::DisplayRole});
}

int TStringGridModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : TableRowCount - 1;
}

int TStringGridModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : TableColumnCount - 1;
}

void TStringGridModel::SetRowMarks(const std::array<RowMark, SampleCount> &marks,
                                   const QFont &bold) {
    rowMarks = marks;
    markFont = bold;
    emit headerDataChanged(Qt::Vertical, 0, TableRowCount - 2);
    emit dataChanged(index(0, 0), index(TableRowCount - 2, TableColumnCount - 2));
}

const TStringGridModel::RowMark *TStringGridModel::MarkOfRow(int row) const {
    if (row < 0 || row >= SampleCount || rowMarks[static_cast<std::size_t>(row)].Text.isEmpty())
        return nullptr;
    return &rowMarks[static_cast<std::size_t>(row)];
}

namespace {

// How a marked row reads: bold on its tint, its kind on the tooltip and to a screen reader.
QVariant MarkData(const TStringGridModel::RowMark *mark, const QFont &bold, int role) {
    if (!mark)
        return {};
    switch (role) {
    case Qt::BackgroundRole:
        return QBrush(mark->Background);
    case Qt::FontRole:
        return bold;
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole:
        return mark->Text;
    default:
        return {};
    }
}

} // namespace

QVariant TStringGridModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return cells[index.row() + 1][index.column() + 1];
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return MarkData(MarkOfRow(index.row()), markFont, role);
}

QVariant TStringGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical && role != Qt::DisplayRole) {
        const RowMark *mark = MarkOfRow(section);
        if (mark && role == Qt::AccessibleTextRole)
            return cells[section + 1][0] + QLatin1Char(' ') + mark->Text;
        return MarkData(mark, markFont, role);
    }
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section >= 0 && section < TableColumnCount - 1 ? cells[0][section + 1] : QString();
    return section >= 0 && section < TableRowCount - 1 ? cells[section + 1][0] : QString();
}

Qt::ItemFlags TStringGridModel::flags(const QModelIndex &index) const {
    // Read only: the record is shown, never changed here.
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

TStringGrid::TStringGrid(QWidget *parent) : QTableView(parent) {
    setModel(&cells);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab and Shift+Tab leave the grid for the window's other controls; the arrow keys move
    // from cell to cell.
    setTabKeyNavigation(false);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    // Centred with room on both sides: a number set against the right edge read on into the
    // cell beside it ("78" and "4.80" as "784.80").
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
}

TForm3::TForm3(TraceDocument &document, QWidget *parent)
    : QWidget(parent), document(document) {
    Form3 = this;
    shownTrace.TakeFrom(document);
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Data Form"));

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Raised);
    auto *panel2Layout = new QVBoxLayout(Panel2);
    panel2Layout->setContentsMargins(0, 0, 0, 0);
    panel2Layout->setSpacing(0);
    PreviousTrace =
        new PreviousTraceLabel(PreviousTraceLabel::WayBack::ChooseView, IsJapanese(), Panel2);
    panel2Layout->addWidget(PreviousTrace);
    StringGrid1 = new TStringGrid(Panel2);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    panel2Layout->addWidget(StringGrid1);
    layout->addWidget(Panel2, 1);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setFixedWidth(113);
    layout->addWidget(Panel1);

    Button1 = new QPushButton(Panel1);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(8, 32, 57, 25);
    RadioGroup1 = new QGroupBox(Panel1);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup1->setGeometry(4, 80, 104, 57);
    // The buttons belong to the panel and lie over the group's frame, so they exclude each
    // other as the panel's children.
    RadioButton1 = new QRadioButton(Panel1);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton1->setGeometry(12, 96, 80, 17);
    RadioButton2 = new QRadioButton(Panel1);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    RadioButton2->setGeometry(12, 112, 80, 17);
    DifferenceButton = new QRadioButton(Panel1);
    DifferenceButton->setObjectName(QStringLiteral("DifferenceButton"));
    DifferenceButton->setGeometry(12, 140, 80, 17);
    ExportButton = new QPushButton(Panel1);
    ExportButton->setObjectName(QStringLiteral("ExportButton"));
    ExportButton->setGeometry(4, 160, 104, 25);
    RadioButton1->setChecked(true);
    RadioButton1->raise();
    RadioButton2->raise();
    DifferenceButton->raise();

    connect(Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
    connect(ExportButton, &QPushButton::clicked, this, &TForm3::ExportCsvClick);
    // Only a button that becomes selected refreshes; choosing the selected one does nothing.
    connect(RadioButton1, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            RadioButton1Click();
    });
    connect(RadioButton2, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            RadioButton2Click();
    });

    connect(DifferenceButton, &QRadioButton::toggled, this, [this](bool on) {
        if (on && !ChoosingViewRedraws()) {
            FillDifference();
            StringGrid1->CellsChanged(0, ChannelCount);
        }
    });
    // The view already chosen, chosen again, shows the loaded trace when another is shown.
    for (QRadioButton *view : {RadioButton1, RadioButton2, DifferenceButton})
        connect(view, &QRadioButton::clicked, this, [this] { ChoosingViewRedraws(); });
    connect(&document, &TraceDocument::ReferenceChanged, this, &TForm3::ReferenceChanged);
    KeepShownTraceOnReplace(shownTrace, document, this);
    connect(&document, &TraceDocument::TraceReplaced, this, &TForm3::TraceReplaced);
    connect(&document.TimeView(), &TimeViewState::Changed, this, &TForm3::MarkRows);

    FormCreate();
}

void TForm3::MarkRows() {
    std::array<TStringGridModel::RowMark, SampleCount> marks;
    auto mark = [&marks, this](std::optional<int> sample, const Caption &caption,
                               const QColor &color) {
        if (!sample || *sample < 0 || *sample >= SampleCount)
            return;
        TStringGridModel::RowMark &row = marks[static_cast<std::size_t>(*sample)];
        // A row that is more than one mark says all, and is tinted as the first.
        if (row.Text.isEmpty())
            row.Background = color;
        else
            row.Text += QStringLiteral(", ");
        row.Text += Pick(caption, japanese);
    };
    const TimeView &view = document.TimeView().View();
    mark(view.A, CursorARowCaption, CursorARowColor);
    mark(view.B, CursorBRowCaption, CursorBRowColor);
    mark(triggerRow, TriggerRowCaption, TriggerRowColor);
    StringGrid1->SetRowMarks(marks);
}

TForm3::~TForm3() {
    if (Form3 == this)
        Form3 = nullptr;
}

void TForm3::FormCreate() {
    setFont(WindowFont(font()));
    japanese = IsJapanese();
    Button1->setText(Pick(Button1Caption));
    RadioGroup1->setTitle(Pick(RadioGroup1Caption));
    RadioButton1->setText(Pick(RadioButton1Caption));
    RadioButton2->setText(Pick(RadioButton2Caption));
    DifferenceButton->setText(Pick(DifferenceCaption));
    // Screen readers say what the window shows, in its language.
    DifferenceButton->setAccessibleName(DifferenceButton->text());
    // The view buttons stay inside the frame drawn around them.
    const int frameRight = RadioGroup1->geometry().right() - 2;
    for (QWidget *control :
         std::initializer_list<QWidget *>{RadioButton1, RadioButton2, DifferenceButton})
        FitCaption(control, frameRight);
    FitCaption(DifferenceButton, Panel1->width() - 2);
    FitCaption(Button1, Panel1->width() - 2);
    // The row numbers, bold ones too, keep clear of the cells beside them.
    QFont bold = font();
    bold.setBold(true);
    QHeaderView *rows = StringGrid1->verticalHeader();
    rows->setMinimumWidth(QFontMetrics(bold).horizontalAdvance(QStringLiteral("00")) +
                          2 * RowNumberPadding +
                          2 * rows->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, rows));
    ExportButton->setText(Pick(ExportButtonCaption, japanese));
    ExportButton->setAccessibleName(ExportButton->text());
    FitCaption(ExportButton, Panel1->width() - 2);
    resize(600, 400);
    FillGrid();
    if (shownTrace.Units(document).Normalized)
        RadioButton2->setEnabled(false);
    DifferenceButton->setEnabled(document.Reference().has_value());
}

void TForm3::ReferenceChanged() {
    const bool reference = document.Reference().has_value();
    DifferenceButton->setEnabled(reference);
    if (!DifferenceButton->isChecked())
        return;
    if (reference) {
        FillDifference();
        StringGrid1->CellsChanged(0, ChannelCount);
    } else {
        RadioButton1->setChecked(true); // refills as normalised
    }
}

void TForm3::TraceReplaced() {
    if (document.FollowNewTraces())
        ShowLoadedTrace();
    else
        PreviousTrace->Update(shownTrace, document);
}

bool TForm3::ChoosingViewRedraws() {
    if (shownTrace.IsLoaded(document))
        return false;
    ShowLoadedTrace();
    return true;
}

void TForm3::ShowLoadedTrace() {
    shownTrace.TakeFrom(document);
    // A trace in engineering units has no raw values to show.
    RadioButton2->setEnabled(!shownTrace.Trace.Normalized);
    if (RadioButton2->isChecked() && shownTrace.Trace.Normalized) {
        const QSignalBlocker blocker(RadioButton1);
        RadioButton1->setChecked(true);
    }
    FillGrid();
    if (RadioButton2->isChecked())
        FillChannels(false);
    else if (DifferenceButton->isChecked())
        FillDifference();
    StringGrid1->CellsChanged(0, TableColumnCount - 1);
    PreviousTrace->Update(shownTrace, document);
}

void TForm3::FillDifference() {
    if (!document.Reference())
        return;
    const TraceUnits current = shownTrace.Units(document);
    const std::string separator = DecimalSeparator();
    for (int n = 0; n < SampleCount; ++n)
        for (int c = 0; c < ChannelCount; ++c) {
            const auto difference =
                DifferenceValue(current, *document.Reference(), n, c, document.ReferenceAlignment());
            StringGrid1->SetCells(
                c + 1, n + 1,
                difference ? QString::fromStdString(FormatFixed(*difference, 2, separator))
                           : QString());
        }
}

void TForm3::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (!placed) {
        // The frame exists only once the main frame has taken the window in.
        placed = true;
        PlaceChildFrame(this, QRect(0, 0, 600, 400));
    }
}

void TForm3::closeEvent(QCloseEvent *event) {
    FormClose();
    QWidget::closeEvent(event);
}

void TForm3::FormClose() {
    GiveMenuItemBack(QStringLiteral("N3"));
}

void TForm3::FillGrid() {
    const TTraceRecord record = shownTrace.Units(document).Record;
    for (int col = 1; col < TableColumnCount; ++col)
        StringGrid1->SetCells(col, 0, QString::fromStdString(TableHeaderText(col)));
    FillChannels(true);
    for (int n = 0; n < SampleCount; ++n)
        for (int w = 0; w < FlagWordCount; ++w)
            StringGrid1->SetCells(1 + ChannelCount + w, n + 1,
                                  QString::fromStdString(FlagText(record, n, w)));
    StringGrid1->CellsChanged(0, TableColumnCount - 1);
    triggerRow = TriggerSample(record);
    MarkRows();
}

void TForm3::FillChannels(bool normalized) {
    const TraceUnits current = shownTrace.Units(document);
    const std::string separator = DecimalSeparator();
    for (int n = 0; n < SampleCount; ++n) {
        StringGrid1->SetCells(0, n + 1, QString::fromStdString(SampleNoText(current.Record, n)));
        for (int c = 0; c < ChannelCount; ++c) {
            const std::string text = normalized ? NormalizedText(current, n, c, separator)
                                                : RawText(current.Record, n, c, separator);
            StringGrid1->SetCells(c + 1, n + 1, QString::fromStdString(text));
        }
    }
}

void TForm3::RadioButton1Click() {
    if (ChoosingViewRedraws())
        return;
    FillChannels(true);
    StringGrid1->CellsChanged(0, ChannelCount);
}

void TForm3::RadioButton2Click() {
    if (ChoosingViewRedraws())
        return;
    FillChannels(false);
    StringGrid1->CellsChanged(0, ChannelCount);
}

void TForm3::Button1Click() {
    CloseChildWindow(this);
}

void TForm3::ExportCsvClick() {
    // What the grid shows, whichever trace is loaded now.
    const TraceUnits trace = shownTrace.Units(document);
    const CsvView view = DifferenceButton->isChecked() ? CsvView::Difference
                         : RadioButton2->isChecked()   ? CsvView::Original
                                                       : CsvView::Normalized;
    QString path =
        Dialogs::Current().SaveFileName(this, Pick(ExportDialogCaption, japanese),
                                        FileDialogFolder(), QStringLiteral("CSV (*.csv)"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive))
        path += QStringLiteral(".csv");
    SaveExportChecked(this, path,
                      QByteArray::fromStdString(
                          TraceCsv(trace, view, document.Reference() ? &*document.Reference() : nullptr,
                                   document.ReferenceAlignment())),
                      japanese);
}
