#pragma once
// Data table window: the whole trace record as text, channels normalised or raw.

#include "ShownTrace.h"
#include "TableText.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <QString>
#include <QTableView>
#include <QWidget>

#include <array>
#include <optional>

class QFrame;
class QGroupBox;
class QPushButton;
class QRadioButton;
class PreviousTraceLabel;
class TraceDocument;

/// Text cells of a string grid, addressed like the grid: Cells(col, row); row 0 and column 0
/// are the fixed header row and column.
class TStringGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    const QString &Cell(int col, int row) const { return cells[row][col]; }
    /// The rows of samples that stand out, each with what it is ("Trigger", "Cursor A", ...)
    /// and its background, by sample index 0..99; empty texts for a plain row.
    struct RowMark {
        QString Text;
        QColor Background;
    };
    /// bold: the font of a marked row.
    void SetRowMarks(const std::array<RowMark, SampleCount> &marks, const QFont &bold);
    void SetCell(int col, int row, const QString &text) { cells[row][col] = text; }
    /// Tells the view that the cells in columns first..last (and the headers) changed.
    void CellsChanged(int first, int last);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    QString cells[TableRowCount][TableColumnCount];
    std::array<RowMark, SampleCount> rowMarks;
    QFont markFont;
    const RowMark *MarkOfRow(int row) const;
};

/// A grid of text cells with one fixed header row and column, read only: the fixed row and
/// column are the view's headers.
class TStringGrid : public QTableView {
    Q_OBJECT
public:
    explicit TStringGrid(QWidget *parent = nullptr);

    /// Text of the cell in column col, row row (0 = header row / column).
    QString Cells(int col, int row) const { return cells.Cell(col, row); }
    void SetCells(int col, int row, const QString &text) { cells.SetCell(col, row, text); }
    /// Tells the view that the cells in columns first..last (and the headers) changed.
    void CellsChanged(int first, int last) { cells.CellsChanged(first, last); }
    /// What a sample's row says it is, shown as it is drawn and told to a screen reader.
    void SetRowMarks(const std::array<TStringGridModel::RowMark, SampleCount> &marks) {
        QFont bold = font();
        bold.setBold(true);
        cells.SetRowMarks(marks, bold);
    }

    int ColCount() const { return TableColumnCount; }
    int RowCount() const { return TableRowCount; }
    int FixedCols() const { return 1; }
    int FixedRows() const { return 1; }

private:
    TStringGridModel cells;
};

class TForm3 : public QWidget {
    Q_OBJECT
public:
    /// Shows document's trace and its difference from the reference.
    explicit TForm3(TraceDocument &document, QWidget *parent = nullptr);
    ~TForm3() override;

    /// Text of the grid cell in column col, row row (0 = header row / column).
    QString Cells(int col, int row) const { return StringGrid1->Cells(col, row); }

    QFrame *Panel1 = nullptr;
    QPushButton *Button1 = nullptr;
    QGroupBox *RadioGroup1 = nullptr;
    QRadioButton *RadioButton1 = nullptr;
    QRadioButton *RadioButton2 = nullptr;
    /// Current - reference; enabled only while a reference is loaded.
    QRadioButton *DifferenceButton = nullptr;
    QPushButton *ExportButton = nullptr;
    QFrame *Panel2 = nullptr;
    TStringGrid *StringGrid1 = nullptr;
    /// Above the grid, while it is not the loaded trace (accessible "Previous trace").
    PreviousTraceLabel *PreviousTrace = nullptr;

    /// Fills the whole grid from the trace shown, in the normalised view.
    void FillGrid();
    /// The trace the grid shows, and exports.
    const ShownTrace &Shown() const { return shownTrace; }
    /// Takes the loaded trace and fills the whole grid from it in the view chosen (the
    /// normalised one where the raw view no longer applies).
    void ShowLoadedTrace();

    /// Captions and font by language, size, the whole grid in the normalised view, the raw
    /// view disabled for a record already in engineering units.
    void FormCreate();
    /// The window closes: the menu item that opens it is enabled again.
    void FormClose();

public slots:
    void RadioButton1Click();
    void RadioButton2Click();
    void Button1Click();
    /// Asks for a file and writes the table there as CSV, in the view shown.
    void ExportCsvClick();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    TraceDocument &document;
    ShownTrace shownTrace;
    void FillChannels(bool normalized);
    /// The channel columns as current - reference, empty where a sample has no partner.
    void FillDifference();
    /// The reference or its alignment changed.
    void ReferenceChanged();
    /// Another trace was put in: shown when the views follow new traces, else said so.
    void TraceReplaced();
    /// A view was chosen: true when that took in the loaded trace, which fills every column.
    bool ChoosingViewRedraws();
    /// Marks the rows of the trigger and of cursors A and B.
    void MarkRows();

    bool placed = false;
    bool japanese = false; ///< the window keeps the language it was opened in
    std::optional<int> triggerRow; ///< the trigger sample of the trace the grid was filled from
};

/// The open data table window, or nullptr.
extern TForm3 *Form3;
