#pragma once
// Numeric graph window: up to five channels in stacked charts, trigger point and stamp, print.

#include "ChannelChoice.h"
#include "ChartScaling.h"
#include "ShownTrace.h"

#include "WindowExport.h"
#include <QPointer>

#include <QWidget>

#include <optional>

class ChannelChart;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineSeries;
class QLineEdit;
class QListWidget;
class QPainter;
class QPixmap;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class PreviousTraceLabel;
class TForm6;
class TraceDocument;

/// The channel choice (ClickedChannel, SelectedCount, ChartOfChannel, ChannelOfChart) is part of
/// the window itself.
class TGraghForm : public QWidget, public ChannelChoice {
    Q_OBJECT
public:
    /// Shows document's trace, reference and time view.
    explicit TGraghForm(TraceDocument &document, QWidget *parent = nullptr);

    /// The charts as the window shows them, for pictures taken out of it.
    ChartsArea ChartsPicture() const;
    ~TGraghForm() override;

    QFrame *Panel1 = nullptr;                   ///< bottom: channel check boxes
    QFrame *Panel2 = nullptr;                   ///< right: buttons, trigger fields, clock choice
    QWidget *Panel3 = nullptr;                  ///< the green chart area
    /// Per channel 1..12, then the computed charts' boxes (index 0 unused).
    QCheckBox *CheckBox[ChoiceCount + 1] = {};
    QPushButton *Button1 = nullptr;             ///< Redraw
    QPushButton *Button2 = nullptr;             ///< Print
    QPushButton *Button3 = nullptr;             ///< Ch-Set
    QPushButton *Button4 = nullptr;             ///< Close
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLineEdit *Edit1 = nullptr; ///< trigger point
    QLineEdit *Edit2 = nullptr; ///< trigger date
    QLineEdit *Edit3 = nullptr; ///< trigger time
    QGroupBox *RadioGroup1 = nullptr;
    QPushButton *SaveImageButton = nullptr; ///< the charts as PNG or PDF
    QRadioButton *RadioButton1 = nullptr;   ///< operator unit clock
    QRadioButton *RadioButton2 = nullptr;   ///< host CPU clock
    QGroupBox *AlignGroup = nullptr;        ///< how a reference lines up with the trace
    QRadioButton *AlignByTrigger = nullptr; ///< trigger samples coincide (the default)
    QRadioButton *AlignBySample = nullptr;  ///< sample k with sample k
    QLabel *RefLabel1 = nullptr;            ///< the reference's trigger point, while there is one
    QLabel *RefLabel2 = nullptr;            ///< the reference's trigger date
    QLabel *RefLabel3 = nullptr;            ///< the reference's trigger time
    ChannelChart *Chart[MaxShownChannels + 1] = {}; ///< per position 1..5 (index 0 unused)
    QListWidget *ListBox1 = nullptr;                ///< hidden: the 30 default channel names
    QListWidget *ListBox2 = nullptr;                ///< hidden: the titles of user-named channels
    QPlainTextEdit *CursorReadout = nullptr; ///< below the charts: the cursors' samples and values
    /// Above the charts, while they are not the loaded trace (accessible "Previous trace").
    PreviousTraceLabel *PreviousTrace = nullptr;
    // The same controls under their layout names.
    QCheckBox *CheckBox1 = nullptr, *CheckBox2 = nullptr, *CheckBox3 = nullptr;
    QCheckBox *CheckBox4 = nullptr, *CheckBox5 = nullptr, *CheckBox6 = nullptr;
    QCheckBox *CheckBox7 = nullptr, *CheckBox8 = nullptr, *CheckBox9 = nullptr;
    QCheckBox *CheckBox10 = nullptr, *CheckBox11 = nullptr, *CheckBox12 = nullptr;
    QCheckBox *CurrentVectorBox = nullptr; ///< |I|(%), CheckBox[CurrentVectorChoice]
    QCheckBox *PhaseSumBox = nullptr;      ///< Iu+Iv+Iw(%), CheckBox[PhaseSumChoice]
    ChannelChart *Chart1 = nullptr, *Chart2 = nullptr, *Chart3 = nullptr;
    ChannelChart *Chart4 = nullptr, *Chart5 = nullptr;
    QLineSeries *Series1 = nullptr, *Series2 = nullptr, *Series3 = nullptr;
    QLineSeries *Series4 = nullptr, *Series5 = nullptr;

    /// The program's channel configuration window, which this window shows and relabels from.
    TForm6 *ChannelWindow() const;

    void SelectChannel(int ch);
    void DeselectChannel(int ch);
    void DisableUnselected();
    void EnableAllChannels();
    /// Stacks the charts of the chosen channels and refills every visible one.
    void LayoutCharts();
    void SetLanguageCaptions();
    void ShowTriggerStamp();
    /// Fills the chart at position p (1..5) with channel ch (1..12), or the chart computed for
    /// CurrentVectorChoice / PhaseSumChoice, from the record.
    void FillChart(int p, int ch);
    /// The check box caption of channel ch by the current naming choice.
    QString ChannelCaption(int ch) const;

    /// Widens the channel check boxes to show their captions (after the captions changed).
    void FitChannelCaptions();

    /// Puts the window into its start state (also run by the constructor).
    void FormCreate();

    /// The trigger sample the charts mark, if it lies on them.
    std::optional<int> TriggerMark() const;
    /// The readout's text for the program's time view and the charts as shown.
    QString ReadoutText() const;
    /// The trace the charts and trigger fields show.
    const ShownTrace &Shown() const { return shownTrace; }

public slots:
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    /// The check box of channel ch (1..12, or a computed chart's) was clicked.
    void CheckBoxClick(int ch);
    void CheckBox1Click() { CheckBoxClick(1); }
    void CheckBox2Click() { CheckBoxClick(2); }
    void CheckBox3Click() { CheckBoxClick(3); }
    void CheckBox4Click() { CheckBoxClick(4); }
    void CheckBox5Click() { CheckBoxClick(5); }
    void CheckBox6Click() { CheckBoxClick(6); }
    void CheckBox7Click() { CheckBoxClick(7); }
    void CheckBox8Click() { CheckBoxClick(8); }
    void CheckBox9Click() { CheckBoxClick(9); }
    void CheckBox10Click() { CheckBoxClick(10); }
    void CheckBox11Click() { CheckBoxClick(11); }
    void CheckBox12Click() { CheckBoxClick(12); }
    void RadioButton1Click();
    /// The window closes: the menu item that opens it is enabled again.
    void FormClose();
    /// The chart area changed its size: redraw.
    void Panel3Resize();
    /// The program's time view changed: new range, cursors or hover.
    void TimeViewChanged();
    /// The reference or its alignment changed: redraw with it.
    void ReferenceChanged();
    /// Another trace was put in: redrawn when the views follow new traces, else said so.
    void TraceReplaced();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreateControls();
    void PlaceInFrame();
    /// FillChart for a chart that is about to get the given size.
    void FillChart(int p, int ch, const QSize &size);
    void FitSidePanel();
    /// Gives the readout room for its lines with the charts chosen.
    void FitReadout();
    /// Stacks the charts; refill takes the record's values anew, else those last taken.
    void StackCharts(bool refill);
    /// Shows the values last taken for position p, fitted to the visible samples.
    void ShowFill(int p, const QSize &size);
    void ShowMarks();
    /// Shows or hides PreviousTrace; the charts keep what they show while it takes its room.
    void ShowPreviousTrace();

    TraceDocument &document;
    ShownTrace shownTrace;
    bool restacking = false; ///< the chart area changes size for PreviousTrace, not the user
    QPointer<TForm6> form6;
    bool placed = false;
    bool japanese = false; ///< the language the window was opened in, for its messages
    // What each chart shows (per position 1..5) and the trigger they were taken with.
    std::optional<ChartFill> fills[MaxShownChannels + 1];
    std::optional<ChartFill> refFills[MaxShownChannels + 1]; ///< the reference's, if any
    long long triggerPoint = 0;                              ///< 100 - Header[0]
    int shownFirst = 0;
    int shownLast = SampleCount - 1;
};

/// The open numeric graph window, or nullptr.
extern TGraghForm *GraghForm;
