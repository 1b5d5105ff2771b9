// Chart contents of one channel, the stacked chart places, label steps, page fitting and the
// channel choice of the graph window.

#include "ChannelChoice.h"
#include "ChartScaling.h"

#include <QTest>

#include <cmath>
#include <limits>

namespace {

// A trace whose channel ch holds low for samples 0..49 and high for 50..99.
TraceUnits TwoLevelTrace(int ch, float low, float high, int driveTypeE = 0,
                         bool normalized = true) {
    TraceUnits trace{{}, driveTypeE, normalized};
    ResetRecord(trace.Record, driveTypeE);
    for (int n = 0; n < SampleCount; ++n)
        trace.Record.Value[n][ch - 1] = n < 50 ? low : high;
    return trace;
}

ChartNaming Naming(int language, int ownNameChannel = 0) {
    ChartNaming naming;
    naming.Language = language;
    naming.OwnName[static_cast<std::size_t>(ownNameChannel)] = ownNameChannel != 0;
    return naming;
}

QString Utf8(const std::string &text) {
    return QString::fromStdString(text);
}

} // namespace

class tst_ChartScaling : public QObject {
    Q_OBJECT
private slots:
    void fill_data() {
        QTest::addColumn<int>("ch");
        QTest::addColumn<float>("low");
        QTest::addColumn<float>("high");
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("driveTypeE");
        QTest::addColumn<bool>("ownName");
        QTest::addColumn<bool>("normalized");
        QTest::addColumn<QString>("title");
        QTest::addColumn<float>("lowPoint");
        QTest::addColumn<float>("highPoint");
        QTest::addColumn<double>("axisMin");
        QTest::addColumn<double>("axisMax");
        QTest::addColumn<int>("margin");
        const int ja = LanguageJapanese, en = LanguageEnglish;

        QTest::newRow("current -5000..5000")
            << 1 << -5000.0f << 5000.0f << ja << 0 << false << false << "Ｕ相電流(%)" << -100.0f
            << 100.0f << -120.0 << 120.0 << 1;
        QTest::newRow("0.5..2.5") << 2 << 0.5f << 2.5f << ja << 0 << false << true << "Ｖ相電流(%)"
                                  << 0.5f << 2.5f << 0.3 << 2.7 << 4;
        QTest::newRow("-0.5..2.5") << 2 << -0.5f << 2.5f << ja << 0 << false << true
                                   << "Ｖ相電流(%)" << -0.5f << 2.5f << -0.8 << 2.8 << 4;
        QTest::newRow("-1..2.5") << 2 << -1.0f << 2.5f << ja << 0 << false << true << "Ｖ相電流(%)"
                                 << -1.0f << 2.5f << -1.35 << 2.85 << 3;
        QTest::newRow("0..150") << 2 << 0.0f << 150.0f << ja << 0 << false << true << "Ｖ相電流(%)"
                                << 0.0f << 150.0f << -15.0 << 165.0 << 2;
        QTest::newRow("max 10 -> 3") << 3 << 0.0f << 10.0f << ja << 0 << false << true
                                     << "Ｗ相電流(%)" << 0.0f << 10.0f << -1.0 << 11.0 << 3;
        QTest::newRow("min -10 -> 2") << 3 << -10.0f << 5.0f << ja << 0 << false << true
                                      << "Ｗ相電流(%)" << -10.0f << 5.0f << -11.5 << 6.5 << 2;
        QTest::newRow("max 1000 -> 1") << 3 << 0.0f << 1000.0f << ja << 0 << false << true
                                       << "Ｗ相電流(%)" << 0.0f << 1000.0f << -100.0 << 1100.0 << 1;
        QTest::newRow("user name ch4") << 4 << 0.0f << 200.0f << ja << 0 << true << false
                                       << "Ch4(%)" << 0.0f << 1.0f << -0.1 << 1.1 << 4;
        QTest::newRow("default name ch4") << 4 << 0.0f << 200.0f << ja << 0 << false << false
                                          << "直流電圧(V)" << 0.0f << 20.0f << -2.0 << 22.0 << 3;
        QTest::newRow("user name ignores Scale ch12")
            << 12 << 0.0f << 1000.0f << en << 1 << true << false << "Ch12(%)" << 0.0f << 5.0f
            << -0.5 << 5.5 << 4;
        QTest::newRow("type E ch12 English")
            << 12 << 0.0f << 16384.0f << en << 1 << false << false << "Control phase(degree)"
            << 0.0f << 90.0f << -9.0 << 99.0 << 3;
        QTest::newRow("standard ch12 English")
            << 12 << 0.0f << 100.0f << en << 0 << false << false << "Motor-Temp(degree)" << 0.0f
            << 10.0f << -1.0 << 11.0 << 3;
        QTest::newRow("type E ch10 Japanese")
            << 10 << 0.0f << 60.0f << ja << 1 << false << false << "ｄ軸電流指令(%)" << 0.0f << 1.0f
            << -0.1 << 1.1 << 4;
        QTest::newRow("normalized user-named") << 5 << 0.0f << 12.5f << ja << 0 << true << true
                                               << "Ch5(%)" << 0.0f << 12.5f << -1.25 << 13.75 << 3;
        QTest::newRow("normalized default")
            << 6 << 0.0f << 12.5f << en << 0 << false << true << "Motor-Speed(%)" << 0.0f << 12.5f
            << -1.25 << 13.75 << 3;
        QTest::newRow("beyond 16 bits")
            << 7 << 40000.0f << 50000.0f << ja << 0 << false << true << "速度指令(%)" << 40000.0f
            << 50000.0f << 39000.0 << 51000.0 << 1;
        QTest::newRow("far below 16 bits")
            << 7 << -90000.0f << -80000.0f << ja << 0 << false << true << "速度指令(%)" << -90000.0f
            << -80000.0f << -91000.0 << -79000.0 << 1;
    }
    void fill() {
        QFETCH(int, ch);
        QFETCH(float, low);
        QFETCH(float, high);
        QFETCH(int, language);
        QFETCH(int, driveTypeE);
        QFETCH(bool, ownName);
        QFETCH(bool, normalized);
        const TraceUnits trace = TwoLevelTrace(ch, low, high, driveTypeE, normalized);
        const ChartFill fill = FillChartData(trace, ch, Naming(language, ownName ? ch : 0));
        QTEST(Utf8(fill.Title), "title");
        QTEST(fill.Y[0], "lowPoint");
        QTEST(fill.Y[49], "lowPoint");
        QTEST(fill.Y[50], "highPoint");
        QTEST(fill.Y[99], "highPoint");
        QFETCH(double, axisMin);
        QFETCH(double, axisMax);
        QVERIFY(!fill.Range.Automatic);
        QVERIFY2(std::fabs(fill.Range.Min - axisMin) < 1e-6,
                 qPrintable(QString::number(fill.Range.Min)));
        QVERIFY2(std::fabs(fill.Range.Max - axisMax) < 1e-6,
                 qPrintable(QString::number(fill.Range.Max)));
        QTEST(fill.LeftMarginPercent, "margin");
    }

    // A flat line leaves the range to the chart: it must still contain the line, with room.
    void flatLineIsAutomatic_data() {
        QTest::addColumn<float>("value");
        QTest::newRow("zero") << 0.0f;
        QTest::newRow("positive") << 20.0f;
        QTest::newRow("negative") << -150.0f;
        QTest::newRow("huge") << 3.0e30f;
    }
    void flatLineIsAutomatic() {
        QFETCH(float, value);
        const ChartFill fill = FillChartData(TwoLevelTrace(8, value, value), 8, {});
        QVERIFY(fill.Range.Automatic);
        QVERIFY(fill.Range.Min < value);
        QVERIFY(fill.Range.Max > value);
        QCOMPARE(fill.Max, value);
        QCOMPARE(fill.Min, value);
    }

    // Values a hand-edited file can hold must not wreck the range of the others.
    void nonFiniteValuesStayOutOfTheRange() {
        TraceUnits trace = TwoLevelTrace(9, 1.0f, 3.0f);
        trace.Record.Value[10][8] = std::numeric_limits<float>::infinity();
        trace.Record.Value[11][8] = -std::numeric_limits<float>::infinity();
        trace.Record.Value[12][8] = std::numeric_limits<float>::quiet_NaN();
        const ChartFill fill = FillChartData(trace, 9, {});
        QCOMPARE(fill.Max, 3.0f);
        QCOMPARE(fill.Min, 1.0f);
        QVERIFY(std::isfinite(fill.Range.Min) && std::isfinite(fill.Range.Max));

        for (int n = 0; n < SampleCount; ++n)
            trace.Record.Value[n][8] = std::numeric_limits<float>::quiet_NaN();
        const ChartFill empty = FillChartData(trace, 9, {});
        QVERIFY(std::isfinite(empty.Range.Min) && std::isfinite(empty.Range.Max));
        QVERIFY(empty.Range.Min < empty.Range.Max);
    }

    // Title and factor come from the trace and the naming passed in; the factor is the record's
    // own until ApplyTypeScales (the graph's Redraw).
    void fillTakesItsUnitsFromTheTrace() {
        TraceUnits trace = TwoLevelTrace(11, 0.0f, 1024.0f, 0, false);
        trace.DriveTypeE = 1;
        const ChartFill stale = FillChartData(trace, 11, Naming(LanguageEnglish));
        QCOMPARE(Utf8(stale.Title), QStringLiteral("Iq-ref.(%)"));
        QCOMPARE(stale.Y[99], 100.0f);
        ApplyTypeScales(trace.Record, trace.DriveTypeE);
        QCOMPARE(FillChartData(trace, 11, Naming(LanguageEnglish)).Y[99],
                 static_cast<float>(1024.0 * (1.0f / 60)));
    }

    void margins_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("leftPercent");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("right");
        QTest::addColumn<int>("bottom");
        QTest::newRow("800x150 1%") << 800 << 150 << 1 << 8 << 2 << 16 << 2;
        QTest::newRow("800x150 4%") << 800 << 150 << 4 << 32 << 2 << 16 << 2;
        QTest::newRow("725x88 3%") << 725 << 88 << 3 << 22 << 1 << 15 << 1;
        QTest::newRow("empty") << 0 << 0 << 2 << 0 << 0 << 0 << 0;
    }
    void margins() {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, leftPercent);
        const ChartMarginsPx m = ChartMargins(width, height, leftPercent);
        QTEST(m.Left, "left");
        QTEST(m.Top, "top");
        QTEST(m.Right, "right");
        QTEST(m.Bottom, "bottom");
    }

    void labelStep_data() {
        QTest::addColumn<double>("span");
        QTest::addColumn<int>("length");
        QTest::addColumn<double>("minStep");
        QTest::addColumn<double>("step");
        // 240 over 100 px with labels 20 px apart: at least 48 -> 50.
        QTest::newRow("240 in 100px") << 240.0 << 100 << 0.1 << 50.0;
        QTest::newRow("2.4 in 100px") << 2.4 << 100 << 0.1 << 0.5;
        QTest::newRow("tiny span floors at 0.1") << 0.01 << 400 << 0.1 << 0.1;
        QTest::newRow("Chart2 floors at 1.0") << 2.4 << 100 << 1.0 << 1.0;
        QTest::newRow("exact 0.1") << 1.0 << 200 << 0.1 << 0.1;
        QTest::newRow("samples in 660px") << 99.0 << 660 << 1.0 << 5.0;
        QTest::newRow("no room") << 10.0 << 0 << 0.1 << 200.0;
        QTest::newRow("squeezed wide range") << 12000.0 << -30 << 0.1 << 500000.0;
        QTest::newRow("no span") << 0.0 << 100 << 0.1 << 0.1;
        QTest::newRow("huge span") << 2.0e38 << 100 << 0.1 << 5.0e37;
    }
    void labelStep() {
        QFETCH(double, span);
        QFETCH(int, length);
        QFETCH(double, minStep);
        QFETCH(double, step);
        const double got = LabelStep(span, length, 20, minStep);
        QVERIFY2(std::fabs(got - step) <= step * 1e-9, qPrintable(QString::number(got)));
        // Labels never crowd closer than the spacing asked for.
        if (span > 0)
            QVERIFY(got / span * std::max(length, 1) >= 20 * (1 - 1e-9));
    }

    // Labels summed up step by step from the anchor: zero reads "0.0", and the labels are the
    // multiples of the step within the range, read as the chart reads them.
    void axisLabels_data() {
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("max");
        QTest::addColumn<double>("step");
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("-1.44..1.44 by 0.2")
            << -1.44 << 1.44 << 0.2
            << QStringList{"-1.4", "-1.2", "-1.0", "-0.8", "-0.6", "-0.4", "-0.2", "0.0",
                           "0.2",  "0.4",  "0.6",  "0.8",  "1.0",  "1.2",  "1.4"};
        QTest::newRow("-0.36..0.36 by 0.1")
            << -0.36 << 0.36 << 0.1
            << QStringList{"-0.3", "-0.2", "-0.1", "0.0", "0.1", "0.2", "0.3"};
        QTest::newRow("flat zero -1..1 by 0.5")
            << -1.0 << 1.0 << 0.5 << QStringList{"-1.0", "-0.5", "0.0", "0.5", "1.0"};
        // Lifted a hair above zero, the count loses a label at the very end of the range.
        QTest::newRow("flat zero -1..1 by 0.2")
            << -1.0 << 1.0 << 0.2 << QStringList{"-1.0", "-0.8", "-0.6", "-0.4", "-0.2",
                                                 "0.0",  "0.2",  "0.4",  "0.6",  "0.8"};
        QTest::newRow("-10..110 by 10")
            << -10.0 << 110.0 << 10.0
            << QStringList{"-10.0", "0.0",  "10.0", "20.0", "30.0",  "40.0", "50.0",
                           "60.0",  "70.0", "80.0", "90.0", "100.0", "110.0"};
        QTest::newRow("-36000..36000 by 20000")
            << -36000.0 << 36000.0 << 20000.0 << QStringList{"-20000.0", "0.0", "20000.0"};
        QTest::newRow("0.3..2.7 by 0.5")
            << 0.3 << 2.7 << 0.5 << QStringList{"0.5", "1.0", "1.5", "2.0", "2.5"};
        QTest::newRow("no step") << 0.0 << 1.0 << 0.0 << QStringList{};
    }
    void axisLabels() {
        QFETCH(double, min);
        QFETCH(double, max);
        QFETCH(double, step);
        QStringList labels;
        for (const double v : AxisLabelValues(min, max, step, AxisTickAnchor(step)))
            labels.append(Utf8(AxisLabelText(v)));
        QTEST(labels, "labels");
    }

    void noNegativeZeroLabel() {
        QCOMPARE(AxisLabelText(-1e-17), std::string("0.0"));
        QCOMPARE(AxisLabelText(-0.04), std::string("0.0"));
        QCOMPARE(AxisLabelText(-0.05000001), std::string("-0.1"));
        QCOMPARE(AxisLabelText(1234.56), std::string("1234.6"));
        // Whatever range and step, a label near zero is summed to a hair above it.
        for (const double step : {0.1, 0.2, 0.5, 1.0, 2.0, 5.0, 20.0})
            for (int k = 1; k <= 60; ++k)
                for (const double off : {0.0, 0.013, 0.37})
                    for (const double v : AxisLabelValues(-k * step * 1.1 - off, k * step * 0.7,
                                                          step, AxisTickAnchor(step)))
                        QVERIFY2(AxisLabelText(v) != "-0.0",
                                 qPrintable(QStringLiteral("%1 %2").arg(step).arg(k)));
    }

    // One left and right plot edge for charts of one width: room for the widest labels and at
    // least every chart's percent margin; right margin 2 %, widened for the last time label.
    void commonPlotEdges_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<QList<int>>("needs"); // percent, label width, ...
        QTest::addColumn<int>("overhang");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("right");
        // 1000 px, gap 8: 1 % + 60 = 78; 4 % + 20 = 68 -> 78.
        QTest::newRow("wide labels set the edge")
            << 1000 << QList<int>{1, 60, 4, 20} << 8 << 78 << 980;
        // 4 % of 1000 + 30 + 8 = 78 beats 1 % + 40 + 8 = 58: the percent margin is the least.
        QTest::newRow("percent margin is the least")
            << 1000 << QList<int>{1, 40, 4, 30} << 8 << 78 << 980;
        QTest::newRow("one chart") << 600 << QList<int>{3, 24} << 8 << 50 << 588;
        QTest::newRow("narrow: the time label needs more than 2 %")
            << 300 << QList<int>{2, 30, 2, 35} << 9 << 49 << 291;
        QTest::newRow("no room left") << 40 << QList<int>{4, 50} << 8 << 60 << 61;
    }
    void commonPlotEdges() {
        QFETCH(int, width);
        QFETCH(QList<int>, needs);
        QFETCH(int, overhang);
        std::vector<PlotLeftNeed> charts;
        for (qsizetype i = 0; i + 1 < needs.size(); i += 2)
            charts.push_back({needs[i], needs[i + 1]});
        const PlotEdges edges = CommonPlotEdges(width, charts, 8, overhang);
        QTEST(edges.Left, "left");
        QTEST(edges.Right, "right");
    }

    void stackedSlots_data() {
        QTest::addColumn<int>("k");
        QTest::addColumn<int>("area");
        QTest::addColumn<QList<int>>("tops"); // positions 1..k
        QTest::addColumn<int>("height");
        QTest::newRow("one") << 1 << 443 << QList<int>{0} << 443;
        QTest::newRow("three in 443") << 3 << 443 << QList<int>{296, 149, 0} << 147;
        QTest::newRow("two in 443") << 2 << 443 << QList<int>{222, 0} << 221;
        QTest::newRow("five in 500") << 5 << 500 << QList<int>{400, 300, 200, 100, 0} << 100;
        QTest::newRow("five in 503") << 5 << 503 << QList<int>{403, 303, 203, 103, 0} << 100;
    }
    void stackedSlots() {
        QFETCH(int, k);
        QFETCH(int, area);
        QFETCH(QList<int>, tops);
        QFETCH(int, height);
        for (int p = 1; p <= k; ++p) {
            const ChartSlot slot = StackedChartSlot(p, k, area);
            QCOMPARE(slot.Top, tops[p - 1]);
            QCOMPARE(slot.Height, height);
        }
        // The uncovered rows lie between the top chart and the one below it.
        if (k > 1)
            QCOMPARE(StackedChartSlot(k - 1, k, area).Top - height, area - k * height);
    }

    void fitToPage_data() {
        QTest::addColumn<QSize>("image");
        QTest::addColumn<QSize>("page");
        QTest::addColumn<QSize>("printed");
        QTest::newRow("wide image on portrait page")
            << QSize(900, 600) << QSize(4800, 6800) << QSize(4800, 3200);
        QTest::newRow("tall image on landscape page")
            << QSize(300, 600) << QSize(6800, 4800) << QSize(2400, 4800);
        QTest::newRow("rounding") << QSize(1000, 3) << QSize(10, 10) << QSize(10, 0);
        QTest::newRow("rounding up") << QSize(3, 2) << QSize(100, 100) << QSize(100, 67);
        QTest::newRow("same proportions") << QSize(200, 100) << QSize(400, 200) << QSize(400, 200);
        QTest::newRow("no image") << QSize(0, 0) << QSize(400, 200) << QSize(0, 0);
    }
    void fitToPage() {
        QFETCH(QSize, image);
        QFETCH(QSize, page);
        const PageFit fit = FitToPage(image.width(), image.height(), page.width(), page.height());
        QTEST(QSize(fit.Width, fit.Height), "printed");
        QVERIFY(fit.Width <= page.width() && fit.Height <= page.height());
    }

    // Operations: "+n" chooses channel n, "-n" removes it.
    void channelChoice_data() {
        QTest::addColumn<QStringList>("operations");
        QTest::addColumn<QList<int>>("charts"); // ChannelOfChart[1..5]
        QTest::addColumn<QList<bool>>("full");  // per operation: Select made 5 / Deselect from 5
        QTest::newRow("3 7 5") << QStringList{"+3", "+7", "+5"} << QList<int>{3, 7, 5, 0, 0}
                               << QList<bool>{false, false, false};
        QTest::newRow("3 7 5 then -7")
            << QStringList{"+3", "+7", "+5", "-7"} << QList<int>{3, 5, 0, 0, 0}
            << QList<bool>{false, false, false, false};
        QTest::newRow("five then -1")
            << QStringList{"+1", "+2", "+3", "+4", "+5", "-1"} << QList<int>{2, 3, 4, 5, 0}
            << QList<bool>{false, false, false, false, true, true};
        QTest::newRow("five then top removed")
            << QStringList{"+12", "+11", "+10", "+9", "+8", "-8"} << QList<int>{12, 11, 10, 9, 0}
            << QList<bool>{false, false, false, false, true, true};
        QTest::newRow("sixth ignored")
            << QStringList{"+1", "+2", "+3", "+4", "+5", "+6"} << QList<int>{1, 2, 3, 4, 5}
            << QList<bool>{false, false, false, false, true, false};
        QTest::newRow("computed charts count within five")
            << QStringList{"+13", "+1", "+14", "+2", "+3", "+4", "-13"} << QList<int>{1, 14, 2, 3, 0}
            << QList<bool>{false, false, false, false, true, false, true};
        QTest::newRow("twice ignored")
            << QStringList{"+4", "+4"} << QList<int>{4, 0, 0, 0, 0} << QList<bool>{false, false};
        QTest::newRow("remove unknown")
            << QStringList{"+4", "-6"} << QList<int>{4, 0, 0, 0, 0} << QList<bool>{false, false};
        QTest::newRow("last removed")
            << QStringList{"+4", "-4"} << QList<int>{0, 0, 0, 0, 0} << QList<bool>{false, false};
        QTest::newRow("refill after removal")
            << QStringList{"+1", "+2", "+3", "+4", "+5", "-3", "+9"} << QList<int>{1, 2, 4, 5, 9}
            << QList<bool>{false, false, false, false, true, true, true};
    }
    void channelChoice() {
        QFETCH(QStringList, operations);
        QFETCH(QList<int>, charts);
        QFETCH(QList<bool>, full);
        ChannelChoice choice;
        for (int i = 0; i < operations.size(); ++i) {
            const int ch = operations[i].mid(1).toInt();
            const bool result =
                operations[i].startsWith('+') ? choice.Select(ch) : choice.Deselect(ch);
            QCOMPARE(result, full[i]);
        }
        int count = 0;
        for (int p = 1; p <= MaxShownChannels; ++p) {
            QCOMPARE(choice.ChannelOfChart[p], charts[p - 1]);
            if (charts[p - 1] != 0) {
                ++count;
                QCOMPARE(choice.ChartOfChannel[charts[p - 1]], p);
            }
        }
        QCOMPARE(choice.SelectedCount, count);
        for (int ch = 1; ch <= ChannelCount; ++ch)
            QCOMPARE(choice.ChartOfChannel[ch] != 0, charts.contains(ch));
    }
};

QTEST_APPLESS_MAIN(tst_ChartScaling)
#include "tst_ChartScaling.moc"
