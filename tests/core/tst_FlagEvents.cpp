// Flag events from constructed flag patterns, the bit meanings they carry and the first fault.

#include "FlagEvents.h"

#include <QTest>

namespace {

TTraceRecord Record() {
    TTraceRecord record;
    ResetRecord(record);
    return record;
}

// Sets bit of word from sample first to sample last (inclusive).
void Hold(TTraceRecord &record, int word, int bit, int first, int last) {
    for (int s = first; s <= last; ++s)
        record.Flag[s][word] |= 1 << bit;
}

FlagEvent Event(int sample, int word, int bit, FlagEventKind kind, const char *meaning) {
    return {sample, word, bit, kind, meaning};
}

} // namespace

Q_DECLARE_METATYPE(TTraceRecord)
Q_DECLARE_METATYPE(std::vector<FlagEvent>)

class tst_FlagEvents : public QObject {
    Q_OBJECT
private slots:
    void events_data() {
        QTest::addColumn<TTraceRecord>("record");
        QTest::addColumn<int>("driveTypeE");
        QTest::addColumn<bool>("japanese");
        QTest::addColumn<std::vector<FlagEvent>>("expected");

        TTraceRecord quiet = Record();
        QTest::newRow("no bit ever set") << quiet << 0 << false << std::vector<FlagEvent>{};

        // Set at 0 and held to the end: one event, no fall at the end of the trace.
        TTraceRecord atZero = Record();
        Hold(atZero, 0, 0, 0, 99);
        QTest::newRow("set at sample 0")
            << atZero << 0 << false
            << std::vector<FlagEvent>{Event(0, 0, 0, FlagEventKind::Set, "BIT0 :Over Current")};

        // Set at 0, falls at 3, rises again at 99.
        TTraceRecord setFallRise = Record();
        Hold(setFallRise, 1, 15, 0, 2);
        Hold(setFallRise, 1, 15, 99, 99);
        QTest::newRow("set, fall, rise on the last sample")
            << setFallRise << 0 << false
            << std::vector<FlagEvent>{Event(0, 1, 15, FlagEventKind::Set, "BIT15:Ext Falure 4"),
                                      Event(3, 1, 15, FlagEventKind::Fall, "BIT15:Ext Falure 4"),
                                      Event(99, 1, 15, FlagEventKind::Rise, "BIT15:Ext Falure 4")};

        // Bits changing on the same sample in two words come by word, then by bit; a one-sample
        // pulse gives a rise and a fall.
        TTraceRecord together = Record();
        Hold(together, 2, 9, 40, 40);
        Hold(together, 0, 13, 40, 59);
        Hold(together, 0, 5, 40, 59);
        QTest::newRow("simultaneous bits in two words")
            << together << 0 << false
            << std::vector<FlagEvent>{Event(40, 0, 5, FlagEventKind::Rise, "BIT5 :Over Voltage"),
                                      Event(40, 0, 13, FlagEventKind::Rise, "BIT13:Over Heat"),
                                      Event(40, 2, 9, FlagEventKind::Rise, "BIT9 :DC-Break"),
                                      Event(41, 2, 9, FlagEventKind::Fall, "BIT9 :DC-Break"),
                                      Event(60, 0, 5, FlagEventKind::Fall, "BIT5 :Over Voltage"),
                                      Event(60, 0, 13, FlagEventKind::Fall, "BIT13:Over Heat")};

        // Word 2 has no lines for bits 12-14, word 3 none for bit 3; a line's trailing space
        // is not part of the meaning.
        TTraceRecord gaps = Record();
        Hold(gaps, 2, 12, 10, 99);
        Hold(gaps, 3, 3, 10, 99);
        Hold(gaps, 2, 10, 20, 99);
        QTest::newRow("bits without a text line, trailing space")
            << gaps << 0 << false
            << std::vector<FlagEvent>{
                   Event(10, 2, 12, FlagEventKind::Rise, ""),
                   Event(10, 3, 3, FlagEventKind::Rise, ""),
                   Event(20, 2, 10, FlagEventKind::Rise, "BIT10:Flux-up on starting")};
        QTest::newRow("trailing space, Japanese")
            << gaps << 0 << true
            << std::vector<FlagEvent>{
                   Event(10, 2, 12, FlagEventKind::Rise, ""),
                   Event(10, 3, 3, FlagEventKind::Rise, ""),
                   Event(20, 2, 10, FlagEventKind::Rise, "BIT10:始動時磁束ｕｐ中")};

        // Bit 10 of the second fault word is the one line that depends on the drive type.
        TTraceRecord line29 = Record();
        Hold(line29, 1, 10, 5, 99);
        QTest::newRow("word 1 bit 10, standard")
            << line29 << 0 << false
            << std::vector<FlagEvent>{Event(5, 1, 10, FlagEventKind::Rise, "BIT10:Not used")};
        QTest::newRow("word 1 bit 10, type E")
            << line29 << 1 << false
            << std::vector<FlagEvent>{Event(5, 1, 10, FlagEventKind::Rise, "BIT10:PG Error")};
        QTest::newRow("word 1 bit 10, type E, Japanese")
            << line29 << 1 << true
            << std::vector<FlagEvent>{Event(5, 1, 10, FlagEventKind::Rise, "BIT10:PG Error")};

        // Bits above the 16 of a word are not flags.
        TTraceRecord wide = Record();
        for (int s = 30; s < SampleCount; ++s)
            wide.Flag[s][3] = 0x10000 | 0x80;
        QTest::newRow("only the low 16 bits count")
            << wide << 0 << false
            << std::vector<FlagEvent>{
                   Event(30, 3, 7, FlagEventKind::Rise, "BIT7 :Pre.-Flux command")};
    }
    void events() {
        QFETCH(TTraceRecord, record);
        QFETCH(int, driveTypeE);
        QFETCH(bool, japanese);
        QFETCH(std::vector<FlagEvent>, expected);
        const std::vector<FlagEvent> events = FlagEvents(record, japanese, driveTypeE);
        QCOMPARE(events.size(), expected.size());
        for (std::size_t i = 0; i < events.size(); ++i) {
            QCOMPARE(events[i].Sample, expected[i].Sample);
            QCOMPARE(events[i].Word, expected[i].Word);
            QCOMPARE(events[i].Bit, expected[i].Bit);
            QCOMPARE(events[i].Kind, expected[i].Kind);
            QCOMPARE(QString::fromStdString(events[i].Meaning),
                     QString::fromUtf8(expected[i].Meaning.c_str()));
        }
    }

    void firstFault_data() {
        QTest::addColumn<TTraceRecord>("record");
        QTest::addColumn<int>("sample"); // -1: no first fault
        QTest::addColumn<int>("word");
        QTest::addColumn<int>("bit");

        TTraceRecord none = Record();
        Hold(none, 2, 0, 0, 99); // status and command words are no faults
        Hold(none, 3, 1, 10, 20);
        QTest::newRow("only status and command bits") << none << -1 << 0 << 0;

        // A fault already set at sample 0 comes first, however early later ones rise.
        TTraceRecord atZero = Record();
        Hold(atZero, 1, 4, 0, 99);
        Hold(atZero, 0, 0, 1, 99);
        QTest::newRow("set at sample 0") << atZero << 0 << 1 << 4;

        // Status bits changing first do not count; a fault set at 0 stays the first fault after
        // it falls.
        TTraceRecord afterFall = Record();
        Hold(afterFall, 2, 1, 10, 99);
        Hold(afterFall, 1, 6, 0, 0);
        QTest::newRow("set at 0 then fallen: that set is the first fault")
            << afterFall << 0 << 1 << 6;

        TTraceRecord rises = Record();
        Hold(rises, 2, 1, 10, 99);
        Hold(rises, 1, 2, 50, 99);
        Hold(rises, 0, 9, 50, 99);
        Hold(rises, 0, 3, 51, 99);
        QTest::newRow("two on one sample: the lower word wins") << rises << 50 << 0 << 9;
    }
    void firstFault() {
        QFETCH(TTraceRecord, record);
        QFETCH(int, sample);
        QFETCH(int, word);
        QFETCH(int, bit);
        const std::vector<FlagEvent> events = FlagEvents(record, false, 0);
        const std::optional<std::size_t> first = FirstFault(events);
        QCOMPARE(first.has_value(), sample >= 0);
        if (!first)
            return;
        QCOMPARE(events[*first].Sample, sample);
        QCOMPARE(events[*first].Word, word);
        QCOMPARE(events[*first].Bit, bit);
        QVERIFY(events[*first].Kind != FlagEventKind::Fall);
    }

    void fallIsNoFault() {
        // Only a fall on a fault word before a rise: the rise is the first fault.
        TTraceRecord record = Record();
        Hold(record, 0, 2, 0, 4);
        const std::vector<FlagEvent> fallOnly = FlagEvents(record, false, 0);
        QCOMPARE(FirstFault(fallOnly), std::optional<std::size_t>(0)); // the set at 0
        std::vector<FlagEvent> withoutSet(fallOnly.begin() + 1, fallOnly.end());
        QCOMPARE(withoutSet.size(), std::size_t(1));
        QCOMPARE(FirstFault(withoutSet), std::nullopt);
    }
};

QTEST_APPLESS_MAIN(tst_FlagEvents)
#include "tst_FlagEvents.moc"
