#pragma once
// Events window: every flag event of the trace, the first fault named on top, the likely cause
// of the trip with the signals that moved first, the changes, the bits set at the start, then
// the hints.

#include "FlagEvents.h"

#include <QWidget>

#include <vector>

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

class TraceDocument;

class TEventsForm : public QWidget {
    Q_OBJECT
public:
    /// Lists the events of document's trace; follows each new one.
    explicit TEventsForm(TraceDocument &document, QWidget *parent = nullptr);
    ~TEventsForm() override;

    QLabel *FirstFaultLabel = nullptr; ///< names the first fault, or says there is none
    QLabel *DiagnosisLabel = nullptr;
    /// Likely cause, evidence, remedies, the state at the trip and the signals that moved
    /// first, one per line; a click on a signal's line places cursor A at its onset.
    QPlainTextEdit *DiagnosisText = nullptr;
    QTableWidget *EventGrid = nullptr; ///< sample, T-relative, word, bit, kind, meaning
    QLabel *StartLabel = nullptr;
    QListWidget *StartList = nullptr; ///< the bits already set at sample 0, apart from the changes
    QLabel *HintsLabel = nullptr;
    QListWidget *HintList = nullptr;
    QPushButton *CloseButton = nullptr;

    /// Fills the table, the first fault, the diagnosis and the hints from the record as it is now.
    void FillEvents();
    /// Row of the first fault in the table, or -1 (also when it was set at the start).
    int FirstFaultRow() const { return firstFaultRow; }
    /// Scrolls the table so that the first fault's row is wholly in view.
    void ShowFirstFault();
    /// The event shown in row.
    const FlagEvent &EventAt(int row) const { return events.at(static_cast<std::size_t>(row)); }

public slots:
    /// Places cursor A at the sample of row when the graph or the bit graph is open; they show
    /// the loaded trace first.
    void EventClick(int row);
    /// Places cursor A at the onset shown in line (from 0) of the diagnosis, as EventClick does;
    /// other lines do nothing.
    void DiagnosisLineClick(int line);

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FillDiagnosis(const TraceUnits &trace);
    /// Places cursor A at sample when a chart is open to show it.
    void PlaceCursorA(int sample);

    TraceDocument &document;
    bool japanese;
    bool placed = false;
    std::vector<FlagEvent> events; ///< the rises and falls, as the table shows them
    int firstFaultRow = -1;
    std::vector<int> lineSamples; ///< per diagnosis line: the onset's sample, or -1
};

/// The open events window, or nullptr.
extern TEventsForm *EventsForm;
