// The read sequence against an in-memory drive: every fault kind at the first, a middle and the
// last exchange, identification and status rules, time-outs on a fake clock.

#include "DriveModel.h"
#include "ReadSequence.h"

#include <QTest>

namespace {

struct Outcome {
    QStringList lines;
    bool succeeded = false;
    bool failed = false;
    QList<QByteArray> requests;
    std::int64_t endTime = 0;
};

QByteArray Bytes(const TRequest &r) {
    return QByteArray(reinterpret_cast<const char *>(r.data()), static_cast<int>(r.size()));
}

// Runs a whole read: every request goes to the drive at once, silence advances the fake clock
// one second at a time until the machine gives up.
Outcome RunRead(TReadTrace &read, TDriveModel &drive, std::int64_t start = 1000) {
    Outcome out;
    std::int64_t now = start;
    TReadActions pending = read.Start(now);
    for (int guard = 0; guard < 1000; ++guard) {
        TReadActions next;
        for (const auto &action : pending) {
            switch (action.kind) {
            case TReadAction::Send: {
                out.requests << Bytes(action.request);
                const auto answer = drive.Answer(action.request.data(), action.request.size());
                for (const auto &piece : answer.pieces) {
                    auto more = read.Received(reinterpret_cast<const std::uint8_t *>(piece.data()),
                                              piece.size(), now);
                    next.insert(next.end(), more.begin(), more.end());
                }
                break;
            }
            case TReadAction::Message:
                out.lines << QString::fromStdString(action.line);
                break;
            case TReadAction::Done:
                out.succeeded = true;
                break;
            case TReadAction::Failed:
                out.failed = true;
                break;
            }
        }
        if (!read.Running() && next.empty())
            break;
        if (next.empty()) {
            ++now;
            next = read.Tick(now);
        }
        pending = std::move(next);
    }
    out.endTime = now;
    return out;
}

TDriveFault Fault(int exchange, DriveFault kind, const char *code = "00") {
    TDriveFault f;
    f.exchange = exchange;
    f.kind = kind;
    f.code = code;
    return f;
}

} // namespace

class tst_ReadSequence : public QObject {
    Q_OBJECT
private slots:
    void fullRead_data() {
        QTest::addColumn<bool>("old");
        QTest::newRow("new") << false;
        QTest::newRow("old") << true;
    }
    void fullRead() {
        QFETCH(bool, old);
        TDriveModel drive;
        TReadTrace read(old ? OldTraceAddress : NewTraceAddress);
        QCOMPARE(read.ExchangeTotal(), 17);
        const Outcome out = RunRead(read, drive);
        QVERIFY(out.succeeded);
        QVERIFY(!out.failed);
        QVERIFY(out.lines.isEmpty());
        QCOMPARE(read.ExchangesDone(), 17);
        QCOMPARE(out.requests.size(), 17);
        QCOMPARE(out.requests[0], Bytes(BuildRequest('r', RomIdAddress, 1)));
        QCOMPARE(out.requests[1], Bytes(BuildRequest('r', TraceStatusAddress, 1)));
        const std::uint32_t area = old ? OldTraceAddress : NewTraceAddress;
        for (int b = 0; b < 13; ++b)
            QCOMPARE(out.requests[2 + b],
                     Bytes(BuildRequest('r', area + 232u * static_cast<unsigned>(b), 232)));
        QCOMPARE(out.requests[15], Bytes(BuildRequest('r', area + 3016, 184)));
        QCOMPARE(out.requests[16],
                 Bytes(BuildRequest('r', old ? OldHeaderAddress : NewHeaderAddress, 11)));

        static float value[SampleCount][ChannelCount];
        static std::int32_t flag[SampleCount][FlagWordCount];
        DecodeTraceImage(old ? drive.oldImage : drive.newImage, value, flag);
        const TTraceReading &r = read.Reading();
        QVERIFY(std::memcmp(r.Value, value, sizeof value) == 0);
        QVERIFY(std::memcmp(r.Flag, flag, sizeof flag) == 0);
        const auto &header = old ? drive.oldHeader : drive.newHeader;
        for (int i = 0; i < HeaderCount; ++i)
            QCOMPARE(r.Header[i], int(header[static_cast<std::size_t>(i)]));
        QCOMPARE(r.DriveTypeE, 1);
    }

    void failingFaults_data() {
        QTest::addColumn<int>("exchange");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("seconds"); // how long the read waited on the fake clock
        struct Kind {
            const char *name;
            DriveFault kind;
            const char *code;
            const char *line;
            int seconds;
        };
        const Kind kinds[] = {
            {"timeout", DriveFault::TimeOut, "00", "ERROR :  TimeOut Error", 11},
            {"nolf", DriveFault::NoLf, "00", "ERROR :  TimeOut Error", 11},
            {"flood", DriveFault::Flood, "00", "ERROR :  TimeOut Error", 0},
            {"badsum", DriveFault::BadSum, "00", "ERROR :  SumCheck Error", 0},
            {"lowersum", DriveFault::LowerSum, "00", "ERROR :  SumCheck Error", 0},
            {"garbage", DriveFault::Garbage, "00", "ERROR :  Other Error", 0},
            {"nak 68", DriveFault::Nak, "68", "ERROR :  Command Error", 0},
            {"nak 69", DriveFault::Nak, "69", "ERROR :  OverRun Error", 0},
            {"nak 79", DriveFault::Nak, "79", "ERROR :  Prity Error", 0},
            {"nak 80", DriveFault::Nak, "80", "ERROR :  SumCheck Error", 0},
            {"nak 83", DriveFault::Nak, "83", "ERROR :  SumCheck Error", 0},
            {"nak 88", DriveFault::Nak, "88", "ERROR :  BLK or WAT Error", 0},
            {"nak 90", DriveFault::Nak, "90", "ERROR :  ENQ Error", 0},
            {"nak unknown", DriveFault::Nak, "42", "ERROR :  Other Error", 0},
            {"nak not decimal", DriveFault::Nak, "x1", "ERROR :  Other Error", 0},
            // Codes of three digits cannot be read as two: the drive's refusal is still one.
            {"nak 100", DriveFault::Nak, "100", "ERROR :  Other Error", 0},
            {"nak 122", DriveFault::Nak, "122", "ERROR :  Other Error", 0},
            {"nak one character", DriveFault::Nak, "D", "ERROR :  Other Error", 0},
        };
        for (const auto &k : kinds)
            for (int exchange : {1, 9, 17})
                QTest::addRow("%s at %d", k.name, exchange)
                    << exchange << int(k.kind) << QByteArray(k.code) << QString(k.line)
                    << k.seconds;
    }
    void failingFaults() {
        QFETCH(int, exchange);
        QFETCH(int, kind);
        QFETCH(QByteArray, code);
        QFETCH(QString, line);
        QFETCH(int, seconds);
        TDriveModel drive;
        drive.AddFault(Fault(exchange, static_cast<DriveFault>(kind), code.constData()));
        TReadTrace read;
        const Outcome out = RunRead(read, drive);
        QCOMPARE(out.lines, QStringList{line});
        QVERIFY(out.failed);
        QVERIFY(!out.succeeded);
        QVERIFY(!read.Succeeded());
        QVERIFY(!read.Running());
        QCOMPARE(read.ExchangesDone(), exchange - 1);
        QCOMPARE(out.requests.size(), exchange);
        QCOMPARE(out.endTime - 1000, std::int64_t(seconds));

        // Whatever failed, the trace a caller holds stays as it was, units included.
        TraceUnits held;
        ResetRecord(held.Record);
        held.Record.Header[3] = 7;
        held.Normalized = true;
        const TTraceRecord before = held.Record;
        if (read.Succeeded()) {
            held.DriveTypeE = ApplyReading(read.Reading(), held.Record);
            held.Normalized = false;
        }
        QVERIFY(held.Record == before);
        QCOMPARE(held.DriveTypeE, 0);
        QCOMPARE(held.Normalized, true);
    }

    void harmlessFaults_data() {
        QTest::addColumn<int>("exchange");
        QTest::addColumn<int>("kind");
        for (int exchange : {1, 9, 17}) {
            QTest::addRow("split at %d", exchange) << exchange << int(DriveFault::Split);
            QTest::addRow("short at %d", exchange) << exchange << int(DriveFault::Short);
        }
    }
    void harmlessFaults() {
        QFETCH(int, exchange);
        QFETCH(int, kind);
        TDriveModel drive;
        drive.AddFault(Fault(exchange, static_cast<DriveFault>(kind)));
        TReadTrace read;
        const Outcome out = RunRead(read, drive);
        QVERIFY(out.succeeded);
        const bool isShort = kind == int(DriveFault::Short);
        // A one-byte reply cut short carries no byte: the identification reads as zero.
        QCOMPARE(out.lines,
                 isShort && exchange == 1 ? QStringList{"Frash Rom Warnning!!"} : QStringList{});
        const TTraceReading &r = read.Reading();
        if (isShort && exchange == 9) {
            // Exchange 9 asks for bytes 1392..1623: the second half reads as zero.
            static float value[SampleCount][ChannelCount];
            static std::int32_t flag[SampleCount][FlagWordCount];
            TTraceImage expected = drive.newImage;
            std::fill(expected.begin() + 1392 + 116, expected.begin() + 1624, std::uint8_t(0));
            DecodeTraceImage(expected, value, flag);
            QVERIFY(std::memcmp(r.Value, value, sizeof value) == 0);
            QVERIFY(std::memcmp(r.Flag, flag, sizeof flag) == 0);
        }
        if (isShort && exchange == 17) {
            QCOMPARE(r.Header[4], int(drive.newHeader[4]));
            QCOMPARE(r.Header[5], 0);
            QCOMPARE(r.Header[10], 0);
        }
    }

    void identification_data() {
        QTest::addColumn<int>("romId");
        QTest::addColumn<int>("typeE");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("E") << int('E') << 1 << QStringList{};
        QTest::newRow("V") << int('V') << 0 << QStringList{};
        QTest::newRow("X") << int('X') << 0 << QStringList{"Frash Rom Warnning!!"};
        QTest::newRow("e lowercase") << int('e') << 0 << QStringList{"Frash Rom Warnning!!"};
    }
    void identification() {
        QFETCH(int, romId);
        QFETCH(int, typeE);
        QFETCH(QStringList, lines);
        TDriveModel drive;
        drive.romId = static_cast<std::uint8_t>(romId);
        TReadTrace read;
        const Outcome out = RunRead(read, drive);
        QVERIFY(out.succeeded);
        QCOMPARE(out.lines, lines);
        QCOMPARE(read.Reading().DriveTypeE, typeE);
    }

    void status_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("old");
        QTest::addColumn<QString>("line"); // empty: the read succeeds
        for (int s = 0; s <= 3; ++s) {
            QTest::addRow("new, status %d", s)
                << s << false << (s == 0 ? QString("New Data does not exist!") : QString());
            QTest::addRow("old, status %d", s)
                << s << true << (s == 2 ? QString() : QString("Old Data does not exist!"));
        }
        QTest::newRow("new, status 255") << 255 << false << QString();
    }
    void status() {
        QFETCH(int, status);
        QFETCH(bool, old);
        QFETCH(QString, line);
        TDriveModel drive;
        drive.status = static_cast<std::uint8_t>(status);
        TReadTrace read(old ? OldTraceAddress : NewTraceAddress);
        const Outcome out = RunRead(read, drive);
        QCOMPARE(out.succeeded, line.isEmpty());
        QCOMPARE(out.lines, line.isEmpty() ? QStringList{} : QStringList{line});
        QCOMPARE(out.requests.size(), line.isEmpty() ? 17 : 2);
    }

    void japaneseLines_data() {
        QTest::addColumn<bool>("old");
        QTest::addColumn<QString>("line");
        QTest::newRow("new") << false << QString("New Dataはありません！");
        QTest::newRow("old") << true << QString("Old Dataはありません！");
    }
    void japaneseLines() {
        QFETCH(bool, old);
        QFETCH(QString, line);
        TDriveModel drive;
        drive.status = 0;
        TReadTrace read(old ? OldTraceAddress : NewTraceAddress, LanguageJapanese);
        QCOMPARE(RunRead(read, drive).lines, QStringList{line});
        const auto text = [](ReadText t, std::int32_t language) {
            return QString::fromUtf8(ReadTextFor(t, language).data());
        };
        QCOMPARE(text(ReadText::Communicating, LanguageJapanese), "通信中");
        QCOMPARE(text(ReadText::NormallyEnd, LanguageJapanese), "通信正常終了！");
        QCOMPARE(text(ReadText::NormallyEnd, LanguageEnglish), "Normally End!");
    }

    void unknownAreaIsAnAddressError() {
        TDriveModel drive;
        TReadTrace read(0x00203001);
        const Outcome out = RunRead(read, drive);
        QCOMPARE(out.lines, QStringList{"ERROR :  Addres Error"});
        QCOMPARE(out.requests.size(), 2);
    }

    void timeOutBoundary() {
        TReadTrace read;
        auto actions = read.Start(500);
        QCOMPARE(actions.size(), std::size_t(1));
        QVERIFY(read.Tick(509).empty());
        QVERIFY(read.Tick(510).empty()); // t0 + 10 is not yet past
        // A late complete reply before the time-out is still taken.
        const std::uint8_t id = 'V';
        const std::string reply = BuildDataReply(&id, 1, "r0000051001");
        actions =
            read.Received(reinterpret_cast<const std::uint8_t *>(reply.data()), reply.size(), 510);
        QCOMPARE(actions.size(), std::size_t(1));
        QCOMPARE(actions[0].kind, TReadAction::Send);
        // The second exchange has its own t0.
        QVERIFY(read.Tick(520).empty());
        actions = read.Tick(521);
        QCOMPARE(actions.size(), std::size_t(2));
        QCOMPARE(actions[0].line, std::string("ERROR :  TimeOut Error"));
        QCOMPARE(actions[1].kind, TReadAction::Failed);
        QVERIFY(read.Tick(600).empty());
    }

    void receiveBufferLimit_data() {
        QTest::addColumn<int>("length"); // bytes before the LF
        QTest::addColumn<bool>("lf");
        QTest::addColumn<QString>("line");
        QTest::newRow("LF as byte 1200") << 1199 << true << "ERROR :  Other Error";
        QTest::newRow("LF as byte 1201") << 1200 << true << "ERROR :  TimeOut Error";
        // The buffer is full and no LF can fit any more: no need to wait for the clock.
        QTest::newRow("1200 bytes, no LF") << 1200 << false << "ERROR :  TimeOut Error";
    }
    void receiveBufferLimit() {
        QFETCH(int, length);
        QFETCH(bool, lf);
        QFETCH(QString, line);
        QByteArray bytes(length, 'A');
        if (lf)
            bytes += '\n';
        // Delivered one byte at a time and in one piece: the same outcome.
        for (bool oneByOne : {false, true}) {
            TReadTrace r;
            r.Start(0);
            TReadActions actions;
            if (oneByOne) {
                for (char c : bytes) {
                    auto more = r.Received(reinterpret_cast<const std::uint8_t *>(&c), 1, 0);
                    actions.insert(actions.end(), more.begin(), more.end());
                }
            } else {
                actions = r.Received(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                                     static_cast<std::size_t>(bytes.size()), 0);
            }
            QCOMPARE(actions.size(), std::size_t(2));
            QCOMPARE(QString::fromStdString(actions[0].line), line);
        }
    }

    void bytesAfterTheReplyAreIgnored() {
        TReadTrace read;
        read.Start(0);
        const std::uint8_t id = 'E';
        std::string reply = BuildDataReply(&id, 1, "r0000051001") + "\x15 68\r\n";
        auto actions =
            read.Received(reinterpret_cast<const std::uint8_t *>(reply.data()), reply.size(), 0);
        QCOMPARE(actions.size(), std::size_t(1));
        QCOMPARE(actions[0].kind, TReadAction::Send);
        QCOMPARE(read.ExchangesDone(), 1);
    }

    void portErrorEndsAtOnce() {
        TDriveModel drive;
        TReadTrace read;
        auto actions = read.Start(0);
        for (int i = 0; i < 5; ++i) {
            const auto answer = drive.Answer(actions[0].request.data(), RequestLength);
            actions = read.Received(reinterpret_cast<const std::uint8_t *>(answer.pieces[0].data()),
                                    answer.pieces[0].size(), 0);
        }
        actions = read.PortError();
        QCOMPARE(actions.size(), std::size_t(2));
        QCOMPARE(actions[0].line, std::string("ERROR :  TimeOut Error"));
        QCOMPARE(actions[1].kind, TReadAction::Failed);
        QVERIFY(!read.Running());
        QVERIFY(read.PortError().empty());
        QVERIFY(read.Received(reinterpret_cast<const std::uint8_t *>("x\n"), 2, 0).empty());
    }

    void applyReadingReplacesEverythingTogether_data() {
        QTest::addColumn<int>("typeE");
        QTest::newRow("type E") << 1;
        QTest::newRow("other") << 0;
    }
    void applyReadingReplacesEverythingTogether() {
        QFETCH(int, typeE);
        TDriveModel drive;
        drive.romId = typeE ? 'E' : 'V';
        TReadTrace read;
        QVERIFY(RunRead(read, drive).succeeded);

        TTraceRecord record;
        ResetRecord(record);
        record.SampleNo[5] = 77;
        ApplyTypeScales(record, 1 - typeE);
        QCOMPARE(ApplyReading(read.Reading(), record), typeE);
        QCOMPARE(record.SampleNo[5], 77);
        QCOMPARE(record.Scale[11], ChannelFactor(11, typeE));
        QCOMPARE(record.Header[0], int(drive.newHeader[0]));
        QVERIFY(std::memcmp(record.Value, read.Reading().Value, sizeof record.Value) == 0);
        QVERIFY(std::memcmp(record.Flag, read.Reading().Flag, sizeof record.Flag) == 0);
    }

    void demoTraceLooksLikeATrip() {
        TDriveModel drive;
        static float value[SampleCount][ChannelCount];
        static std::int32_t flag[SampleCount][FlagWordCount];
        DecodeTraceImage(drive.newImage, value, flag);
        float peakEarly = 0, peakLate = 0;
        for (int i = 0; i < 20; ++i)
            peakEarly = std::max(peakEarly, std::abs(value[i][0]));
        for (int i = 60; i < 80; ++i)
            peakLate = std::max(peakLate, std::abs(value[i][0]));
        QVERIFY(peakLate > 1.5f * peakEarly); // rising phase current
        QCOMPARE(flag[79][0] & 1, 0);
        QCOMPARE(flag[80][0] & 1, 1); // over-current bit from the trip on
        QVERIFY(value[10][3] > 5000); // DC link around 600 V
        QCOMPARE(100 - int(drive.newHeader[0]), 80);
        QVERIFY(drive.newHeader[2] >= 1 && drive.newHeader[2] <= 12);
    }
};

QTEST_APPLESS_MAIN(tst_ReadSequence)
#include "tst_ReadSequence.moc"
