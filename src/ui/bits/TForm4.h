#pragma once
// Bit graph window: the sixteen bits of one flag word as stacked on/off traces.

#include "BitGraph.h"

#include <QWidget>

class QChart;
class QChartView;
class QFrame;
class QGraphicsSimpleTextItem;
class QLabel;
class QLineSeries;
class QListWidget;
class QPushButton;
class QRadioButton;
class QValueAxis;

class TForm4 : public QWidget {
    Q_OBJECT
public:
    explicit TForm4(QWidget *parent = nullptr);
    ~TForm4() override;

    QFrame *Panel1 = nullptr;
    QPushButton *Button2 = nullptr;  ///< close
    QPushButton *Button1 = nullptr;  ///< print
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

public slots:
    void RadioButton1Click();
    void RadioButton2Click();
    void RadioButton3Click();
    void RadioButton4Click();
    void Button1Click();
    void Button2Click();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void SetupChart();
    void LayoutChart();

    QGraphicsSimpleTextItem *title = nullptr;
    bool placed = false;
};

/// The open bit graph window, or nullptr.
extern TForm4 *Form4;
