// Each plausibility check firing on a trace built to trip it, and staying silent on a sound
// trace, at its threshold, and where its inputs mean nothing.

#include "PlausibilityHints.h"

#include <QTest>

#include <cmath>

namespace {

// A sound raw trace: balanced phase currents, DC voltage steady around 1000, every channel
// moving, trigger at sample 50.
TTraceRecord Sound() {
    TTraceRecord record;
    ResetRecord(record);
    for (int i = 0; i < SampleCount; ++i) {
        const double angle = i * 0.3;
        const float u = std::round(1000 * std::sin(angle));
        const float v = std::round(1000 * std::sin(angle - 2.0943951));
        record.Value[i][0] = u;
        record.Value[i][1] = v;
        record.Value[i][2] = -(u + v);
        record.Value[i][3] = 1000.0f + static_cast<float>(i % 3);
        for (int c = 4; c < ChannelCount; ++c)
            record.Value[i][c] = static_cast<float>(i - 50 + c);
    }
    record.Header[0] = 50;
    return record;
}

// "id:s1,s2,..." per hint, in the order given.
QStringList Found(const std::vector<PlausibilityHint> &hints) {
    QStringList found;
    for (const PlausibilityHint &hint : hints) {
        QStringList samples;
        for (const int s : hint.Samples)
            samples << QString::number(s);
        found << QString::fromStdString(hint.Id) + ":" + samples.join(',');
    }
    return found;
}

} // namespace

Q_DECLARE_METATYPE(TTraceRecord)

class tst_PlausibilityHints : public QObject {
    Q_OBJECT
private slots:
    void hints_data() {
        QTest::addColumn<TTraceRecord>("record");
        QTest::addColumn<bool>("normalized");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("sound trace") << Sound() << false << QStringList{};
        QTest::newRow("sound trace, engineering units") << Sound() << true << QStringList{};

        TTraceRecord threeOff = Sound();
        for (int i = 20; i <= 22; ++i)
            threeOff.Value[i][0] += 300; // 30 % of the peak
        QTest::newRow("phase sum off for 3 samples")
            << threeOff << false << QStringList{"phase-sum:20,21,22"};
        TTraceRecord twoOff = Sound();
        twoOff.Value[20][1] += 300;
        twoOff.Value[21][1] += 300;
        twoOff.Value[70][1] += 300;
        QTest::newRow("phase sum off for 2 samples") << twoOff << false << QStringList{};
        TTraceRecord slightlyOff = Sound();
        for (int i = 0; i < SampleCount; ++i)
            slightlyOff.Value[i][2] += 90; // under 10 % of the peak of 1000
        QTest::newRow("phase sum off by less than 10 %") << slightlyOff << false << QStringList{};

        // No current at all: the sum means nothing, but the three flat channels are stuck.
        TTraceRecord noCurrent = Sound();
        for (int i = 0; i < SampleCount; ++i)
            noCurrent.Value[i][0] = noCurrent.Value[i][1] = noCurrent.Value[i][2] = 0.0f;
        QTest::newRow("no current")
            << noCurrent << false << QStringList{"stuck:", "stuck:", "stuck:"};

        TTraceRecord stuck = Sound();
        for (int i = 0; i < SampleCount; ++i)
            stuck.Value[i][4] = -7.0f;
        QTest::newRow("channel 5 stuck") << stuck << true << QStringList{"stuck:"};
        TTraceRecord nothingMoves;
        ResetRecord(nothingMoves);
        QTest::newRow("nothing moves at all") << nothingMoves << false << QStringList{};

        TTraceRecord clipped = Sound();
        clipped.Value[8][6] = 32767.0f;
        clipped.Value[9][6] = -32768.0f;
        clipped.Value[10][6] = 32766.0f;
        clipped.Value[90][11] = -32768.0f;
        QTest::newRow("raw values at the 16-bit limit")
            << clipped << false << QStringList{"clipped:8,9", "clipped:90"};
        QTest::newRow("engineering units at the same numbers") << clipped << true << QStringList{};

        TTraceRecord rise = Sound();
        rise.Value[47][3] = 1120.0f; // trigger sample 50: window 40..49, base 1000 at 40
        QTest::newRow("DC rise before the trigger")
            << rise << false << QStringList{"dc-rise:40,41,42,43,44,45,46,47,48,49"};
        QTest::newRow("DC rise, engineering units")
            << rise << true << QStringList{"dc-rise:40,41,42,43,44,45,46,47,48,49"};
        TTraceRecord small = Sound();
        small.Value[49][3] = 1090.0f;
        small.Value[55][3] = 2000.0f; // after the trigger
        small.Value[30][3] = 2000.0f; // before the window
        QTest::newRow("DC rise under 10 % or outside the window")
            << small << false << QStringList{};
        TTraceRecord fall = Sound();
        fall.Value[47][3] = 500.0f;
        QTest::newRow("DC falling") << fall << false << QStringList{};
        TTraceRecord early = rise;
        early.Header[0] = 95; // trigger sample 5: no ten samples before it
        QTest::newRow("trigger too early for the window") << early << false << QStringList{};
        TTraceRecord outside = rise;
        outside.Header[0] = -20; // trigger sample 120: outside the trace
        QTest::newRow("trigger outside the trace") << outside << false << QStringList{};
        TTraceRecord atEnd = Sound();
        atEnd.Header[0] = 0; // trigger sample 100: window 90..99
        atEnd.Value[99][3] = 1200.0f;
        QTest::newRow("trigger at the end")
            << atEnd << false << QStringList{"dc-rise:90,91,92,93,94,95,96,97,98,99"};
        TTraceRecord zeroBase = rise;
        zeroBase.Value[40][3] = 0.0f;
        QTest::newRow("DC base of zero") << zeroBase << false << QStringList{};
    }
    void hints() {
        QFETCH(TTraceRecord, record);
        QFETCH(bool, normalized);
        QFETCH(QStringList, expected);
        for (const std::int32_t driveTypeE : {0, 1}) {
            TraceUnits trace{record, driveTypeE, normalized};
            ApplyTypeScales(trace.Record, driveTypeE);
            QCOMPARE(Found(PlausibilityHints(trace, false)), expected);
        }
    }

    void texts() {
        TTraceRecord record = Sound();
        for (int i = 20; i <= 22; ++i)
            record.Value[i][0] += 300;
        for (int i = 0; i < SampleCount; ++i)
            record.Value[i][9] = 5.0f;
        record.Value[3][10] = 32767.0f;
        record.Value[47][3] = 1200.0f;
        const TraceUnits trace{record, 0, false};
        const std::vector<PlausibilityHint> english = PlausibilityHints(trace, false);
        const std::vector<PlausibilityHint> japanese = PlausibilityHints(trace, true);
        QCOMPARE(Found(english), Found(japanese));
        QCOMPARE(Found(english), (QStringList{"phase-sum:20,21,22", "stuck:", "clipped:3",
                                              "dc-rise:40,41,42,43,44,45,46,47,48,49"}));
        // The channel concerned is named, in both languages.
        QVERIFY(QString::fromStdString(english[1].Text).contains("Channel 10 "));
        QVERIFY(QString::fromStdString(japanese[1].Text).contains("チャンネル10"));
        QVERIFY(QString::fromStdString(english[2].Text).contains("Channel 11 "));
        QVERIFY(QString::fromStdString(japanese[2].Text).contains("チャンネル11"));
        for (std::size_t i = 0; i < english.size(); ++i) {
            const QString en = QString::fromStdString(english[i].Text);
            const QString ja = QString::fromStdString(japanese[i].Text);
            QVERIFY(!en.isEmpty() && !en.contains('\n') && !en.contains(QChar(0xFFFD)));
            QVERIFY(!ja.isEmpty() && !ja.contains('\n') && !ja.contains(QChar(0xFFFD)));
            QVERIFY2(ja != en && ja.toUtf8().size() > ja.size(), qPrintable(ja));
        }
    }
};

QTEST_APPLESS_MAIN(tst_PlausibilityHints)
#include "tst_PlausibilityHints.moc"
