// The CSV of a small constructed trace, byte for byte, in a locale with a decimal point and in
// one with a decimal comma.

#include "NumberFormat.h"
#include "TraceCsv.h"

#include <QLocale>
#include <QTest>
#include <clocale>

Q_DECLARE_METATYPE(CsvView)

namespace {

TraceUnits Trace(bool normalized) {
    TraceUnits trace;
    ResetRecord(trace.Record);
    trace.DriveTypeE = 1;
    trace.Normalized = normalized;
    TTraceRecord &r = trace.Record;
    r.SampleNo[0] = -5;
    r.Value[0][0] = 1234.5f;
    r.Scale[0] = 0.1f;
    r.Value[0][1] = -3.0f;
    r.Scale[1] = 0.5f;
    r.Value[0][2] = 2.5f;
    r.Scale[2] = 1.0f;
    r.Flag[0][0] = 0x1a;
    r.Flag[0][3] = 0xFFFF;
    return trace;
}

// Rows 1..99 of the constructed trace: sample number, twelve zeros, four zero flag words.
std::string QuietRows(const char *zero) {
    std::string out;
    for (int i = 1; i < SampleCount; ++i) {
        out += std::to_string(i);
        for (int c = 0; c < ChannelCount; ++c)
            out += std::string(",") + zero;
        out += ",0x0000,0x0000,0x0000,0x0000\n";
    }
    return out;
}

const char *const TableHeader =
    "sample,ch1,ch2,ch3,ch4,ch5,ch6,ch7,ch8,ch9,ch10,ch11,ch12,ch13,ch14,ch15,ch16\n";

} // namespace

class tst_TraceCsv : public QObject {
    Q_OBJECT
private slots:
    void csv_data() {
        QTest::addColumn<QByteArray>("locale");
        QTest::addColumn<bool>("normalized");
        QTest::addColumn<CsvView>("view");
        QTest::addColumn<QByteArray>("expected");

        const std::string tail = ",0,0,0,0,0,0,0,0,0,0x001A,0x0000,0x0000,0x0000\n";
        const std::string tail2 = ",0.00,0.00,0.00,0.00,0.00,0.00,0.00,0.00,0.00,0x001A,0x0000,"
                                  "0x0000,0x0000\n";
        const std::string normalizedRaw =
            TableHeader + std::string("-5,123.45,-1.50,2.50") + tail2 + QuietRows("0.00");
        const std::string normalizedStored =
            TableHeader + std::string("-5,1234.50,-3.00,2.50") + tail2 + QuietRows("0.00");
        // Half away from zero, as the table rounds.
        const std::string original =
            TableHeader + std::string("-5,1235,-3,3") + tail + QuietRows("0");

        for (const char *locale : {"C", "de_DE.UTF-8"}) {
            const QByteArray name(locale);
            QTest::addRow("%s normalised view of raw values", locale)
                << name << false << CsvView::Normalized << QByteArray::fromStdString(normalizedRaw);
            QTest::addRow("%s normalised view of stored units", locale)
                << name << true << CsvView::Normalized
                << QByteArray::fromStdString(normalizedStored);
            QTest::addRow("%s original view", locale)
                << name << false << CsvView::Original << QByteArray::fromStdString(original);
        }
    }

    void csv() {
        QFETCH(QByteArray, locale);
        QFETCH(bool, normalized);
        QFETCH(CsvView, view);
        QFETCH(QByteArray, expected);
        TraceUnits trace = Trace(normalized);
        trace.Record.Flag[0][3] = 0; // the wide word is its own case below
        QLocale::setDefault(locale == "C" ? QLocale::c() : QLocale(QLocale::German));
        std::setlocale(LC_ALL, locale.constData());
        const std::string csv = TraceCsv(trace, view);
        std::setlocale(LC_ALL, "C");
        QLocale::setDefault(QLocale::c());
        QCOMPARE(QByteArray::fromStdString(csv), expected);
    }

    // Current - reference, each in its own units; empty fields where no sample is partnered.
    void differenceView() {
        const TraceUnits current = Trace(true); // t = 0
        TraceUnits reference;
        ResetRecord(reference.Record);
        reference.Record.Header[0] = 99; // t = 1: current k pairs with reference k + 1
        reference.DriveTypeE = 0;
        reference.Record.Value[1][0] = 2.5f; // raw, times its own factor
        const std::string csv =
            TraceCsv(current, CsvView::Difference, &reference, Alignment::Trigger);
        const std::string expectedFirst =
            FormatFixed(1234.5 - double(2.5f * ChannelFactor(0, 0)), 2, ".") +
            ",-3.00,2.50,0.00,0.00,0.00,0.00,0.00,0.00,0.00,0.00,0.00,0x001A";
        QVERIFY2(csv.find("\n-5," + expectedFirst) != std::string::npos, csv.c_str());
        QVERIFY(csv.find("\n99,,,,,,,,,,,,,0x0000,0x0000,0x0000,0x0000\n") != std::string::npos);
        const std::string bySample =
            TraceCsv(current, CsvView::Difference, &reference, Alignment::Sample);
        QVERIFY(bySample.find("\n99,0.00,0.00,") != std::string::npos);
        QVERIFY(bySample.rfind(TableHeader, 0) == 0);
    }

    void exportedViewNamesChannelsAndKeepsEveryDigit() {
        TraceUnits trace = Trace(true);
        std::setlocale(LC_ALL, "de_DE.UTF-8");
        const std::string csv = TraceCsv(trace, CsvView::Exported);
        std::setlocale(LC_ALL, "C");
        const std::string firstRow =
            csv.substr(csv.find('\n') + 1, csv.find("\n1,") - csv.find('\n'));
        QCOMPARE(QByteArray::fromStdString(firstRow),
                 QByteArray("-5,1234.5,-3,2.5,0,0,0,0,0,0,0,0,0,0x001A,0x0000,0x0000,0xFFFF\n"));
        QVERIFY(csv.rfind("sample,", 0) == 0);
        QVERIFY(csv.find(",flag1,flag2,flag3,flag4\n") != std::string::npos);
        QVERIFY(csv.find('\r') == std::string::npos);
    }
};

QTEST_APPLESS_MAIN(tst_TraceCsv)
#include "tst_TraceCsv.moc"
