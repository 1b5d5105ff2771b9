#pragma once
// Bit graph window: the sixteen bits of one flag word as stacked on/off traces.

#include "BitGraph.h"

#include <QWidget>

#include <memory>

class QChart;
class QChartView;
class QFrame;
class QGraphicsSimpleTextItem;
class QLabel;
class QLineSeries;
class QPrinter;
class QPushButton;
class QRadioButton;
class QValueAxis;

class TForm4 : public QWidget {
    Q_OBJECT
public:
    explicit TForm4(QWidget *parent = nullptr);
    ~TForm4() override;

    QFrame *Panel1 = nullptr;
    QPushButton *Button2 = nullptr; ///< close
    QPushButton *Button1 = nullptr; ///< print
    QFrame *Form7 = nullptr;        ///< bottom panel with the word choice
    QRadioButton *RadioButton[FlagWordCount] = {};
    QFrame *Panel3 = nullptr; ///< bit labels
    QLabel *Label[FlagBitCount] = {};
    QFrame *Panel4 = nullptr;
    QChartView *ChartView = nullptr;
    QChart *Chart1 = nullptr;
    QLineSeries *Series[FlagBitCount] = {}; ///< Series[b] draws bit b
    QValueAxis *LeftAxis = nullptr;
    QValueAxis *BottomAxis = nullptr;

    /// The single line of the chart title.
    QString ChartTitle() const;

    /// Draws flag word w (0-3) of the record as it is now.
    void DrawFlagWord(int w);
    /// Places the sixteen bit labels for the current height of Panel3.
    void Panel3Resize();

public slots:
    void Button1Click();
    void Button2Click();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    void SetupChart();
    void LayoutChart();

    QGraphicsSimpleTextItem *title = nullptr;
    std::unique_ptr<QPrinter> printer; // keeps the user's printer choice while the window lives
    bool placed = false;
};

/// The open bit graph window, or nullptr.
extern TForm4 *Form4;
