// The fault report's contents: which events it lists, each channel's numbers, the charts.

#include "FaultReport.h"

#include <QTest>

#include <limits>

Q_DECLARE_METATYPE(std::vector<int>)
Q_DECLARE_METATYPE(std::vector<std::size_t>)

class tst_FaultReportModel : public QObject {
    Q_OBJECT
private slots:
    void eventsNearest_data() {
        QTest::addColumn<std::vector<int>>("samples");
        QTest::addColumn<int>("t");
        QTest::addColumn<int>("limit");
        QTest::addColumn<std::vector<std::size_t>>("expected");
        const std::vector<int> samples = {0, 5, 10, 10, 15, 90};
        QTest::newRow("all fit") << samples << 10 << 20
                                 << std::vector<std::size_t>{0, 1, 2, 3, 4, 5};
        QTest::newRow("nearest, in sample order")
            << samples << 12 << 3 << std::vector<std::size_t>{2, 3, 4};
        // 5 and 15 lie as far from 10 as each other: the earlier one is kept.
        QTest::newRow("tie keeps the earlier")
            << std::vector<int>{5, 15} << 10 << 1 << std::vector<std::size_t>{0};
        QTest::newRow("trigger beyond the trace")
            << samples << 150 << 2 << std::vector<std::size_t>{4, 5};
        QTest::newRow("none") << std::vector<int>{} << 50 << 20 << std::vector<std::size_t>{};
    }
    void eventsNearest() {
        QFETCH(std::vector<int>, samples);
        QFETCH(int, t);
        QFETCH(int, limit);
        QFETCH(std::vector<std::size_t>, expected);
        std::vector<FlagEvent> events;
        for (const int s : samples)
            events.push_back({s, 0, 0, FlagEventKind::Rise, ""});
        QCOMPARE(EventsNearest(events, t, static_cast<std::size_t>(limit)), expected);
    }

    void channelNumbersAndCharts_data() {
        QTest::addColumn<bool>("normalized");
        QTest::addColumn<int>("header0");
        QTest::addColumn<QString>("min");
        QTest::addColumn<QString>("max");
        QTest::addColumn<QString>("atTrigger");
        // Channel 4 (DC voltage, factor 0.1): raw values 2 * i - 40, one not a number.
        QTest::newRow("raw") << false << 40 << "-4.00"
                             << "15.80"
                             << "8.00";
        QTest::newRow("engineering units") << true << 40 << "-40.00"
                                           << "158.00"
                                           << "80.00";
        QTest::newRow("trigger off the trace") << false << 0 << "-4.00"
                                               << "15.80"
                                               << "-";
    }
    void channelNumbersAndCharts() {
        QFETCH(bool, normalized);
        QFETCH(int, header0);
        QFETCH(QString, min);
        QFETCH(QString, max);
        QFETCH(QString, atTrigger);
        FaultReportInput input;
        ResetRecord(input.Trace.Record);
        for (int i = 0; i < SampleCount; ++i)
            input.Trace.Record.Value[i][3] = float(2 * i - 40);
        input.Trace.Record.Value[50][3] = std::numeric_limits<float>::quiet_NaN();
        input.Trace.Record.Header[0] = header0;
        input.Trace.Normalized = normalized;
        input.Channels = {4, 0, ChoiceCount + 1, 1};
        const FaultReport report = BuildFaultReport(input);
        QCOMPARE(report.ChannelRows.size(), std::size_t(ChannelCount));
        const ReportChannelRow &row = report.ChannelRows[3];
        QCOMPARE(QString::fromStdString(row.Name), QStringLiteral("DC-Volt.(V)"));
        QCOMPARE(QString::fromStdString(row.Min), min);
        QCOMPARE(QString::fromStdString(row.Max), max);
        QCOMPARE(QString::fromStdString(row.AtTrigger), atTrigger);
        // Channels that do not exist are left out; the others keep their order.
        QCOMPARE(report.Charts.size(), std::size_t(2));
        QCOMPARE(report.Charts[0].Title, row.Name);
        QCOMPARE(QString::fromStdString(report.Charts[1].Title), QStringLiteral("Curr.-U(%)"));
        QCOMPARE(report.Trigger.has_value(), header0 != 0);
        QCOMPARE(report.FirstFaultLine, std::string("First fault: none"));
        QVERIFY(report.MoreEventsLine.empty());
    }
};

QTEST_APPLESS_MAIN(tst_FaultReportModel)
#include "tst_FaultReportModel.moc"
