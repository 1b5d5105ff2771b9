// The record's start state, the factors and the engineering-unit rule.

#include "ChannelNames.h"
#include "TraceRecord.h"
#include "TriggerStamp.h"

#include <QTest>
#include <bit>

class tst_TraceRecord : public QObject {
    Q_OBJECT
private slots:
    void startState() {
        TTraceRecord record;
        std::memset(&record, 0x5A, sizeof record);
        ResetRecord(record);
        for (int i = 0; i < SampleCount; ++i) {
            QCOMPARE(record.SampleNo[i], i);
            for (int c = 0; c < ChannelCount; ++c)
                QCOMPARE(record.Value[i][c], 0.0f);
            for (int w = 0; w < FlagWordCount; ++w)
                QCOMPARE(record.Flag[i][w], 0);
        }
        QCOMPARE(record.Header[0], 100);
        for (int j = 1; j < HeaderCount; ++j)
            QCOMPARE(record.Header[j], 0);
        QCOMPARE(record.Scale[9], 0.005f);
        QCOMPARE(record.Scale[10], 0.09765625f);
        QCOMPARE(record.Scale[11], 0.1f);
        const auto stamp = FormatTriggerStamp(record.Header, StampClock::Setnvop);
        QCOMPARE(stamp.Point, std::string("0"));
        QCOMPARE(stamp.Date, std::string("0000/00/00"));
        QCOMPARE(stamp.Time, std::string("00:00"));
    }

    void factorBits_data() {
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("driveTypeE");
        QTest::addColumn<uint>("bits");
        const uint common[9] = {0x3CA3D70A, 0x3CA3D70A, 0x3CA3D70A, 0x3DCCCCCD, 0x3DCCCCCD,
                                0x3BA3D70A, 0x3BA3D70A, 0x3CA3D70A, 0x3BA3D70A};
        for (int c = 0; c < 9; ++c)
            for (int e = 0; e <= 1; ++e)
                QTest::addRow("ch%d type%d", c + 1, e) << c << e << common[c];
        QTest::newRow("ch10 E") << 9 << 1 << 0x3C888889u;
        QTest::newRow("ch11 E") << 10 << 1 << 0x3C888889u;
        QTest::newRow("ch12 E") << 11 << 1 << 0x3BB40000u;
        QTest::newRow("ch10 std") << 9 << 0 << 0x3BA3D70Au;
        QTest::newRow("ch11 std") << 10 << 0 << 0x3DC80000u;
        QTest::newRow("ch12 std") << 11 << 0 << 0x3DCCCCCDu;
    }
    void factorBits() {
        QFETCH(int, channel);
        QFETCH(int, driveTypeE);
        QFETCH(uint, bits);
        TTraceRecord record;
        ResetRecord(record);
        ApplyTypeScales(record, driveTypeE);
        QCOMPARE(std::bit_cast<std::uint32_t>(record.Scale[channel]), bits);
    }

    void applyTypeScalesTouchesOnlyChannels10To12() {
        TTraceRecord record;
        ResetRecord(record);
        record.Scale[0] = 7.0f;
        record.Value[3][3] = 12.0f;
        ApplyTypeScales(record, 1);
        QCOMPARE(record.Scale[0], 7.0f);
        QCOMPARE(record.Value[3][3], 12.0f);
    }

    // The trace's own units decide.
    void normalizedValue() {
        TraceUnits trace;
        ResetRecord(trace.Record);
        trace.Record.Value[0][0] = 5000.0f;
        QVERIFY(qAbs(NormalizedValue(trace, 0, 0) - 100.0f) < 1e-3f);

        ResetRecord(trace.Record, 1);
        trace.Record.Value[5][11] = 32767.0f;
        const float degrees = NormalizedValue(trace, 5, 11);
        QVERIFY(degrees > 179.98f && degrees < 180.0f);

        trace.Normalized = true; // values already in engineering units are shown as stored
        trace.Record.Value[7][4] = 12.5f;
        QCOMPARE(NormalizedValue(trace, 7, 4), 12.5f);
    }

    void channelNames_data() {
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("driveTypeE");
        QTest::addColumn<QString>("name");
        QTest::newRow("ch1 ja") << 1 << int('1') << 0 << QStringLiteral("Ｕ相電流(%)");
        QTest::newRow("ch1 en") << 1 << int('2') << 1 << QStringLiteral("Curr.-U(%)");
        QTest::newRow("ch9 en E") << 9 << int('2') << 1 << QStringLiteral("Output-Freq.(%)");
        QTest::newRow("ch10 ja") << 10 << int('1') << 0 << QStringLiteral("滑り周波数(%)");
        QTest::newRow("ch12 ja E") << 12 << int('1') << 1 << QStringLiteral("制御位相(degree)");
        QTest::newRow("ch12 en E")
            << 12 << int('2') << 1 << QStringLiteral("Control phase(degree)");
        QTest::newRow("ch12 en") << 12 << int('2') << 0 << QStringLiteral("Motor-Temp(degree)");
    }
    void channelNames() {
        QFETCH(int, channel);
        QFETCH(int, language);
        QFETCH(int, driveTypeE);
        QFETCH(QString, name);
        QCOMPARE(QString::fromStdString(DefaultChannelName(channel, language, driveTypeE)), name);
    }

    void triggerStamp_data() {
        QTest::addColumn<QList<int>>("stamp");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("time");
        QTest::newRow("padded") << QList<int>{9, 8, 5, 7, 3} << "2009/08/05"
                                << "07:03";
        QTest::newRow("hour 24") << QList<int>{26, 12, 31, 24, 59} << "2026/12/31"
                                 << "24:59";
        QTest::newRow("year 100") << QList<int>{100, 1, 1, 0, 0} << "0000/00/00"
                                  << "00:00";
        QTest::newRow("month 0") << QList<int>{9, 0, 1, 0, 0} << "0000/00/00"
                                 << "00:00";
        QTest::newRow("month 13") << QList<int>{9, 13, 1, 0, 0} << "0000/00/00"
                                  << "00:00";
        QTest::newRow("day 32") << QList<int>{9, 1, 32, 0, 0} << "0000/00/00"
                                << "00:00";
        QTest::newRow("hour 25") << QList<int>{9, 1, 1, 25, 0} << "0000/00/00"
                                 << "00:00";
        QTest::newRow("minute 60") << QList<int>{9, 1, 1, 0, 60} << "0000/00/00"
                                   << "00:00";
        QTest::newRow("negative") << QList<int>{-1, 1, 1, 0, 0} << "0000/00/00"
                                  << "00:00";
    }
    void triggerStamp() {
        QFETCH(QList<int>, stamp);
        QFETCH(QString, date);
        QFETCH(QString, time);
        std::int32_t header[11] = {30};
        for (int k = 0; k < 5; ++k)
            header[6 + k] = stamp[k];
        const auto host = FormatTriggerStamp(header, StampClock::HostCpu);
        QCOMPARE(host.Point, std::string("70"));
        QCOMPARE(QString::fromStdString(host.Date), date);
        QCOMPARE(QString::fromStdString(host.Time), time);
        // The other clock is untouched (all zero) and therefore out of range.
        QCOMPARE(FormatTriggerStamp(header, StampClock::Setnvop).Date, std::string("0000/00/00"));
    }
};

QTEST_APPLESS_MAIN(tst_TraceRecord)
#include "tst_TraceRecord.moc"
