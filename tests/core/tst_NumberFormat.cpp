// Number texts of the data table: rounding, fixed and exponent form, separators, flag words.

#include "NumberFormat.h"
#include "TableText.h"

#include <QTest>

#include <limits>

class tst_NumberFormat : public QObject {
    Q_OBJECT
private slots:
    void formatFixed_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QString>("expected");

        const QString dot = QStringLiteral(".");
        QTest::newRow("two") << 2.0 << 2 << dot << "2.00";
        QTest::newRow("minus half") << -0.5 << 2 << dot << "-0.50";
        QTest::newRow("sixth digit rounds") << 12345.678 << 2 << dot << "12345.70";
        QTest::newRow("below half a cent") << 0.004 << 2 << dot << "0.00";
        QTest::newRow("just above half a cent") << 0.005 << 2 << dot << "0.01";
        QTest::newRow("tie away from zero") << 0.125 << 2 << dot << "0.13";
        QTest::newRow("negative tie away from zero") << -0.125 << 2 << dot << "-0.13";
        QTest::newRow("stored just below a tie") << 2.675 << 2 << dot << "2.67";
        QTest::newRow("negative rounds to zero, no sign") << -0.004 << 2 << dot << "0.00";
        QTest::newRow("negative zero") << -0.0 << 2 << dot << "0.00";
        QTest::newRow("zero without decimals") << 0.0 << 0 << dot << "0";
        QTest::newRow("carry into a new digit") << 0.999 << 2 << dot << "1.00";
        QTest::newRow("carry to 10") << 9.9951 << 2 << dot << "10.00";
        QTest::newRow("five significant decimals") << 123.456789 << 2 << dot << "123.46";
        QTest::newRow("digits past the sixth read 0") << 123456.789 << 2 << dot << "123457.00";
        QTest::newRow("six decimals capped at six digits") << 1.234567 << 6 << dot << "1.234570";
        QTest::newRow("largest fixed") << 999999.0 << 2 << dot << "999999.00";
        QTest::newRow("stays fixed below the carry") << 999999.4 << 2 << dot << "999999.00";
        QTest::newRow("carry to 100000") << 99999.96 << 2 << dot << "100000.00";
        QTest::newRow("carry into exponent form") << 999999.5 << 2 << dot << "1E6";
        QTest::newRow("carry into exponent form, raw") << 999999.5 << 0 << dot << "1E6";
        QTest::newRow("seven integer digits") << 1234567.0 << 2 << dot << "1.23457E6";
        QTest::newRow("trailing zeros dropped") << 2000000.0 << 2 << dot << "2E6";
        QTest::newRow("negative exponent form") << -2500000.0 << 2 << dot << "-2.5E6";
        QTest::newRow("one million raw") << 1000000.0 << 0 << dot << "1E6";
        QTest::newRow("huge") << 1e30 << 2 << dot << "1E30";
        QTest::newRow("tiny") << 1.5e-10 << 2 << dot << "0.00";
        QTest::newRow("raw 100") << 100.0 << 0 << dot << "100";
        QTest::newRow("raw -5") << -5.0 << 0 << dot << "-5";
        QTest::newRow("raw 16-bit max") << 32767.0 << 0 << dot << "32767";
        QTest::newRow("raw 16-bit min") << -32768.0 << 0 << dot << "-32768";
        QTest::newRow("raw half up") << 0.5 << 0 << dot << "1";
        QTest::newRow("raw minus half") << -0.5 << 0 << dot << "-1";
        QTest::newRow("raw 2.5 not to even") << 2.5 << 0 << dot << "3";
        QTest::newRow("raw below half") << 0.49 << 0 << dot << "0";
        QTest::newRow("comma") << 2.0 << 2 << QStringLiteral(",") << "2,00";
        QTest::newRow("comma in exponent form")
            << 1234567.0 << 2 << QStringLiteral(",") << "1,23457E6";
        QTest::newRow("multi-byte separator") << -0.5 << 2 << QStringLiteral("٫") << "-0٫50";
        QTest::newRow("not a number")
            << std::numeric_limits<double>::quiet_NaN() << 2 << dot << "NAN";
        QTest::newRow("infinity") << -std::numeric_limits<double>::infinity() << 2 << dot << "-INF";
    }
    void formatFixed() {
        QFETCH(double, value);
        QFETCH(int, decimals);
        QFETCH(QString, separator);
        QFETCH(QString, expected);
        const std::string text = FormatFixed(value, decimals, separator.toStdString());
        QCOMPARE(QString::fromStdString(text), expected);
    }

    void flagWordText_data() {
        QTest::addColumn<int>("word");
        QTest::addColumn<QString>("expected");
        QTest::newRow("zero") << 0 << "0000";
        QTest::newRow("zero-filled, upper case") << 26 << "001A";
        QTest::newRow("all sixteen bits") << 65535 << "FFFF";
        QTest::newRow("wider than 16 bits") << 0x12345 << "12345";
        QTest::newRow("negative") << -1 << "FFFFFFFF";
    }
    void flagWordText() {
        QFETCH(int, word);
        QFETCH(QString, expected);
        QCOMPARE(QString::fromStdString(FlagWordText(word)), expected);
    }

    // The table's cells: the single-precision product, and the raw value as stored.
    void tableCells_data() {
        QTest::addColumn<int>("channel");
        QTest::addColumn<float>("value");
        QTest::addColumn<int>("normalized");
        QTest::addColumn<QString>("normalizedText");
        QTest::addColumn<QString>("rawText");
        QTest::newRow("ch1 100") << 0 << 100.0f << 0 << "2.00"
                                 << "100";
        QTest::newRow("ch4 -5") << 3 << -5.0f << 0 << "-0.50"
                                << "-5";
        QTest::newRow("ch1 5000") << 0 << 5000.0f << 0 << "100.00"
                                  << "5000";
        QTest::newRow("ch11 flux") << 10 << 1024.0f << 0 << "100.00"
                                   << "1024";
        QTest::newRow("ch12 temperature max") << 11 << 32767.0f << 0 << "3276.70"
                                              << "32767";
        QTest::newRow("already normalized") << 0 << 12.345f << 1 << "12.35"
                                            << "12";
        QTest::newRow("already normalized, large") << 5 << 2500000.0f << 1 << "2.5E6"
                                                   << "2.5E6";
    }
    void tableCells() {
        QFETCH(int, channel);
        QFETCH(float, value);
        QFETCH(int, normalized);
        QFETCH(QString, normalizedText);
        QFETCH(QString, rawText);
        TraceUnits trace{{}, 0, normalized != 0};
        ResetRecord(trace.Record);
        trace.Record.Value[7][channel] = value;
        QCOMPARE(QString::fromStdString(NormalizedText(trace, 7, channel, ".")), normalizedText);
        QCOMPARE(QString::fromStdString(RawText(trace.Record, 7, channel, ".")), rawText);
    }

    void headers() {
        auto header = [](int col) { return QString::fromStdString(TableHeaderText(col)); };
        QCOMPARE(header(0), QString());
        QCOMPARE(header(1), QStringLiteral("ch1"));
        QCOMPARE(header(13), QStringLiteral("ch13"));
        QCOMPARE(header(16), QStringLiteral("ch16"));
        QCOMPARE(header(17), QString());
    }
};

QTEST_APPLESS_MAIN(tst_NumberFormat)
#include "tst_NumberFormat.moc"
