#pragma once
// Bit graph window: the sixteen bits of one flag word as stacked on/off traces.

#include "BitGraph.h"
#include "ShownTrace.h"

#include "WindowExport.h"

#include <QWidget>

#include <memory>
#include <optional>
#include <utility>

class QChart;
class QChartView;
class QFrame;
class QGraphicsSimpleTextItem;
class QLabel;
class PreviousTraceLabel;
class QGraphicsPathItem;
class QLineSeries;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QValueAxis;
class TimeMarks;
class TraceDocument;

class TForm4 : public QWidget {
    Q_OBJECT
public:
    /// Shows document's flag words, reference and time view.
    explicit TForm4(TraceDocument &document, QWidget *parent = nullptr);

    /// The charts as the window shows them, for pictures taken out of it.
    ChartsArea ChartsPicture() const;
    ~TForm4() override;

    QFrame *Panel1 = nullptr;
    QPushButton *Button2 = nullptr;         ///< close
    QPushButton *Button1 = nullptr;         ///< print
    QPushButton *SaveImageButton = nullptr; ///< the charts as PNG or PDF
    QListWidget *ListBox1 = nullptr; ///< hidden: the eight chart titles, Japanese then English
    QFrame *Form7 = nullptr;         ///< bottom panel with the word choice
    QRadioButton *RadioButton1 = nullptr;
    QRadioButton *RadioButton2 = nullptr;
    QRadioButton *RadioButton3 = nullptr;
    QRadioButton *RadioButton4 = nullptr;
    QRadioButton *RadioButton[FlagWordCount] = {}; ///< RadioButton1 .. RadioButton4
    QFrame *Panel3 = nullptr;                      ///< bit labels
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr;
    QLabel *Label5 = nullptr, *Label6 = nullptr, *Label7 = nullptr, *Label8 = nullptr;
    QLabel *Label9 = nullptr, *Label10 = nullptr, *Label11 = nullptr, *Label12 = nullptr;
    QLabel *Label13 = nullptr, *Label14 = nullptr, *Label15 = nullptr, *Label16 = nullptr;
    QLabel *Label[FlagBitCount] = {}; ///< Label[b] is "bit<b>", that is Label<b + 1>
    QFrame *Panel4 = nullptr;
    QChartView *ChartView = nullptr; ///< the chart's widget, named Chart1 like the chart
    QChart *Chart1 = nullptr;
    QLineSeries *Series1 = nullptr, *Series2 = nullptr, *Series3 = nullptr, *Series4 = nullptr;
    QLineSeries *Series5 = nullptr, *Series6 = nullptr, *Series7 = nullptr, *Series8 = nullptr;
    QLineSeries *Series9 = nullptr, *Series10 = nullptr, *Series11 = nullptr;
    QLineSeries *Series12 = nullptr, *Series13 = nullptr, *Series14 = nullptr;
    QLineSeries *Series15 = nullptr, *Series16 = nullptr;
    QLineSeries *Series[FlagBitCount] = {}; ///< Series[b] draws bit b, that is Series<b + 1>
    QValueAxis *LeftAxis = nullptr;
    QValueAxis *BottomAxis = nullptr;
    /// The chosen word at cursors A and B and the bits that differ (accessible "Bit readout").
    QPlainTextEdit *BitReadout = nullptr;
    /// Above the chart, while the word drawn is not the loaded trace's (accessible "Previous
    /// trace").
    PreviousTraceLabel *PreviousTrace = nullptr;

    /// The single line of the chart title.
    QString ChartTitle() const;

    /// Draws flag word w (0-3) of the record as it is now.
    void DrawFlagWord(int w);
    /// Places the sixteen bit labels for the current height of Panel3, and the plot beside them.
    void Panel3Resize();
    /// Size, place, font and captions by language; draws nothing.
    void FormCreate();
    /// The window closes: the menu item that opens it is enabled again.
    void FormClose();
    /// Shows the program's time view: the visible samples, cursors, hover, trigger marker and
    /// the readout.
    void ShowTimeView();
    /// The reference's bits of the drawn word, grey beneath the traces (empty without one).
    QGraphicsPathItem *ReferenceBits = nullptr;
    /// The flag word drawn last (0-3), or -1 before the first drawing.
    int DrawnWord() const { return drawnWord; }
    /// The trace the drawn word was taken from.
    const ShownTrace &Shown() const { return shownTrace; }
    /// Draws the chosen word of the loaded trace again (nothing before a word was chosen).
    void ShowLoadedTrace();

public slots:
    void RadioButton1Click();
    void RadioButton2Click();
    void RadioButton3Click();
    void RadioButton4Click();
    void Button1Click();
    void Button2Click();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    /// Puts the flag word buttons in as few rows as the window's width allows.
    void FitRadioRows();
    void SetupChart();
    void LayoutChart();
    void PlaceSampleTicks();
    void PlaceTimeMarks();
    /// Draws the reference's bits, paired with the drawn record's samples, in the visible range.
    void PlaceReferenceBits();
    /// Another trace was put in: drawn when the views follow new traces, else said so.
    void TraceReplaced();

    TraceDocument &document;
    QGraphicsSimpleTextItem *title = nullptr;
    bool placed = false;

    // The trace the series were drawn from, so that marks and readout agree with the picture
    // until the next choice of a word redraws it.
    ShownTrace shownTrace;
    int drawnWord = -1;
    bool readoutJapanese = true; ///< the readout keeps the language of the window's creation

    std::unique_ptr<TimeMarks> marks;
    int shownFirst = -1, shownLast = -1; ///< sample range the bottom axis was set to
};

/// The open bit graph window, or nullptr.
extern TForm4 *Form4;
