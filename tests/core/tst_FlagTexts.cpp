// Flag explanation texts and the bit graph rules (trace levels, titles, label positions).

#include "BitGraph.h"
#include "FlagTexts.h"

#include <QTest>

namespace {
QStringList Lines(bool japanese, int driveTypeE) {
    QStringList lines;
    for (const auto &line : FlagExplanationLines(japanese, driveTypeE))
        lines << QString::fromStdString(line);
    return lines;
}
} // namespace

class tst_FlagTexts : public QObject {
    Q_OBJECT
private slots:
    void explanation_data() {
        QTest::addColumn<bool>("japanese");
        QTest::addColumn<int>("driveTypeE");
        QTest::addColumn<int>("lineCount");
        QTest::addColumn<QString>("line29");
        QTest::newRow("ja standard") << true << 0 << 58 << "BIT10:予備";
        QTest::newRow("ja type E") << true << 1 << 58 << "BIT10:PG Error";
        QTest::newRow("ja other type value") << true << 2 << 58 << "BIT10:予備";
        QTest::newRow("en standard") << false << 0 << 57 << "BIT10:Not used";
        QTest::newRow("en type E") << false << 1 << 57 << "BIT10:PG Error";
        QTest::newRow("en negative type value") << false << -1 << 57 << "BIT10:Not used";
    }
    void explanation() {
        QFETCH(bool, japanese);
        QFETCH(int, driveTypeE);
        QFETCH(int, lineCount);
        QFETCH(QString, line29);
        const QStringList lines = Lines(japanese, driveTypeE);
        QCOMPARE(lines.size(), lineCount);
        QCOMPARE(lines[29], line29);

        // Only line 29 depends on the drive type; everything else keeps its place.
        const QStringList standard = Lines(japanese, 0);
        for (int i = 0; i < lineCount; ++i)
            if (i != 29)
                QCOMPARE(lines[i], standard[i]);

        // The four blocks, separated by empty lines.
        const QStringList headings =
            japanese
                ? QStringList{"故障フラグ(1)", "故障フラグ(2)", "INV状態フラグ", "INV指令フラグ"}
                : QStringList{"Fault Flag(1)", "Fault Flag(2)", "INV. status Flag",
                              "INV. command Flag"};
        const int headingLines[] = {0, 18, 36, 51};
        for (int block = 0; block < 4; ++block)
            QCOMPARE(lines[headingLines[block]], headings[block]);
        for (int empty : {17, 35, 50})
            QVERIFY(lines[empty].isEmpty());
        for (int i = 0; i < lineCount; ++i) {
            if (lines[i].isEmpty())
                QVERIFY2(i == 17 || i == 35 || i == 50 || i == 57, qPrintable(QString::number(i)));
        }
        // Every bit line starts with its bit number in a five-character field.
        for (int i = 1; i < lineCount; ++i) {
            if (lines[i].startsWith("BIT"))
                QCOMPARE(lines[i].at(5), QChar(':'));
        }
    }

    void exactLines_data() {
        QTest::addColumn<bool>("japanese");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("text");
        QTest::newRow("ja 8 half-width kana") << true << 8 << "BIT7 :DCﾌｭｰｽﾞ断";
        QTest::newRow("ja 13 spelling") << true << 13 << "BIT12:Over Torqe";
        QTest::newRow("en 13") << false << 13 << "BIT12:Over Torque";
        QTest::newRow("ja 31 full-width digit") << true << 31 << "BIT12:外部故障１";
        QTest::newRow("en 9 spelling") << false << 9 << "BIT8 :Start Falure";
        QTest::newRow("ja 47 trailing space") << true << 47 << "BIT10:始動時磁束ｕｐ中 ";
        QTest::newRow("en 47 trailing space") << false << 47 << "BIT10:Flux-up on starting ";
        QTest::newRow("ja 48 long line")
            << true << 48 << "BIT11:ﾌﾟﾛｸﾞﾗﾑ運転終了停止中(One-time mode)";
        QTest::newRow("en 48 long line")
            << false << 48 << "BIT11:Program-Drive Finished or Stopped(One-time mode)";
        QTest::newRow("ja 49 jumps to bit 15") << true << 49 << "BIT15:FCL保護中";
        QTest::newRow("ja 56 last text") << true << 56 << "BIT7 :励磁指令(ｼｰｹﾝｽに渡す指令)";
        QTest::newRow("en 56 last text") << false << 56 << "BIT7 :Pre.-Flux command";
        QTest::newRow("ja 57 extra empty line") << true << 57 << "";
    }
    void exactLines() {
        QFETCH(bool, japanese);
        QFETCH(int, line);
        QFETCH(QString, text);
        QCOMPARE(Lines(japanese, 0).at(line), text);
    }

    void bitLevels_data() {
        QTest::addColumn<int>("word");
        QTest::addColumn<QList<int>>("levels"); // bit 0 .. 15
        QList<int> clear;
        for (int b = 0; b < 16; ++b)
            clear << 4 * b;
        QTest::newRow("all clear") << 0 << clear;
        QList<int> ends = clear;
        ends[0] = 2;
        ends[15] = 62;
        QTest::newRow("bits 0 and 15 only") << 0x8001 << ends;
        QList<int> all;
        for (int b = 0; b < 16; ++b)
            all << 4 * b + 2;
        QTest::newRow("all set") << 0xFFFF << all;
        QTest::newRow("bits above 15 ignored") << 0x10000 << clear;
        QTest::newRow("negative word") << -1 << all;
    }
    void bitLevels() {
        QFETCH(int, word);
        QFETCH(QList<int>, levels);
        TTraceRecord record;
        ResetRecord(record);
        for (int n = 0; n < SampleCount; ++n)
            record.Flag[n][2] = word;
        for (int b = 0; b < 16; ++b) {
            QCOMPARE(BitLevel(word, b), levels[b]);
            const auto trace = BitTrace(record, 2, b);
            for (int level : trace)
                QCOMPARE(level, levels[b]);
        }
    }

    void bitEdge() {
        TTraceRecord record;
        ResetRecord(record);
        for (int n = 50; n < SampleCount; ++n)
            record.Flag[n][1] = 1 << 7;
        const auto trace = BitTrace(record, 1, 7);
        QCOMPARE(trace[49], 28);
        QCOMPARE(trace[50], 30);
        QCOMPARE(trace[0], 28);
        QCOMPARE(trace[99], 30);
        // Other words and bits are not disturbed.
        QCOMPARE(BitTrace(record, 0, 7)[99], 28);
        QCOMPARE(BitTrace(record, 1, 6)[99], 24);
    }

    void titles_data() {
        QTest::addColumn<int>("word");
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("title");
        QTest::newRow("ja 1") << 0 << int('1') << "  故障フラグ（1）";
        QTest::newRow("ja 2") << 1 << int('1') << "  故障フラグ（2）";
        QTest::newRow("ja 3") << 2 << int('1') << "  INV状態フラグ";
        QTest::newRow("ja 4") << 3 << int('1') << "  INV指令フラグ";
        QTest::newRow("en 1") << 0 << int('2') << "  Fault Flag(1)";
        QTest::newRow("en 2") << 1 << int('2') << "  Fault Flag(2)";
        QTest::newRow("en 3") << 2 << int('2') << "  INV. status Flag";
        QTest::newRow("en 4 trailing space") << 3 << int('2') << "  INV. command Flag ";
        QTest::newRow("other language value is Japanese") << 1 << int('7') << "  故障フラグ（2）";
    }
    void titles() {
        QFETCH(int, word);
        QFETCH(int, language);
        QFETCH(QString, title);
        QCOMPARE(QString::fromUtf8(BitGraphTitle(word, language)), title);
    }

    void labelTops_data() {
        QTest::addColumn<int>("panelHeight");
        QTest::addColumn<int>("bit15");
        QTest::addColumn<int>("bit0");
        QTest::newRow("design height") << 395 << 39 << 354;
        QTest::newRow("75") << 75 << 19 << 34;
        QTest::newRow("60") << 60 << 19 << 34;
        QTest::newRow("45") << 45 << 19 << 34;
        QTest::newRow("44 collapses") << 44 << 18 << 18;
        QTest::newRow("76 steps up") << 76 << 20 << 50;
    }
    void labelTops() {
        QFETCH(int, panelHeight);
        QFETCH(int, bit15);
        QFETCH(int, bit0);
        QCOMPARE(BitLabelTop(panelHeight, 15), bit15);
        QCOMPARE(BitLabelTop(panelHeight, 0), bit0);
    }

    // The plot beside the labels: every label's centre within its own bit's lane, at the tops
    // BitLabelTop gives wherever the room allows, else the labels follow the lanes.
    void plotBesideLabels_data() {
        QTest::addColumn<int>("panelHeight");
        QTest::addColumn<double>("roomTop");
        QTest::addColumn<double>("roomBottom");
        QTest::addColumn<bool>("atLabelTops");
        QTest::newRow("design height") << 395 << 25.0 << 373.0 << true;
        QTest::newRow("room to spare") << 395 << 10.0 << 700.0 << true;
        QTest::newRow("labels near the sample numbers") << 524 << 27.0 << 502.0 << false;
        QTest::newRow("tall") << 727 << 31.0 << 705.0 << false;
        QTest::newRow("one pixel a step") << 75 << 20.0 << 53.0 << true;
        QTest::newRow("tiny chart") << 50 << 18.0 << 28.0 << false;
    }
    void plotBesideLabels() {
        QFETCH(int, panelHeight);
        QFETCH(double, roomTop);
        QFETCH(double, roomBottom);
        QFETCH(bool, atLabelTops);
        const int labelHeight = 14;
        const BitPlotPlace plot = PlaceBitPlot(panelHeight, labelHeight, roomTop, roomBottom);
        QCOMPARE(plot.LabelsFollowLanes, !atLabelTops);
        // Only the band above the top trace may reach into the title.
        QVERIFY(plot.Top + plot.Height <= roomBottom + 1e-9);
        QVERIFY(plot.Top + plot.Height * 2 / 66 >= roomTop - 2);
        for (int b = 0; b < FlagBitCount; ++b) {
            const int top = plot.LabelTop[std::size_t(b)];
            if (atLabelTops)
                QCOMPARE(top, BitLabelTop(panelHeight, b));
            const double centre = top + labelHeight / 2.0;
            // A label's top is a whole pixel.
            QVERIFY2(qAbs(centre - BitLaneCentre(plot, b)) < BitLaneHeight(plot) / 2 + 0.5,
                     qPrintable(QString::number(b)));
        }
        // Lanes are stacked: bit b's lane lies one lane height above bit b - 1's.
        QVERIFY(qAbs(BitLaneCentre(plot, 3) - BitLaneCentre(plot, 4) - BitLaneHeight(plot)) < 1e-9);
    }
};

QTEST_APPLESS_MAIN(tst_FlagTexts)
#include "tst_FlagTexts.moc"
