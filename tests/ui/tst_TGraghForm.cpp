// Graph window: channel choice and stacking, chart contents, trigger fields, captions, print.

#include "ChannelChart.h"
#include "ChannelNames.h"
#include "FakeDialogs.h"
#include "TForm1.h"
#include "TForm6.h"
#include "TGraghForm.h"
#include "TimeMarks.h"
#include "TimeViewColors.h"
#include "TimeViewState.h"
#include "WindowPrint.h"
#include "WindowState.h"

#include <QCheckBox>
#include <QFile>
#include <QGraphicsLineItem>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

namespace {

// Engineering-unit values that tell the channels apart: channel c shows c * 10 and c * 10 + 1.
void FillDistinctValues(TTraceRecord &record) {
    IsNormalized = 1;
    for (int n = 0; n < SampleCount; ++n)
        for (int c = 0; c < ChannelCount; ++c)
            record.Value[n][c] = static_cast<float>((c + 1) * 10 + n % 2);
}

// The channel a chart shows, told by its points.
int ShownChannel(const ChannelChart *chart) {
    return qRound(chart->Series()->at(0).y() / 10);
}

// The x column of the spike's peak in one chart of a picture of the graph window: the middle
// of the highest red pixels. -1 when the chart shows no red.
double SpikeColumn(const QImage &picture, const QRect &chart) {
    int top = -1;
    int first = -1;
    int last = -1;
    for (int y = chart.top(); y <= chart.bottom() && top < 0; ++y) {
        for (int x = chart.left(); x <= chart.right(); ++x) {
            const QColor c = picture.pixelColor(x, y);
            if (c.red() > 180 && c.green() < 110 && c.blue() < 110) {
                if (top < 0)
                    first = x, top = y;
                last = x;
            }
        }
    }
    return top < 0 ? -1 : (first + last) / 2.0;
}

// The x columns of the vertical grid lines in a chart of a picture: columns that are silver in
// most of a few rows just above the plot's bottom (a horizontal grid line or the trace crosses
// one row at most).
QList<int> GridColumns(const QImage &picture, const QRect &chart, const QRectF &plot) {
    QList<int> columns;
    const int bottom = chart.top() + qFloor(plot.bottom());
    for (int x = chart.left() + qCeil(plot.left()); x <= chart.left() + qFloor(plot.right()); ++x) {
        int silver = 0;
        for (int y = bottom - 7; y <= bottom - 3; ++y)
            silver += picture.pixelColor(x, y) == QColor(192, 192, 192) ? 1 : 0;
        if (silver >= 3)
            columns.append(x);
    }
    return columns;
}

// The x columns of the ticks below a chart's plot, minor ones included.
QList<int> TickColumns(const QImage &picture, const QRect &chart, const QRectF &plot) {
    QList<int> columns;
    const int y = chart.top() + qFloor(plot.bottom()) + 2;
    for (int x = chart.left(); x <= chart.right(); ++x)
        if (picture.pixelColor(x, y) == QColor(Qt::black))
            columns.append(x);
    return columns;
}

// Where each shown chart lies in the picture of the whole window.
QList<QRect> ChartRects(const TGraghForm *graph, double scale = 1.0) {
    QList<QRect> rects;
    for (int p = 1; p <= graph->SelectedCount; ++p) {
        const ChannelChart *chart = graph->Chart[p];
        const QRect r(chart->mapTo(graph, QPoint(0, 0)), chart->size());
        rects.append(QRect(qRound(r.left() * scale), qRound(r.top() * scale),
                           qRound(r.width() * scale), qRound(r.height() * scale)));
    }
    return rects;
}

QString Text(const char *utf8) {
    return QString::fromUtf8(utf8);
}

// Values that tell the channels and the samples apart: channel c at sample n shows
// c * 10 + n / 4, with one high spike at sample 90.
float RampValue(int n, int c) {
    return n == 90 ? 500.0f : static_cast<float>(c * 10) + static_cast<float>(n) / 4;
}
void FillRamps(TTraceRecord &record) {
    IsNormalized = 1;
    for (int n = 0; n < SampleCount; ++n)
        for (int c = 0; c < ChannelCount; ++c)
            record.Value[n][c] = RampValue(n, c + 1);
}

// A value as the readout writes it: two decimals with the data table's separator.
QString Fixed(double v) {
    return QString::number(v, 'f', 2).replace(QLatin1Char('.'), QLocale().decimalPoint());
}

// How many pixels of a chart's plot column x (in the picture) have colour c.
int ColumnCount(const QImage &picture, const QRect &chart, const QRectF &plot, int x,
                const QColor &c) {
    int count = 0;
    for (int y = chart.top() + qCeil(plot.top()); y <= chart.top() + qFloor(plot.bottom()); ++y)
        count += picture.pixelColor(x, y) == c ? 1 : 0;
    return count;
}

// The picture column near x where most of a chart's plot has colour c; -1 if none reaches half.
int MarkColumn(const QImage &picture, const QRect &chart, const QRectF &plot, int x,
               const QColor &c, double share = 0.5) {
    int best = -1;
    int most = 0;
    for (int cx = x - 1; cx <= x + 1; ++cx) {
        const int count = ColumnCount(picture, chart, plot, cx, c);
        if (count > most)
            best = cx, most = count;
    }
    return most >= share * plot.height() ? best : -1;
}

// Where sample k lies in a picture of the window, chart by chart.
int PictureX(const TGraghForm *graph, const ChannelChart *chart, int k) {
    return chart->mapTo(graph, QPoint(qRound(chart->SampleXInChart(k)), 0)).x();
}

QPoint SamplePoint(const ChannelChart *chart, int k) {
    return QPoint(qRound(chart->SampleXInChart(k)), chart->height() / 2);
}

void Wheel(ChannelChart *chart, const QPoint &at, int steps, Qt::KeyboardModifiers mods = {}) {
    QWheelEvent event(at, chart->viewport()->mapToGlobal(at), QPoint(),
                      QPoint(0, steps * QWheelEvent::DefaultDeltasPerStep), Qt::NoButton, mods,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(chart->viewport(), &event);
}

} // namespace

class tst_TGraghForm : public QObject {
    Q_OBJECT

    std::unique_ptr<TForm1> frame;
    TGraghForm *graph = nullptr;

    // Opens the graph window from the menu, as the user does.
    void OpenGraph() {
        frame->N1->trigger();
        graph = GraghForm;
        QVERIFY(graph);
        QVERIFY(QTest::qWaitForWindowExposed(graph));
    }
    QMdiSubWindow *SubWindow() const {
        return qobject_cast<QMdiSubWindow *>(graph->parentWidget());
    }
    void Click(int ch) { graph->CheckBox[ch]->click(); }
    // Opens the graph window with channels 1-5 shown in a chart area of the given size.
    void ShowFiveCharts(const QSize &chartArea) {
        frame->resize(chartArea + QSize(400, 400));
        OpenGraph();
        for (int ch = 1; ch <= 5; ++ch)
            Click(ch);
        SubWindow()->resize(SubWindow()->size() + chartArea - graph->Panel3->size());
        // A narrower window may wrap its check boxes into more rows, taking height.
        QCoreApplication::processEvents();
        SubWindow()->resize(SubWindow()->size() + chartArea - graph->Panel3->size());
        QTRY_COMPARE(graph->Panel3->size(), chartArea);
        QCoreApplication::processEvents();
    }
    // Resizes the window so that the chart area gets the given height.
    void SetChartAreaHeight(int height) {
        // The readout's share of the room changes with the window's height: a step or two more.
        for (int step = 0; step < 4 && graph->Panel3->height() != height; ++step) {
            SubWindow()->resize(SubWindow()->width(),
                                SubWindow()->height() + height - graph->Panel3->height());
            QCoreApplication::processEvents();
        }
        QTRY_COMPARE(graph->Panel3->height(), height);
    }

private slots:
    void init() {
        frame = std::make_unique<TForm1>();
        Language = LanguageEnglish;
        frame->resize(1100, 800);
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
    }
    void cleanup() {
        frame.reset();
        graph = nullptr;
        QCOMPARE(GraghForm, nullptr);
        QCOMPARE(Form6, nullptr);
    }

    void opensEmptyInItsPlace() {
        OpenGraph();
        QCOMPARE(SubWindow()->windowTitle(), QStringLiteral("Graph Form"));
        const QSize client = frame->ClientArea()->viewport()->size();
        QCOMPARE(SubWindow()->geometry(),
                 QRect(50, 20, client.width() - 100, client.height() - 40));
        QVERIFY(!frame->N1->isEnabled());
        for (int p = 1; p <= 5; ++p)
            QVERIFY(graph->Chart[p]->isHidden());
        for (int ch = 1; ch <= 12; ++ch) {
            QVERIFY(!graph->CheckBox[ch]->isChecked());
            QVERIFY(graph->CheckBox[ch]->isEnabled());
        }
        QCOMPARE(graph->SelectedCount, 0);
        QCOMPARE(graph->Edit1->text(), QStringLiteral("0"));
        QCOMPARE(graph->Edit2->text(), QStringLiteral("0000/00/00"));
        QCOMPARE(graph->Edit3->text(), QStringLiteral("00:00"));
        // The narrow date field shows its text from the start.
        QCOMPARE(graph->Edit2->cursorPosition(), 0);
        // The fields show the trace's trigger; typing in them changes nothing.
        QTest::keyClicks(graph->Edit1, QStringLiteral("5"));
        QCOMPARE(graph->Edit1->text(), QStringLiteral("0"));
        QVERIFY(graph->Edit2->isReadOnly() && graph->Edit3->isReadOnly());
        QVERIFY(graph->RadioButton1->isChecked());
        // The channels' three rows; the computed charts' boxes follow in a fourth, as the
        // window is too narrow for a column of their own beside the channels.
        QCOMPARE(graph->Panel1->height(), 85);
        QCOMPARE(graph->PhaseSumBox->geometry().topLeft(), QPoint(170, 63));
        // The side panel grows only where a trigger caption needs more room in this font.
        QVERIFY(graph->Panel2->width() >= 88);
        QCOMPARE(graph->Panel1->width(), graph->width());
        QCOMPARE(graph->CheckBox[7]->geometry(), QRect(320, 24, 140, 17));
        QCOMPARE(graph->Button3->geometry(), QRect(8, 104, 75, 25));
        // The channel window exists, hidden, from the start.
        QVERIFY(graph->ChannelWindow());
        QVERIFY(graph->ChannelWindow()->isHidden());
        QCOMPARE(graph->ChannelWindow(), Form6);
    }

    // Controls carry the names of the window layout, so they can be found by name.
    void controlsByName() {
        OpenGraph();
        for (int ch = 1; ch <= 12; ++ch)
            QCOMPARE(graph->findChild<QCheckBox *>(QStringLiteral("CheckBox%1").arg(ch)),
                     graph->CheckBox[ch]);
        for (int p = 1; p <= 5; ++p)
            QCOMPARE(graph->findChild<QChartView *>(QStringLiteral("Chart%1").arg(p)),
                     graph->Chart[p]);
        const QList<QPair<const char *, QWidget *>> named = {{"Panel1", graph->Panel1},
                                                             {"Panel2", graph->Panel2},
                                                             {"Panel3", graph->Panel3},
                                                             {"Button1", graph->Button1},
                                                             {"Button2", graph->Button2},
                                                             {"Button3", graph->Button3},
                                                             {"Button4", graph->Button4},
                                                             {"Edit1", graph->Edit1},
                                                             {"Edit2", graph->Edit2},
                                                             {"Edit3", graph->Edit3},
                                                             {"Label1", graph->Label1},
                                                             {"RadioGroup1", graph->RadioGroup1},
                                                             {"RadioButton1", graph->RadioButton1},
                                                             {"RadioButton2", graph->RadioButton2}};
        for (const auto &[name, widget] : named)
            QVERIFY2(graph->findChild<QWidget *>(QLatin1String(name)) == widget, name);
        // The same controls as members under their layout names.
        const QList<QCheckBox *> boxes = {graph->CheckBox1,  graph->CheckBox2,  graph->CheckBox3,
                                          graph->CheckBox4,  graph->CheckBox5,  graph->CheckBox6,
                                          graph->CheckBox7,  graph->CheckBox8,  graph->CheckBox9,
                                          graph->CheckBox10, graph->CheckBox11, graph->CheckBox12};
        for (int ch = 1; ch <= 12; ++ch)
            QCOMPARE(boxes[ch - 1], graph->CheckBox[ch]);
        const QList<ChannelChart *> charts = {graph->Chart1, graph->Chart2, graph->Chart3,
                                              graph->Chart4, graph->Chart5};
        const QList<QLineSeries *> series = {graph->Series1, graph->Series2, graph->Series3,
                                             graph->Series4, graph->Series5};
        for (int p = 1; p <= 5; ++p) {
            QCOMPARE(charts[p - 1], graph->Chart[p]);
            QCOMPARE(series[p - 1], graph->Chart[p]->Series());
            QCOMPARE(series[p - 1]->objectName(), QStringLiteral("Series%1").arg(p));
        }
        // The hidden name tables: 30 default names and 12 user-channel titles.
        auto *names = graph->findChild<QListWidget *>(QStringLiteral("ListBox1"));
        auto *titles = graph->findChild<QListWidget *>(QStringLiteral("ListBox2"));
        QVERIFY(names && titles);
        QVERIFY(names->isHidden() && titles->isHidden());
        QCOMPARE(names->count(), 30);
        QCOMPARE(names->item(0)->text(), Text("Ｕ相電流(%)"));
        QCOMPARE(names->item(14)->text(), Text("制御位相(degree)"));
        QCOMPARE(names->item(29)->text(), QStringLiteral("Control phase(degree)"));
        QCOMPARE(titles->count(), 12);
        QCOMPARE(titles->item(3)->text(), QStringLiteral("Ch4(%)"));
        QCOMPARE(titles->item(11)->text(), QStringLiteral("Ch12(%)"));
    }

    // The click handlers by their layout names, and the choice held by the window itself.
    void namedClickHandlers() {
        FillDistinctValues(frame->Record);
        OpenGraph();
        graph->CheckBox[3]->setChecked(true);
        graph->CheckBox3Click();
        graph->CheckBox[7]->setChecked(true);
        graph->CheckBox7Click();
        graph->CheckBox[12]->setChecked(true);
        graph->CheckBox12Click();
        QCOMPARE(graph->SelectedCount, 3);
        QCOMPARE(graph->ClickedChannel, 12);
        QCOMPARE(graph->ChartOfChannel[7], 2);
        QCOMPARE(graph->ChannelOfChart[3], 12);
        QCOMPARE(ShownChannel(graph->Chart[3]), 12);
        graph->CheckBox[7]->setChecked(false);
        graph->CheckBox7Click();
        QCOMPARE(graph->ClickedChannel, 7);
        QCOMPARE(graph->ChannelOfChart[2], 12);
        QCOMPARE(graph->ChartOfChannel[7], 0);
        QVERIFY(graph->Chart[3]->isHidden());

        // A tick set by the program takes or drops the channel like a click.
        graph->CheckBox5->setChecked(true);
        QCOMPARE(graph->ChannelOfChart[3], 5);
        QCOMPARE(ShownChannel(graph->Chart[3]), 5);
        graph->CheckBox3->setChecked(false);
        QCOMPARE(graph->ChannelOfChart[1], 12);
        QCOMPARE(graph->SelectedCount, 2);
    }

    void captionsByLanguage_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("captions"); // Button1..4, group, radio 1 and 2
        QTest::addColumn<QString>("font");
        QTest::addColumn<QString>("channel1");
        QTest::newRow("Japanese") << int(LanguageJapanese)
                                  << QStringList{Text("再描画"), Text("印刷"),     Text("Ch設定"),
                                                 Text("閉じる"), Text("時計選択"), "SETNVOP",
                                                 Text("上位CPU")}
                                  << Text("ＭＳ ゴシック") << Text("Ｕ相電流(%)");
        QTest::newRow("English") << int(LanguageEnglish)
                                 << QStringList{"Redraw",    "Print",   "Ch-Set", "Close",
                                                "Clock Sel", "SETNVOP", "PLC"}
                                 << "Courier New"
                                 << "Curr.-U(%)";
    }
    void captionsByLanguage() {
        QFETCH(int, language);
        Language = language;
        OpenGraph();
        const QStringList shown = {graph->Button1->text(),      graph->Button2->text(),
                                   graph->Button3->text(),      graph->Button4->text(),
                                   graph->RadioGroup1->title(), graph->RadioButton1->text(),
                                   graph->RadioButton2->text()};
        QTEST(shown, "captions");
        QTEST(graph->font().family(), "font");
        QTEST(graph->CheckBox[1]->text(), "channel1");
        QCOMPARE(graph->Label1->text(), QStringLiteral("Trigger Point"));
        QCOMPARE(graph->Label2->text(), QStringLiteral("Trigger Date"));
        QCOMPARE(graph->Label3->text(), QStringLiteral("Trigger Time"));
    }

    // Clicks: n ticks channel n, -n unticks it. Expected: channels from the bottom chart up.
    void stacking_data() {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QList<int>>("stack");
        QTest::newRow("3 7 5") << QList<int>{3, 7, 5} << QList<int>{3, 7, 5};
        QTest::newRow("3 7 5 without 7") << QList<int>{3, 7, 5, -7} << QList<int>{3, 5};
        QTest::newRow("five") << QList<int>{12, 1, 6, 2, 9} << QList<int>{12, 1, 6, 2, 9};
        QTest::newRow("five without the bottom")
            << QList<int>{12, 1, 6, 2, 9, -12} << QList<int>{1, 6, 2, 9};
        QTest::newRow("five without the top, then another")
            << QList<int>{12, 1, 6, 2, 9, -9, 4} << QList<int>{12, 1, 6, 2, 4};
        QTest::newRow("last removed") << QList<int>{8, -8} << QList<int>{};
    }
    void stacking() {
        QFETCH(QList<int>, clicks);
        QFETCH(QList<int>, stack);
        FillDistinctValues(frame->Record);
        OpenGraph();
        for (const int ch : clicks)
            Click(std::abs(ch));

        const int k = int(stack.size());
        const int area = graph->Panel3->height();
        for (int p = 1; p <= 5; ++p) {
            ChannelChart *chart = graph->Chart[p];
            if (p > k) {
                QVERIFY2(chart->isHidden(), qPrintable(QString::number(p)));
                continue;
            }
            QVERIFY(chart->isVisible());
            const int ch = stack[p - 1];
            QCOMPARE(ShownChannel(chart), ch);
            QCOMPARE(chart->Title(),
                     QString::fromStdString(DefaultChannelName(ch, Language, DriveTypeE)));
            QCOMPARE(chart->Series()->count(), 100);
            // The top chart takes the rows left over.
            QCOMPARE(chart->height(), p == k ? area - (k - 1) * (area / k) : area / k);
            QCOMPARE(chart->width(), graph->Panel3->width());
            QCOMPARE(chart->y(), p == k ? 0 : area - p * (area / k));
            QCOMPARE(graph->ChannelOfChart[p], ch);
            QVERIFY(graph->CheckBox[ch]->isChecked());
        }
        // With five shown, only they can be clicked; otherwise every box can.
        for (int ch = 1; ch <= 12; ++ch)
            QCOMPARE(graph->CheckBox[ch]->isEnabled(), k < 5 || stack.contains(ch));
    }

    // The rows left over when the area's height does not divide evenly belong to the top
    // chart: no green stripe between it and the one below.
    void noGreenRowsBetweenCharts() {
        FillDistinctValues(frame->Record);
        OpenGraph();
        for (const int ch : {2, 4, 6})
            Click(ch);
        SetChartAreaHeight(443);
        QCOMPARE(graph->Chart[1]->geometry().top(), 296);
        QCOMPARE(graph->Chart[2]->geometry().top(), 149);
        QCOMPARE(graph->Chart[3]->geometry().top(), 0);
        QCOMPARE(graph->Chart[1]->height(), 147);
        QCOMPARE(graph->Chart[3]->height(), 149);
        const QImage area = graph->Panel3->grab().toImage();
        for (int y = 0; y < area.height(); ++y)
            QVERIFY2(area.pixelColor(area.width() / 2, y) != QColor(0, 128, 0),
                     qPrintable(QString::number(y)));
    }

    // A resize redraws: the charts take their new places and show the record as it is now.
    void resizeRedraws() {
        FillDistinctValues(frame->Record);
        OpenGraph();
        Click(1);
        Click(2);
        frame->Record.Value[0][1] = 55;
        SetChartAreaHeight(400);
        QCOMPARE(graph->Chart[2]->height(), 200);
        QCOMPARE(graph->Chart[1]->y(), 200);
        QCOMPARE(graph->Chart[2]->Series()->at(0).y(), 55.0);
    }

    // What a chart shows of its channel: points, title, vertical range and left margin (the rules
    // themselves are covered by the core tests; these check the chart carries them out).
    void chartContents_data() {
        QTest::addColumn<int>("ch");
        QTest::addColumn<float>("low");
        QTest::addColumn<float>("high");
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("driveTypeE");
        QTest::addColumn<bool>("ownName");
        QTest::addColumn<bool>("normalized");
        QTest::addColumn<QString>("title");
        QTest::addColumn<double>("lowPoint");
        QTest::addColumn<double>("highPoint");
        QTest::addColumn<double>("axisMin");
        QTest::addColumn<double>("axisMax");
        QTest::addColumn<int>("margin");
        const int ja = LanguageJapanese, en = LanguageEnglish;
        QTest::newRow("current") << 1 << -5000.0f << 5000.0f << en << 0 << false << false
                                 << "Curr.-U(%)" << -100.0 << 100.0 << -120.0 << 120.0 << 1;
        QTest::newRow("0..150") << 3 << 0.0f << 150.0f << en << 0 << false << true << "Curr.-W(%)"
                                << 0.0 << 150.0 << -15.0 << 165.0 << 2;
        QTest::newRow("user-named ch4") << 4 << 0.0f << 200.0f << ja << 0 << true << false
                                        << "Ch4(%)" << 0.0 << 1.0 << -0.1 << 1.1 << 4;
        QTest::newRow("type E ch12") << 12 << 0.0f << 16384.0f << en << 1 << false << false
                                     << "Control phase(degree)" << 0.0 << 90.0 << -9.0 << 99.0 << 3;
        QTest::newRow("normalized user-named") << 7 << 12.5f << 13.5f << en << 0 << true << true
                                               << "Ch7(%)" << 12.5 << 13.5 << 12.4 << 13.6 << 3;
        QTest::newRow("beyond 16 bits")
            << 9 << 40000.0f << 50000.0f << en << 0 << false << true << "Output-Freq.(%)" << 40000.0
            << 50000.0 << 39000.0 << 51000.0 << 1;
    }
    void chartContents() {
        QFETCH(int, ch);
        QFETCH(float, low);
        QFETCH(float, high);
        QFETCH(int, language);
        QFETCH(int, driveTypeE);
        QFETCH(bool, ownName);
        QFETCH(bool, normalized);
        Language = language;
        DriveTypeE = driveTypeE;
        OwnNameFlag[ch] = ownName ? 1 : 0;
        IsNormalized = normalized ? 1 : 0;
        for (int n = 0; n < SampleCount; ++n)
            frame->Record.Value[n][ch - 1] = n < 50 ? low : high;
        OpenGraph();
        Click(ch);

        ChannelChart *chart = graph->Chart[1];
        QTEST(chart->Title(), "title");
        QCOMPARE(chart->Series()->count(), 100);
        QCOMPARE(chart->Series()->at(99).x(), 99.0);
        QTEST(chart->Series()->at(0).y(), "lowPoint");
        QTEST(chart->Series()->at(99).y(), "highPoint");
        QFETCH(double, axisMin);
        QFETCH(double, axisMax);
        QVERIFY(!chart->AutomaticRange());
        QVERIFY2(qAbs(chart->AxisY()->min() - axisMin) < 1e-4,
                 qPrintable(QString::number(chart->AxisY()->min())));
        QVERIFY2(qAbs(chart->AxisY()->max() - axisMax) < 1e-4,
                 qPrintable(QString::number(chart->AxisY()->max())));
        QFETCH(int, margin);
        QCOMPARE(chart->LeftMarginPercent(), margin);
        // Margins in percent of the chart's size: left by the rule, top and bottom 1, right 2.
        const QMargins margins = chart->chart()->margins();
        QCOMPARE(margins.left(), qRound(chart->width() * margin / 100.0));
        QCOMPARE(margins.top(), qRound(chart->height() / 100.0));
        QCOMPARE(margins.bottom(), qRound(chart->height() / 100.0));
        QCOMPARE(margins.right(), qRound(chart->width() * 2 / 100.0));
        QTEST(chart->chart()->title(), "title");
        QCOMPARE(chart->AxisY()->labelFormat(), QStringLiteral("%.1f"));
        QVERIFY(chart->Series()->pen().color() == Qt::red);
        QVERIFY(!chart->Series()->pointsVisible());
        QVERIFY(!chart->chart()->legend()->isVisible());
        // The title sits at the top left, not centred.
        QVERIFY(chart->TitleItem()->pos().x() < chart->width() / 10.0);
        QVERIFY(chart->TitleItem()->isVisible());
    }

    // The reference in grey where it has partners, by trigger and then by sample index; its
    // values in the range, the readout and its stamp in the side panel while it is loaded.
    void referenceBeneathTheTrace() {
        IsNormalized = 1;
        ResetRecord(frame->Record);
        frame->Record.Header[0] = 60; // t = 40
        TraceUnits reference{frame->Record, 0, true};
        reference.Record.Header[0] = 90; // t = 10
        for (int n = 0; n < SampleCount; ++n)
            reference.Record.Value[n][0] = 100.0f;
        OpenGraph();
        Click(1);
        ChannelChart *chart = graph->Chart[1];
        QVERIFY(!graph->RefLabel1->isVisibleTo(graph));
        frame->Document->SetReference(reference);
        QVERIFY(graph->AlignByTrigger->isChecked());
        QVERIFY(chart->AxisY()->max() > 100.0);
        QVERIFY(graph->RefLabel1->isVisibleTo(graph));
        QCOMPARE(graph->RefLabel1->text(), QStringLiteral("Ref 10"));
        QCOMPARE(graph->Edit1->text(), QStringLiteral("40"));

        auto greyAt = [&](int k) {
            const QImage picture = graph->grab().toImage();
            const QRect place(chart->mapTo(graph, QPoint(0, 0)), chart->size());
            const QRectF plot = chart->PlotArea();
            const int x = PictureX(graph, chart, k);
            // Grey in the upper half of the plot, where 100 lies; red stays at 0 below it.
            const QRectF upper(plot.left(), plot.top(), plot.width(), plot.height() / 2);
            return ColumnCount(picture, place, upper, x, ReferenceColor) > 0 &&
                   ColumnCount(picture, place, plot, x, Qt::red) > 0;
        };
        QVERIFY(!greyAt(20)); // no partner before current sample 30
        QVERIFY(greyAt(35));
        QVERIFY(greyAt(90));
        TimeView view = Form1->Document->TimeView().View();
        view.A = 20;
        view.B = 35;
        Form1->Document->TimeView().SetView(view);
        QVERIFY2(graph->CursorReadout->toPlainText().contains(
                     QStringLiteral("A %1 (ref -)  B %1 (ref %2)").arg(Fixed(0), Fixed(100))),
                 qPrintable(graph->CursorReadout->toPlainText()));

        Form1->Document->TimeView().ClearCursors(); // their lines would cover the columns looked at
        graph->AlignBySample->click();
        QCOMPARE(frame->Document->ReferenceAlignment(), Alignment::Sample);
        QVERIFY(greyAt(20));
        QVERIFY(greyAt(90));

        frame->ClearReference1->trigger();
        QCOMPARE(chart->ReferenceSeries()->count(), 0);
        QVERIFY(!greyAt(20));
        QVERIFY(!graph->CursorReadout->toPlainText().contains(QStringLiteral("ref")));
        QVERIFY(!graph->RefLabel1->isVisibleTo(graph));
    }

    // A chart whose range jumps between tiny and huge on redraw keeps working both ways.
    void rangeJumpsOnRedraw() {
        IsNormalized = 1;
        OpenGraph();
        Click(1);
        const float spans[] = {1.0f, 2.0e6f, 0.5f, 3.0e7f, 1.0f};
        for (const float span : spans) {
            for (int n = 0; n < SampleCount; ++n)
                frame->Record.Value[n][0] = n < 50 ? 0.0f : span;
            graph->Button1->click();
            QCoreApplication::processEvents();
            QCOMPARE(graph->Chart[1]->AxisY()->max(), span * 1.1);
            // Labels stay a readable number of steps apart.
            const double steps =
                (graph->Chart[1]->AxisY()->max() - graph->Chart[1]->AxisY()->min()) /
                graph->Chart[1]->AxisY()->tickInterval();
            QVERIFY2(steps <= 40, qPrintable(QString::number(steps)));
        }
    }

    // In a main frame of its design size the chart area is tiny; wide ranges must still draw.
    void tinyChartArea() {
        frame->showNormal();
        frame->resize(536, 366); // the check boxes wrap into six rows
        IsNormalized = 1;
        for (int n = 0; n < SampleCount; ++n)
            for (int c = 0; c < ChannelCount; ++c)
                frame->Record.Value[n][c] = n % 2 ? 30000.0f * (c + 1) : -30000.0f;
        OpenGraph();
        for (const int ch : {1, 2, 3, 4, 5})
            Click(ch);
        QCoreApplication::processEvents();
        for (int p = 1; p <= 5; ++p) {
            QVERIFY(graph->Chart[p]->isVisible());
            QCOMPARE(graph->Chart[p]->height(),
                     p == 5 ? graph->Panel3->height() - 4 * (graph->Panel3->height() / 5)
                            : graph->Panel3->height() / 5);
        }
        SetChartAreaHeight(3);
        QCOMPARE(graph->Chart[1]->height(), 0);
        QCOMPARE(graph->Chart[5]->y(), 0);
    }

    void flatLineLeavesTheRangeAutomatic() {
        IsNormalized = 1;
        for (int n = 0; n < SampleCount; ++n)
            frame->Record.Value[n][4] = 20;
        OpenGraph();
        Click(5);
        ChannelChart *chart = graph->Chart[1];
        QVERIFY(chart->AutomaticRange());
        QVERIFY(chart->AxisY()->min() < 20 && chart->AxisY()->max() > 20);
    }

    // Only the bottom chart names the samples.
    void sampleNumbersOnlyUnderChart1() {
        OpenGraph();
        for (const int ch : {1, 2, 3})
            Click(ch);
        QVERIFY(graph->Chart[1]->AxisX()->labelsVisible());
        QVERIFY(!graph->Chart[2]->AxisX()->labelsVisible());
        QVERIFY(!graph->Chart[3]->AxisX()->labelsVisible());
        for (int p = 1; p <= 3; ++p) {
            QCOMPARE(graph->Chart[p]->AxisX()->min(), 0.0);
            QCOMPARE(graph->Chart[p]->AxisX()->max(), 99.0);
            QVERIFY(graph->Chart[p]->AxisX()->isGridLineVisible());
        }
    }

    void triggerStamp_data() {
        QTest::addColumn<QList<int>>("header");
        QTest::addColumn<bool>("hostClock");
        QTest::addColumn<QStringList>("fields");
        const QList<int> good = {30, 9, 8, 5, 7, 3, 10, 12, 31, 24, 0};
        QTest::newRow("operator unit") << good << false << QStringList{"70", "2009/08/05", "07:03"};
        QTest::newRow("host, hour 24") << good << true << QStringList{"70", "2010/12/31", "24:00"};
        QTest::newRow("trigger 100") << QList<int>{100, 9, 8, 5, 7, 3, 0, 0, 0, 0, 0} << false
                                     << QStringList{"0", "2009/08/05", "07:03"};
        const QStringList bad = {"0", "0000/00/00", "00:00"};
        // One field out of range at a time.
        const QList<QPair<int, int>> faults = {{2, 0},  {2, 13}, {3, 0},   {3, 32},
                                               {4, 25}, {5, 60}, {1, 100}, {4, -1}};
        for (const auto &[index, value] : faults) {
            QList<int> header = {100, 9, 8, 5, 7, 3, 9, 8, 5, 7, 3};
            header[index] = value;
            QTest::addRow("field %d = %d", index, value) << header << false << bad;
            header[index + 5] = value;
            header[index] = good[index];
            QTest::addRow("host field %d = %d", index + 5, value) << header << true << bad;
        }
    }
    void triggerStamp() {
        QFETCH(QList<int>, header);
        QFETCH(bool, hostClock);
        QFETCH(QStringList, fields);
        for (int j = 0; j < HeaderCount; ++j)
            frame->Record.Header[j] = header[j];
        OpenGraph();
        if (hostClock)
            graph->RadioButton2->click();
        QCOMPARE((QStringList{graph->Edit1->text(), graph->Edit2->text(), graph->Edit3->text()}),
                 fields);
    }

    // The clock choice rewrites the fields only; the charts wait for a redraw.
    void clockChoiceLeavesChartsAlone() {
        FillDistinctValues(frame->Record);
        frame->Record.Header[0] = 30;
        const int stamps[10] = {9, 8, 5, 7, 3, 10, 1, 2, 3, 4};
        for (int j = 0; j < 10; ++j)
            frame->Record.Header[j + 1] = stamps[j];
        OpenGraph();
        Click(6);
        frame->Record.Value[0][5] = 99;
        frame->Record.Header[0] = 50;
        graph->RadioButton2->click();
        QCOMPARE(graph->Edit1->text(), QStringLiteral("50"));
        QCOMPARE(graph->Edit2->text(), QStringLiteral("2010/01/02"));
        QCOMPARE(graph->Edit3->text(), QStringLiteral("03:04"));
        QCOMPARE(graph->Chart[1]->Series()->at(0).y(), 60.0);
        graph->RadioButton1->click();
        QCOMPARE(graph->Edit2->text(), QStringLiteral("2009/08/05"));
        graph->Button1->click();
        QCOMPARE(graph->Chart[1]->Series()->at(0).y(), 99.0);
    }

    // Redraw applies the drive type: factors and the names of channels 10 to 12.
    void redrawFollowsDriveTypeAndLanguage() {
        OpenGraph();
        frame->Record.Value[0][11] = 16384;
        Click(12);
        QCOMPARE(graph->Chart[1]->Title(), QStringLiteral("Motor-Temp(degree)"));
        QCOMPARE(graph->Chart[1]->Series()->at(0).y(), 1638.4000244140625);

        DriveTypeE = 1;
        Language = LanguageJapanese;
        graph->Button1->click();
        QCOMPARE(graph->CheckBox[10]->text(), Text("ｄ軸電流指令(%)"));
        QCOMPARE(graph->CheckBox[11]->text(), Text("ｑ軸電流指令(%)"));
        QCOMPARE(graph->CheckBox[12]->text(), Text("制御位相(degree)"));
        QCOMPARE(graph->Chart[1]->Title(), Text("制御位相(degree)"));
        QCOMPARE(graph->Chart[1]->Series()->at(0).y(), 90.0);
        // Channels 1 to 9 and the buttons keep the language the window opened in.
        QCOMPARE(graph->CheckBox[1]->text(), QStringLiteral("Curr.-U(%)"));
        QCOMPARE(graph->Button1->text(), QStringLiteral("Redraw"));
    }

    void userNamesComeFromTheChannelWindow() {
        OwnNameFlag[2] = 1;
        OwnName[2] = "Pump";
        OpenGraph();
        QCOMPARE(graph->CheckBox[2]->text(), QStringLiteral("Pump"));
        QCOMPARE(graph->CheckBox[3]->text(), QStringLiteral("Curr.-W(%)"));
        Click(2);
        QCOMPARE(graph->Chart[1]->Title(), QStringLiteral("Ch2(%)"));
    }

    void chSetShowsTheChannelWindow() {
        OpenGraph();
        graph->Button3->click();
        TForm6 *names = graph->ChannelWindow();
        QVERIFY(names->isVisible());
        QVERIFY(names->isWindow());
        QVERIFY(!names->isModal());
        names->Edit[5]->setText(QStringLiteral("Fan"));
        names->OwnItem[5]->click();
        names->Button1->click();
        QVERIFY(names->isHidden());
        QCOMPARE(graph->CheckBox[5]->text(), QStringLiteral("Fan"));
        QCOMPARE(OwnNameFlag[5], 1);
    }

    // Confirming the channel window after its graph window closed must not touch that window.
    void channelWindowOutlivesItsGraph() {
        OpenGraph();
        graph->Button3->click();
        QPointer<TForm6> names = graph->ChannelWindow();
        QPointer<TGraghForm> closed = graph;
        graph->Button4->click();
        QTRY_VERIFY(closed.isNull());
        QTRY_VERIFY(frame->N1->isEnabled());
        QVERIFY(names);
        names->Edit[1]->setText(QStringLiteral("Main"));
        names->OwnItem[1]->click();
        names->Button1->click();
        QCOMPARE(OwnNameFlag[1], 1);
        QCOMPARE(OwnName[1], std::string("Main"));
        // The next graph window takes the names over.
        OpenGraph();
        QCOMPARE(graph->CheckBox[1]->text(), QStringLiteral("Main"));
    }

    void closingEnablesTheMenuItem() {
        OpenGraph();
        QPointer<TGraghForm> window = graph;
        SubWindow()->close();
        QTRY_VERIFY(window.isNull());
        QVERIFY(frame->N1->isEnabled());
        QCOMPARE(GraghForm, nullptr);
        // A new window starts afresh.
        OpenGraph();
        QCOMPARE(graph->SelectedCount, 0);
    }

    // Every chart shares one time axis: a one-sample spike lies at the same x in each, however
    // wide the charts' vertical labels, at every window size, on screen and on paper; and a
    // zero label reads "0.0".
    void oneTimeAxisForAllCharts_data() {
        QTest::addColumn<QSize>("chartArea");
        QTest::addColumn<QList<float>>("levels"); // per chart from the bottom: base, spike
        QTest::newRow("mixed ranges, wide")
            << QSize(1000, 600)
            << QList<float>{0.5f, 2.5f, -30000.f, 30000.f, -1.2f, 1.2f, 0.f, 1000.f, 10.f, 12.f};
        QTest::newRow("mixed ranges, narrow")
            << QSize(420, 500)
            << QList<float>{-1.2f, 1.2f, 0.f, 150.f, -2.e6f, 3.e6f, 0.1f, 0.2f, -50.f, 5.f};
        QTest::newRow("like ranges, tall")
            << QSize(700, 900)
            << QList<float>{0.f, 100.f, 0.f, 100.f, 0.f, 100.f, 0.f, 100.f, 0.f, 100.f};
    }
    void oneTimeAxisForAllCharts() {
        QFETCH(QSize, chartArea);
        QFETCH(QList<float>, levels);
        IsNormalized = 1;
        for (int c = 0; c < 5; ++c)
            for (int n = 0; n < SampleCount; ++n)
                frame->Record.Value[n][c] = levels[2 * c + (n == 10 ? 1 : 0)];
        ShowFiveCharts(chartArea);

        const QImage screen = graph->grab().toImage();
        // The same picture on a page half as large again, as the print routine draws it.
        const double scale = 1.5;
        QImage paper((QSizeF(screen.size()) * scale).toSize(), QImage::Format_RGB32);
        paper.fill(Qt::white);
        QPainter painter(&paper);
        PaintPage(painter, paper.size(), graph->grab());
        painter.end();

        for (const auto &[picture, factor] : {std::pair{screen, 1.0}, std::pair{paper, scale}}) {
            QList<double> columns;
            for (const QRect &rect : ChartRects(graph, factor))
                columns.append(SpikeColumn(picture, rect));
            const auto [low, high] = std::minmax_element(columns.begin(), columns.end());
            QVERIFY2(*low >= 0, "a chart shows no spike");
            QStringList shown;
            for (const double column : columns)
                shown.append(QString::number(column));
            QVERIFY2(*high - *low <= factor,
                     qPrintable(shown.join(QLatin1Char(' ')) + QStringLiteral(" at scale ") +
                                QString::number(factor)));
        }
        // The plots share one left and one right edge, and their time grid lines stand where
        // the bottom chart, which names the samples, has its own.
        const QList<QRect> rects = ChartRects(graph);
        const QList<int> bottomGrid = GridColumns(screen, rects[0], graph->Chart[1]->PlotArea());
        QVERIFY(bottomGrid.size() >= 5);
        for (int p = 2; p <= 5; ++p) {
            QCOMPARE(graph->Chart[p]->PlotArea().left(), graph->Chart[1]->PlotArea().left());
            QCOMPARE(graph->Chart[p]->PlotArea().right(), graph->Chart[1]->PlotArea().right());
            const QList<int> grid = GridColumns(screen, rects[p - 1], graph->Chart[p]->PlotArea());
            QCOMPARE(grid, bottomGrid);
        }
    }

    // Vertical labels: a zero reads "0.0", never "-0.0", and every label shown lies wholly
    // inside its chart (the lowest one of an upper chart used to be cut by the chart's edge).
    void verticalLabels_data() {
        QTest::addColumn<QSize>("chartArea");
        QTest::newRow("wide") << QSize(900, 700);
        QTest::newRow("low") << QSize(700, 380);
        QTest::newRow("tall") << QSize(600, 1000);
    }
    void verticalLabels() {
        QFETCH(QSize, chartArea);
        IsNormalized = 1;
        // A flat zero line, and ranges whose labels are summed up across zero.
        const float ranges[5][2] = {{0, 0}, {-1.2f, 1.2f}, {-0.3f, 0.3f}, {-12, 12}, {-1.1f, 0.7f}};
        for (int c = 0; c < 5; ++c)
            for (int n = 0; n < SampleCount; ++n)
                frame->Record.Value[n][c] = ranges[c][n % 2];
        ShowFiveCharts(chartArea);
        graph->grab(); // lays out and draws every chart

        for (int p = 1; p <= 5; ++p) {
            ChannelChart *chart = graph->Chart[p];
            QStringList labels;
            for (QGraphicsItem *item : chart->scene()->items()) {
                auto *text = dynamic_cast<QGraphicsTextItem *>(item);
                bool number = false;
                if (!text || !text->isVisible())
                    continue;
                text->toPlainText().toDouble(&number);
                if (!number)
                    continue;
                labels.append(text->toPlainText());
                const QRectF where = chart->mapFromScene(text->sceneBoundingRect()).boundingRect();
                QVERIFY2(QRectF(chart->rect()).contains(where),
                         qPrintable(text->toPlainText() + QStringLiteral(" in chart %1").arg(p)));
            }
            QVERIFY2(!labels.contains(QStringLiteral("-0.0")), qPrintable(labels.join(' ')));
            if (p <= 4 || chart->AxisY()->min() < 0)
                QVERIFY2(labels.contains(QStringLiteral("0.0")), qPrintable(labels.join(' ')));
        }
    }

    // The mouse and keys on any chart set hover and cursors; the readout names the samples
    // relative to the trigger and the values of every chart shown, top chart first.
    void cursorReadout_data() {
        QTest::addColumn<int>("charts");
        QTest::addColumn<int>("header0");
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::newRow("five charts, trigger 40") << 5 << 60 << 37 << 45;
        QTest::newRow("one chart, trigger 0") << 1 << 100 << 0 << 99;
        QTest::newRow("two charts, trigger off the samples") << 2 << 0 << 63 << 12;
    }
    void cursorReadout() {
        QFETCH(int, charts);
        QFETCH(int, header0);
        QFETCH(int, a);
        QFETCH(int, b);
        FillRamps(frame->Record);
        frame->Record.Header[0] = header0;
        const int t = 100 - header0;
        OpenGraph();
        for (int ch = 1; ch <= charts; ++ch)
            Click(ch);
        QPlainTextEdit *readout =
            graph->findChild<QPlainTextEdit *>(QStringLiteral("CursorReadout"));
        QVERIFY(readout);
        QCOMPARE(readout->accessibleName(), QStringLiteral("Cursor readout"));
        QVERIFY(readout->isReadOnly());
        QVERIFY(readout->toPlainText().isEmpty());
        const auto rel = [t](int k) {
            return (k < t ? QStringLiteral("T-") : QStringLiteral("T+")) +
                   QString::number(qAbs(k - t));
        };
        // The chart the mouse is on does not matter: the top one, then the bottom one.
        ChannelChart *top = graph->Chart[charts];
        ChannelChart *bottom = graph->Chart[1];

        QTest::mouseMove(top->viewport(), SamplePoint(top, b) + QPoint(0, 5));
        QTest::mouseMove(top->viewport(), SamplePoint(top, b));
        QStringList lines = readout->toPlainText().split(QLatin1Char('\n'));
        QCOMPARE(lines.value(0), QStringLiteral("%1 (%2)").arg(b).arg(rel(b)));
        QCOMPARE(lines.size(), charts + 1);

        QTest::mouseClick(top->viewport(), Qt::LeftButton, {}, SamplePoint(top, a));
        QTest::mouseClick(bottom->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                          SamplePoint(bottom, b));
        lines = readout->toPlainText().split(QLatin1Char('\n'));
        QCOMPARE(lines.value(0), QStringLiteral("A %1 (%2)  B %3 (%4)  Δ %5")
                                     .arg(a)
                                     .arg(rel(a))
                                     .arg(b)
                                     .arg(rel(b))
                                     .arg(b - a));
        // The chart lines, then each chart's statistics over A..B inclusive.
        QCOMPARE(lines.size(), 2 * charts + 2);
        QCOMPARE(lines.value(charts + 1), QStringLiteral("A..B %1 samples").arg(qAbs(b - a) + 1));
        for (int p = charts; p >= 1; --p) {
            const int ch = graph->ChannelOfChart[p];
            const double va = RampValue(a, ch), vb = RampValue(b, ch);
            QCOMPARE(lines.value(charts - p + 1),
                     QStringLiteral("%1: A %2  B %3  Δ %4")
                         .arg(graph->Chart[p]->Title(), Fixed(va), Fixed(vb), Fixed(vb - va)));
            double lo = 1e9, hi = -1e9, sum = 0, squares = 0;
            for (int k = qMin(a, b); k <= qMax(a, b); ++k) {
                const double v = RampValue(k, ch);
                lo = qMin(lo, v), hi = qMax(hi, v), sum += v, squares += v * v;
            }
            const int n = qAbs(b - a) + 1;
            QCOMPARE(lines.value(2 * charts - p + 2),
                     QStringLiteral("%1: min %2  max %3  mean %4  rms %5")
                         .arg(graph->Chart[p]->Title(), Fixed(lo), Fixed(hi), Fixed(sum / n),
                              Fixed(std::sqrt(squares / n))));
        }

        // Keys on a chart move the cursors by one sample; Escape removes both.
        QTest::keyClick(bottom, Qt::Key_Right);
        QTest::keyClick(bottom, Qt::Key_Left, Qt::ShiftModifier);
        const int a2 = qMin(a + 1, 99), b2 = qMax(b - 1, 0);
        QVERIFY2(
            readout->toPlainText().startsWith(
                QStringLiteral("A %1 (%2)  B %3 (%4)").arg(a2).arg(rel(a2)).arg(b2).arg(rel(b2))),
            qPrintable(readout->toPlainText()));
        // A redraw keeps them.
        graph->Button1->click();
        QCOMPARE(Form1->Document->TimeView().View().A, std::optional<int>(a2));
        QVERIFY(readout->toPlainText().startsWith(QStringLiteral("A %1 ").arg(a2)));
        QTest::keyClick(bottom, Qt::Key_Escape);
        QCOMPARE(Form1->Document->TimeView().View().A, std::nullopt);
        // The hovered sample again, and nothing once the mouse has left.
        QVERIFY(readout->toPlainText().startsWith(QStringLiteral("%1 (").arg(b)));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(bottom->viewport(), &leave);
        QVERIFY(readout->toPlainText().isEmpty());
    }

    // The cursors, the hover line and the trigger marker stand at their sample's x in every
    // chart, in the window as drawn, zoomed or not.
    void marksAtTheirSamples_data() {
        QTest::addColumn<int>("header0");
        QTest::addColumn<int>("zoomSteps");
        QTest::newRow("trigger 40, all samples") << 60 << 0;
        QTest::newRow("trigger 40, zoomed") << 60 << 3;
        QTest::newRow("trigger 99, all samples") << 1 << 0;
        QTest::newRow("no trigger mark (t = 100)") << 0 << 0;
        QTest::newRow("no trigger mark (t = -1)") << 101 << 2;
    }
    void marksAtTheirSamples() {
        QFETCH(int, header0);
        QFETCH(int, zoomSteps);
        FillRamps(frame->Record);
        frame->Record.Header[0] = header0;
        const int t = 100 - header0;
        OpenGraph();
        for (int ch = 1; ch <= 5; ++ch)
            Click(ch);
        Form1->Document->TimeView().Zoom(40, zoomSteps);
        const TimeView &view = Form1->Document->TimeView().View();
        const int a = view.First + 2, b = view.Last - 3, hover = (view.First + view.Last) / 2;
        ChannelChart *middle = graph->Chart[3];
        QTest::mouseClick(middle->viewport(), Qt::LeftButton, {}, SamplePoint(middle, a));
        QTest::mouseClick(middle->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                          SamplePoint(middle, b));
        // A move to where the mouse already is would not count as one.
        QTest::mouseMove(middle->viewport(), SamplePoint(middle, hover) + QPoint(0, 5));
        QTest::mouseMove(middle->viewport(), SamplePoint(middle, hover));
        QCOMPARE(view.A, std::optional<int>(a));
        QCOMPARE(view.B, std::optional<int>(b));
        QCOMPARE(view.Hover.value_or(-1), hover);

        QCoreApplication::processEvents(); // the charts lay out their axes
        const QImage picture = graph->grab().toImage();
        const QList<QRect> rects = ChartRects(graph);
        const bool marked = t >= 0 && t <= 99 && t >= view.First && t <= view.Last;
        for (int p = 1; p <= 5; ++p) {
            const ChannelChart *chart = graph->Chart[p];
            const QRectF plot = chart->PlotArea();
            const QString where = QStringLiteral("chart %1").arg(p);
            // The red line's point k lies at the same x as the cursor on k.
            QCOMPARE(chart->AxisX()->min(), double(view.First));
            QCOMPARE(chart->AxisX()->max(), double(view.Last));
            for (const auto &[k, colour] : {std::pair{a, CursorAColor}, std::pair{b, CursorBColor},
                                            std::pair{hover, HoverColor}})
                QVERIFY2(
                    MarkColumn(picture, rects[p - 1], plot, PictureX(graph, chart, k), colour) >= 0,
                    qPrintable(where + QStringLiteral(" sample %1").arg(k)));
            // The marker is dashed: dark on part of its column only.
            if (marked) {
                const int x = PictureX(graph, chart, t);
                QVERIFY2(MarkColumn(picture, rects[p - 1], plot, x, Qt::black, 0.3) >= 0,
                         qPrintable(where));
                QVERIFY2(ColumnCount(picture, rects[p - 1], plot, x, Qt::black) <
                             0.9 * plot.height(),
                         qPrintable(where));
            } else {
                // No column of the plot's inside is mostly dark.
                for (int x = rects[p - 1].left() + qCeil(plot.left()) + 2;
                     x < rects[p - 1].left() + qFloor(plot.right()) - 1; ++x)
                    QVERIFY2(ColumnCount(picture, rects[p - 1], plot, x, Qt::black) <
                                 0.3 * plot.height(),
                             qPrintable(where + QStringLiteral(" x %1").arg(x)));
            }
        }
    }

    // Closing the window under the mouse leaves no hover behind for the other windows.
    void closingUnderTheMouseClearsTheHover() {
        FillRamps(frame->Record);
        OpenGraph();
        Click(1);
        ChannelChart *chart = graph->Chart[1];
        QTest::mouseMove(chart->viewport(), SamplePoint(chart, 20) + QPoint(0, 3));
        QTest::mouseMove(chart->viewport(), SamplePoint(chart, 20));
        QCOMPARE(Form1->Document->TimeView().View().Hover, std::optional<int>(20));
        graph->Button4->click();
        QTRY_COMPARE(GraghForm, nullptr);
        QCOMPARE(Form1->Document->TimeView().View().Hover, std::nullopt);
    }

    // The wheel zooms around the sample under the mouse, in every chart at once; each chart's
    // height fits the samples shown; Shift+wheel pans; Home and a double click show all again.
    void wheelZoomsEveryChart() {
        FillRamps(frame->Record);
        OpenGraph();
        for (int ch = 1; ch <= 4; ++ch)
            Click(ch);
        ChannelChart *chart = graph->Chart[2];
        const QPoint at = SamplePoint(chart, 30);
        Wheel(chart, at, 2);
        const TimeView &view = Form1->Document->TimeView().View();
        QVERIFY(view.First < 30 && view.Last > 30);
        QVERIFY(view.Last - view.First < 99);
        // The sample under the mouse stays under it.
        QVERIFY(qAbs(chart->SampleXInChart(30) - at.x()) <
                chart->PlotArea().width() / (view.Last - view.First));
        for (int p = 1; p <= 4; ++p) {
            const ChannelChart *c = graph->Chart[p];
            QCOMPARE(c->AxisX()->min(), double(view.First));
            QCOMPARE(c->AxisX()->max(), double(view.Last));
            QCOMPARE(c->PlotArea().left(), graph->Chart[1]->PlotArea().left());
            // The spike at 90 is out of view: the range follows the ramp alone.
            const double lo = RampValue(view.First, p), hi = RampValue(view.Last, p);
            QCOMPARE(c->AxisY()->max(), hi + 0.1 * (hi - lo));
            QCOMPARE(c->AxisY()->min(), lo - 0.1 * (hi - lo));
        }
        // The upper charts' time grid still stands where the bottom chart's labels do.
        QCoreApplication::processEvents(); // the charts lay out their axes
        const QImage picture = graph->grab().toImage();
        const QList<QRect> rects = ChartRects(graph);
        const QList<int> bottomGrid = GridColumns(picture, rects[0], graph->Chart[1]->PlotArea());
        QVERIFY(bottomGrid.size() >= 3);
        const QList<int> bottomTicks = TickColumns(picture, rects[0], graph->Chart[1]->PlotArea());
        for (int p = 2; p <= 4; ++p) {
            QCOMPARE(GridColumns(picture, rects[p - 1], graph->Chart[p]->PlotArea()), bottomGrid);
            // Chart3 has no minor ticks.
            if (p != 3)
                QCOMPARE(TickColumns(picture, rects[p - 1], graph->Chart[p]->PlotArea()),
                         bottomTicks);
        }
        // Zooming in stops at five samples.
        Wheel(chart, at, 30);
        QCOMPARE(view.Last - view.First + 1, MinVisibleSamples);
        const int first = view.First;
        Wheel(chart, at, -1, Qt::ShiftModifier);
        QVERIFY(view.First > first);
        QCOMPARE(graph->Chart[4]->AxisX()->min(), double(view.First));
        // A redraw keeps the range.
        graph->Button1->click();
        QCOMPARE(graph->Chart[1]->AxisX()->min(), double(view.First));
        QTest::keyClick(chart, Qt::Key_Home);
        QVERIFY(view.ShowsAll());
        QCOMPARE(graph->Chart[3]->AxisX()->max(), 99.0);
        Wheel(chart, at, 4);
        QTest::mouseDClick(chart->viewport(), Qt::LeftButton, {}, at);
        QVERIFY(view.ShowsAll());
        // A middle-button drag to the right brings earlier samples into view.
        Wheel(chart, at, 4);
        const int before = view.First;
        QTest::mousePress(chart->viewport(), Qt::MiddleButton, {}, at);
        QMouseEvent drag(QEvent::MouseMove, at + QPoint(chart->width() / 8, 0),
                         chart->viewport()->mapToGlobal(at + QPoint(chart->width() / 8, 0)),
                         Qt::NoButton, Qt::MiddleButton, Qt::NoModifier);
        QApplication::sendEvent(chart->viewport(), &drag);
        QTest::mouseRelease(chart->viewport(), Qt::MiddleButton, {}, at);
        QVERIFY(view.First < before);
        // A window opened later shows the range and cursors as they are.
        Form1->Document->TimeView().PlaceA(view.First + 1);
        const TimeView kept = view;
        graph->Button4->click();
        QTRY_COMPARE(GraghForm, nullptr);
        OpenGraph();
        Click(2);
        QCOMPARE(std::pair(view.First, view.Last), std::pair(kept.First, kept.Last));
        QCOMPARE(std::pair(view.A, view.B), std::pair(kept.A, kept.B));
        QCOMPARE(graph->Chart[1]->AxisX()->min(), double(kept.First));
        QVERIFY(graph->Chart[1]->Marks().LineA()->isVisible());
        QVERIFY(graph->CursorReadout->toPlainText().startsWith(
            QStringLiteral("A %1 ").arg(kept.First + 1)));
        // Another trace resets the zoom.
        Form1->Document->ReplaceTrace(Form1->Record, DriveTypeE, IsNormalized != 0, QString());
        QCOMPARE(graph->Chart[1]->AxisX()->min(), 0.0);
        QCOMPARE(graph->Chart[1]->AxisY()->max(), 500 + 0.1 * (500 - RampValue(0, 2)));
    }

    // Print: the window goes onto one page whatever the printer setup answers.
    void printsOnePage_data() {
        QTest::addColumn<bool>("answer");
        QTest::newRow("confirmed") << true;
        QTest::newRow("cancelled") << false;
    }
    void printsOnePage() {
        QFETCH(bool, answer);
        FakeDialogs dialogs;
        QTemporaryDir dir;
        dialogs.printToFile = dir.filePath(QStringLiteral("graph.pdf"));
        dialogs.printerAnswer = answer;
        FillDistinctValues(frame->Record);
        OpenGraph();
        Click(1);
        Click(2);
        graph->Button2->click();
        QCOMPARE(dialogs.printerSetups, 1);
        QVERIFY(dialogs.messages.isEmpty());
        QFile pdf(dialogs.printToFile);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QByteArray bytes = pdf.readAll();
        QVERIFY(bytes.startsWith("%PDF"));
        QCOMPARE(bytes.count(QByteArrayLiteral("/Type /Page\n")) +
                     bytes.count(QByteArrayLiteral("/Type /Page ")) +
                     bytes.count(QByteArrayLiteral("/Type /Page/")),
                 1);
    }

    void nothingToPrintTo() {
        if (!QPrinterInfo::availablePrinters().isEmpty())
            QSKIP("a printer is installed; this case needs a machine without one");
        FakeDialogs dialogs;
        OpenGraph();
        dialogs.printerAnswer = false; // the user cancelled the choice of a file
        graph->Button2->click();
        QVERIFY(dialogs.messages.isEmpty());
        dialogs.printerAnswer = true;
        graph->Button2->click();
        QCOMPARE(dialogs.messages.size(), 1);
    }

    // The window's image is drawn from the page's top-left corner with its proportions kept.
    void pageKeepsTheWindowsProportions_data() {
        QTest::addColumn<QSize>("page");
        QTest::newRow("portrait") << QSize(600, 900);
        QTest::newRow("landscape") << QSize(1200, 500);
    }
    void pageKeepsTheWindowsProportions() {
        QFETCH(QSize, page);
        OpenGraph();
        const QPixmap image = graph->grab();
        QImage sheet(page, QImage::Format_RGB32);
        sheet.fill(Qt::white);
        QPainter painter(&sheet);
        const QRect drawn = PaintPage(painter, page, image);
        painter.end();
        QCOMPARE(drawn.topLeft(), QPoint(0, 0));
        QVERIFY(drawn.width() == page.width() || drawn.height() == page.height());
        QVERIFY(drawn.width() <= page.width() && drawn.height() <= page.height());
        const double ratio = double(image.width()) / image.height();
        QVERIFY(qAbs(double(drawn.width()) / drawn.height() - ratio) < 0.01);
        // The green chart area is printed, and nothing outside the drawn rectangle.
        const QPoint greenAt(drawn.width() / 4, drawn.height() / 3);
        QCOMPARE(sheet.pixelColor(greenAt), QColor(0, 128, 0));
        if (drawn.right() + 1 < page.width())
            QCOMPARE(sheet.pixelColor(page.width() - 1, 0), QColor(Qt::white));
        if (drawn.bottom() + 1 < page.height())
            QCOMPARE(sheet.pixelColor(0, page.height() - 1), QColor(Qt::white));
    }
};

QTEST_MAIN(tst_TGraghForm)
#include "tst_TGraghForm.moc"
