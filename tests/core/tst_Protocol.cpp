// Request frames, reply evaluation, result texts and the decoding of the trace image.

#include "DriveModel.h"
#include "Protocol.h"

#include <QTest>
#include <cstring>

namespace {

QByteArray Frame(const TRequest &r) {
    return QByteArray(reinterpret_cast<const char *>(r.data()), static_cast<int>(r.size()));
}

// A data reply with 11 echo characters, the given data digits and the given sum digits.
QByteArray Reply(const QByteArray &digits, const QByteArray &sum) {
    return QByteArray("\x02 r0000051001") + digits + sum + "\r\n";
}

QByteArray Sum(const QByteArray &covered) {
    unsigned s = 0;
    for (char c : covered)
        s += static_cast<std::uint8_t>(c);
    return QByteArray::number(s & 0xFF, 16).toUpper().rightJustified(2, '0');
}

// A valid reply carrying the given data digits.
QByteArray ValidReply(const QByteArray &digits) {
    return Reply(digits, Sum(QByteArray("r0000051001") + digits));
}

} // namespace

class tst_Protocol : public QObject {
    Q_OBJECT
private slots:
    void requestFrames_data() {
        QTest::addColumn<uint>("address");
        QTest::addColumn<int>("count");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("identification") << 0x510u << 1 << QByteArray("r000005100159");
        QTest::newRow("last new block") << 0x00203BC8u << 0xB8 << QByteArray("r00203BC8B89E");
        QTest::newRow("old header") << 0x0020490Bu << 11 << QByteArray("r0020490B0B85");
        QTest::newRow("sum wraps") << 0xFFFFFFFFu << 0xFF << QByteArray("rFFFFFFFFFF2E");
    }
    void requestFrames() {
        QFETCH(uint, address);
        QFETCH(int, count);
        QFETCH(QByteArray, text);
        const QByteArray expected = QByteArray("\x05\x20") + text + "\r\n";
        QCOMPARE(Frame(BuildRequest('r', address, static_cast<std::uint8_t>(count))), expected);
    }

    void resultTexts_data() {
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("text");
        const char *texts[] = {"",
                               "ERROR :  TimeOut Error",
                               "ERROR :  SumCheck Error",
                               "ERROR :  Command Error",
                               "ERROR :  Flaming Error",
                               "ERROR :  OverRun Error",
                               "ERROR :  Prity Error",
                               "ERROR :  SumCheck Error",
                               "ERROR :  SumCheck Error",
                               "ERROR :  Other Error",
                               "ERROR :  BLK or WAT Error",
                               "ERROR :  ENQ Error",
                               "ERROR :  Addres Error"};
        for (int r = 0; r <= 12; ++r)
            QTest::addRow("%d", -r) << -r << QString::fromLatin1(texts[r]);
        QTest::newRow("beyond the list") << -13 << QString();
        QTest::newRow("positive") << 1 << QString();
    }
    void resultTexts() {
        QFETCH(int, result);
        QFETCH(QString, text);
        const auto got = ExchangeResultText(result);
        QCOMPARE(QString::fromUtf8(got.data(), static_cast<qsizetype>(got.size())), text);
        QCOMPARE(ExchangeResultTexts.size(), std::size_t(13));
    }

    void refusals_data() {
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<int>("result");
        QTest::newRow("68") << QByteArray("68") << -3;
        QTest::newRow("69") << QByteArray("69") << -5;
        QTest::newRow("79") << QByteArray("79") << -6;
        QTest::newRow("80") << QByteArray("80") << -7;
        QTest::newRow("83") << QByteArray("83") << -8;
        QTest::newRow("88") << QByteArray("88") << -10;
        QTest::newRow("90") << QByteArray("90") << -11;
        QTest::newRow("not in the table") << QByteArray("12") << -9;
        QTest::newRow("00") << QByteArray("00") << -9;
        QTest::newRow("hex letter") << QByteArray("6A") << -9;
        QTest::newRow("blank") << QByteArray(" 8") << -9;
        QTest::newRow("sign") << QByteArray("-1") << -9;
    }
    void refusals() {
        QFETCH(QByteArray, code);
        QFETCH(int, result);
        const QByteArray reply = QByteArray("\x15 ") + code + "\r\n";
        std::uint8_t data[4] = {};
        QCOMPARE(EvaluateReply(reinterpret_cast<const std::uint8_t *>(reply.constData()),
                               static_cast<std::size_t>(reply.size()), data, 4, nullptr),
                 result);
        const auto built = BuildRefusal(code[0], code[1]);
        QCOMPARE(QByteArray::fromStdString(built), reply);
    }

    void replies_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("result");
        QTest::addColumn<QByteArray>("data"); // the first 4 decoded bytes
        QTest::addColumn<int>("carried");
        QTest::newRow("one byte") << ValidReply("45") << 0 << QByteArray("\x45\0\0\0", 4) << 1;
        QTest::newRow("lowercase data")
            << ValidReply("ab") << 0 << QByteArray("\xAB\0\0\0", 4) << 1;
        {
            const QByteArray digits = "ab";
            QByteArray sum = Sum(QByteArray("r0000051001") + digits).toLower();
            // Only meaningful when the sum has a letter digit; it has for these digits.
            QVERIFY(sum != sum.toUpper());
            QTest::newRow("lowercase sum") << Reply(digits, sum) << -2 << QByteArray(4, 0) << 0;
        }
        QTest::newRow("wrong sum") << Reply("45", "00") << -2 << QByteArray(4, 0) << 0;
        QTest::newRow("no data bytes") << ValidReply("") << 0 << QByteArray(4, 0) << 0;
        QTest::newRow("three bytes")
            << ValidReply("0102FF") << 0 << QByteArray("\x01\x02\xFF\0", 4) << 3;
        QTest::newRow("odd digit ignored")
            << ValidReply("01020") << 0 << QByteArray("\x01\x02\0\0", 4) << 2;
        QTest::newRow("trailing non-hex keeps leading digit")
            << ValidReply("4G") << 0 << QByteArray("\x04\0\0\0", 4) << 1;
        QTest::newRow("leading non-hex reads as zero")
            << ValidReply("G4") << 0 << QByteArray(4, 0) << 1;
        QTest::newRow("garbage first byte")
            << QByteArray("#GARBAGE\r\n") << -9 << QByteArray(4, 0) << 0;
        QTest::newRow("short refusal") << QByteArray("\x15\n") << -9 << QByteArray(4, 0) << 0;
        QTest::newRow("STX LF") << QByteArray("\x02\n") << -2 << QByteArray(4, 0) << 0;
        QTest::newRow("STX three") << QByteArray("\x02 \n") << -2 << QByteArray(4, 0) << 0;
        QTest::newRow("tiny, sum matches") << QByteArray("\x02"
                                                         "000\n",
                                                         5)
                                           << 0 << QByteArray(4, 0) << 0;
        QTest::newRow("empty") << QByteArray() << -9 << QByteArray(4, 0) << 0;
    }
    void replies() {
        QFETCH(QByteArray, reply);
        QFETCH(int, result);
        QFETCH(QByteArray, data);
        QFETCH(int, carried);
        std::uint8_t decoded[4] = {};
        std::size_t count = 99;
        QCOMPARE(EvaluateReply(reinterpret_cast<const std::uint8_t *>(reply.constData()),
                               static_cast<std::size_t>(reply.size()), decoded, 4, &count),
                 result);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(decoded), 4), data);
        QCOMPARE(count, std::size_t(carried));
    }

    void surplusDataStaysInsideCapacity() {
        const QByteArray reply = ValidReply("0102030405060708");
        std::uint8_t decoded[6] = {0, 0, 0, 0, 0xEE, 0xEE};
        std::size_t count = 0;
        QCOMPARE(EvaluateReply(reinterpret_cast<const std::uint8_t *>(reply.constData()),
                               static_cast<std::size_t>(reply.size()), decoded, 4, &count),
                 0);
        QCOMPARE(count, std::size_t(8));
        QCOMPARE(decoded[3], std::uint8_t(4));
        QCOMPARE(decoded[4], std::uint8_t(0xEE));
    }

    void builtRepliesEvaluate_data() {
        QTest::addColumn<int>("count");
        QTest::newRow("1") << 1;
        QTest::newRow("11") << 11;
        QTest::newRow("232") << 232;
    }
    void builtRepliesEvaluate() {
        QFETCH(int, count);
        std::vector<std::uint8_t> data(static_cast<std::size_t>(count));
        for (int j = 0; j < count; ++j)
            data[static_cast<std::size_t>(j)] = static_cast<std::uint8_t>(j * 37 + 11);
        const std::string reply = BuildDataReply(data.data(), data.size(), "r0020300011");
        QCOMPARE(reply.size(), std::size_t(17 + 2 * count));
        std::vector<std::uint8_t> decoded(static_cast<std::size_t>(count));
        QCOMPARE(EvaluateReply(reinterpret_cast<const std::uint8_t *>(reply.data()), reply.size(),
                               decoded.data(), decoded.size(), nullptr),
                 0);
        QVERIFY(decoded == data);
    }

    void decodeTraceImage() {
        TTraceImage image{};
        // Sample 0: channel 1 = 0x8000, channel 12 = 0x7FFF, flag 1 = 0xFFFF, flag 4 = 0x8001.
        image[0] = 0x80;
        image[22] = 0x7F;
        image[23] = 0xFF;
        image[24] = 0xFF;
        image[25] = 0xFF;
        image[30] = 0x80;
        image[31] = 0x01;
        // Sample 99: channel 2 = 0xFFFF, channel 3 = 0x0102.
        image[99 * 32 + 2] = 0xFF;
        image[99 * 32 + 3] = 0xFF;
        image[99 * 32 + 4] = 0x01;
        image[99 * 32 + 5] = 0x02;
        static float value[SampleCount][ChannelCount];
        static std::int32_t flag[SampleCount][FlagWordCount];
        DecodeTraceImage(image, value, flag);
        QCOMPARE(value[0][0], -32768.0f);
        QCOMPARE(value[0][11], 32767.0f);
        QCOMPARE(flag[0][0], 65535);
        QCOMPARE(flag[0][3], 0x8001);
        QCOMPARE(value[99][1], -1.0f);
        QCOMPARE(value[99][2], 258.0f);
        QCOMPARE(value[50][5], 0.0f);
        // And back: the drive's encoding is the inverse.
        QVERIFY(EncodeTraceImage(value, flag) == image);

        // Into a record, from the image or from its bytes: Value and Flag only.
        for (bool fromBytes : {false, true}) {
            TTraceRecord record;
            ResetRecord(record);
            record.Header[3] = 7;
            record.Value[50][5] = 9.0f;
            TTraceRecord expected = record;
            std::memcpy(expected.Value, value, sizeof value);
            std::memcpy(expected.Flag, flag, sizeof flag);
            if (fromBytes)
                DecodeTraceImage(image.data(), record);
            else
                DecodeTraceImage(image, record);
            QVERIFY(record == expected);
        }
    }

    void parseRequest_data() {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<uint>("address");
        QTest::addColumn<int>("count");
        QTest::newRow("built") << Frame(BuildRequest('r', 0x203C80, 232)) << true << 0x203C80u
                               << 232;
        QByteArray bad = Frame(BuildRequest('r', 0x510, 1));
        bad[13] = 'F';
        QTest::newRow("bad sum") << bad << false << 0u << 0;
        QTest::newRow("short") << QByteArray("\x05 r0000\r\n") << false << 0u << 0;
        QByteArray lower = Frame(BuildRequest('r', 0x20490B, 11));
        lower[10] = 'b';
        QTest::newRow("lowercase address changes the sum") << lower << false << 0u << 0;
    }
    void parseRequest() {
        QFETCH(QByteArray, frame);
        QFETCH(bool, ok);
        QFETCH(uint, address);
        QFETCH(int, count);
        char command = 0;
        std::uint32_t a = 0;
        std::uint8_t c = 0;
        QCOMPARE(ParseRequest(reinterpret_cast<const std::uint8_t *>(frame.constData()),
                              static_cast<std::size_t>(frame.size()), &command, &a, &c),
                 ok);
        if (ok) {
            QCOMPARE(command, 'r');
            QCOMPARE(a, address);
            QCOMPARE(int(c), count);
        }
    }

    void driveFaults_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("exchange");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("sent"); // what a nak fault answers
        const QByteArray none;
        QTest::newRow("timeout") << "1:timeout" << true << 1 << int(DriveFault::TimeOut) << none;
        QTest::newRow("nak") << "17:nak:68" << true << 17 << int(DriveFault::Nak)
                             << QByteArray("\x15 68\r\n");
        QTest::newRow("nak of three digits")
            << "2:nak:100" << true << 2 << int(DriveFault::Nak) << QByteArray("\x15 100\r\n");
        QTest::newRow("nak of one character")
            << "3:nak:d" << true << 3 << int(DriveFault::Nak) << QByteArray("\x15 d\r\n");
        QTest::newRow("flood") << "9:flood" << true << 9 << int(DriveFault::Flood) << none;
        QTest::newRow("exchange 0") << "0:timeout" << false << 0 << 0 << none;
        QTest::newRow("exchange 18") << "18:timeout" << false << 0 << 0 << none;
        QTest::newRow("unknown kind") << "3:slow" << false << 0 << 0 << none;
        QTest::newRow("nak without code") << "3:nak" << false << 0 << 0 << none;
        QTest::newRow("nak with empty code") << "3:nak:" << false << 0 << 0 << none;
        QTest::newRow("nak code with a blank") << "3:nak:6 8" << false << 0 << 0 << none;
        QTest::newRow("no colon") << "3" << false << 0 << 0 << none;
    }
    void driveFaults() {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(int, exchange);
        QFETCH(int, kind);
        QFETCH(QByteArray, sent);
        TDriveFault fault;
        const std::string s = text.toStdString();
        QCOMPARE(ParseDriveFault(s, &fault), ok);
        if (!ok)
            return;
        QCOMPARE(fault.exchange, exchange);
        QCOMPARE(int(fault.kind), kind);
        if (sent.isEmpty())
            return;
        // The drive answers the spoiled exchange with exactly that refusal.
        TDriveModel drive;
        drive.AddFault(fault);
        TDriveAnswer answer;
        for (int k = 1; k <= exchange; ++k) {
            const TRequest request = BuildRequest('r', k == 1 ? RomIdAddress : NewTraceAddress, 1);
            answer = drive.Answer(request.data(), request.size());
        }
        QCOMPARE(answer.pieces.size(), std::size_t(1));
        QCOMPARE(QByteArray::fromStdString(answer.pieces[0]), sent);
    }
};

QTEST_APPLESS_MAIN(tst_Protocol)
#include "tst_Protocol.moc"
