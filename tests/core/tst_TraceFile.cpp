// Trace file text: the exact layout written, what the reader accepts, and where it stops.

#include "TraceFile.h"
#include "TraceRecord.h"

#include <QElapsedTimer>
#include <QTest>
#include <bit>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace {

// A record as the drive delivers it: whole numbers in the 16-bit range, 16-bit flag words,
// byte header values.
TTraceRecord DriveRecord(unsigned seed) {
    std::mt19937 random(seed);
    TTraceRecord record;
    ResetRecord(record);
    for (int i = 0; i < SampleCount; ++i) {
        record.SampleNo[i] = i;
        for (int c = 0; c < ChannelCount; ++c)
            record.Value[i][c] = static_cast<float>(static_cast<int>(random() % 65536) - 32768);
        for (int w = 0; w < FlagWordCount; ++w)
            record.Flag[i][w] = static_cast<int>(random() % 65536);
    }
    for (int j = 0; j < HeaderCount; ++j)
        record.Header[j] = static_cast<int>(random() % 256);
    record.Value[0][0] = -32768.0f;
    record.Value[0][1] = 32767.0f;
    return record;
}

// The 17 fields of one sample line, the 11 header values and the drive type as plain tokens,
// joined by sep; written here by hand, independently of the writer under test.
std::string Fields(const char *sep, const char *lineEnd, int driveType = 1) {
    std::string text;
    for (int i = 0; i < SampleCount; ++i) {
        text += std::to_string(i);
        for (int c = 0; c < ChannelCount; ++c)
            text += sep + std::to_string(i * 100 - c * 7);
        for (int w = 0; w < FlagWordCount; ++w) {
            char word[16];
            std::snprintf(word, sizeof word, "%x", (i * 0x101 + w) & 0xFFFF);
            text += sep + std::string(word);
        }
        text += lineEnd;
    }
    for (int j = 0; j < HeaderCount; ++j)
        text += std::to_string(j + 10) + lineEnd; // decimal digits only: same value in hex
    text += std::to_string(driveType) + lineEnd;
    return text;
}

void ExpectFieldsRecord(const TTraceRecord &record) {
    for (int i = 0; i < SampleCount; ++i) {
        QCOMPARE(record.SampleNo[i], i);
        for (int c = 0; c < ChannelCount; ++c)
            QCOMPARE(record.Value[i][c], float(i * 100 - c * 7));
        for (int w = 0; w < FlagWordCount; ++w)
            QCOMPARE(record.Flag[i][w], (i * 0x101 + w) & 0xFFFF);
    }
    for (int j = 0; j < HeaderCount; ++j)
        QCOMPARE(record.Header[j], (j + 10) / 10 * 16 + (j + 10) % 10);
}

std::vector<std::string> Lines(const std::string &text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// Replaces the n-th (0-based) field of a text made by Fields(" ", "\n").
std::string WithField(std::string text, int n, const std::string &replacement) {
    std::size_t pos = 0;
    for (int k = 0; k < n; ++k) {
        pos = text.find_first_of(" \n", pos);
        pos = text.find_first_not_of(" \n", pos);
    }
    const std::size_t end = text.find_first_of(" \n", pos);
    return text.replace(pos, end - pos, replacement);
}

int FieldOf(int sample, int column) {
    return sample * 17 + column;
}

} // namespace

class tst_TraceFile : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data() {
        QTest::addColumn<int>("driveType");
        QTest::addColumn<bool>("normalized");
        QTest::addColumn<unsigned>("seed");
        QTest::newRow("raw, standard") << 0 << false << 1u;
        QTest::newRow("raw, type E") << 1 << false << 2u;
        QTest::newRow("normalized, type E") << 1 << true << 3u;
    }
    void roundTrip() {
        QFETCH(int, driveType);
        QFETCH(bool, normalized);
        QFETCH(unsigned, seed);
        TTraceRecord record = DriveRecord(seed);
        if (normalized) {
            // Engineering units: fractions that need all nine digits, tiny and huge values.
            for (int i = 0; i < SampleCount; ++i)
                for (int c = 0; c < ChannelCount; ++c)
                    record.Value[i][c] *= ChannelFactor(c, driveType);
            record.Value[1][0] = 0.1f;
            record.Value[1][1] = -0.0f;
            record.Value[1][2] = std::numeric_limits<float>::denorm_min();
            record.Value[1][3] = std::numeric_limits<float>::max();
            record.Value[1][4] = -1.17549435e-38f;
            record.Value[1][5] = 16777217.0f; // not a float: rounds on the way in, as stored
        }
        const std::string text = WriteTraceFile(record, driveType, normalized);

        TTraceRecord loaded;
        ResetRecord(loaded);
        loaded.Scale[3] = 42.0f; // Scale is never read from a file
        const TTraceRecord scalesBefore = loaded;
        std::int32_t loadedType = 1 - driveType;
        const TraceFileError error = ReadTraceFile(text, loaded, loadedType);
        QVERIFY2(!error, TraceFileErrorText(error, LanguageEnglish).c_str());
        QCOMPARE(loadedType, driveType);
        QVERIFY(std::memcmp(loaded.Scale, scalesBefore.Scale, sizeof loaded.Scale) == 0);
        std::memcpy(loaded.Scale, record.Scale, sizeof loaded.Scale);
        QVERIFY(loaded == record); // bit for bit, -0 included
    }

    void exactLayout() {
        TTraceRecord record;
        ResetRecord(record);
        record.SampleNo[7] = 7;
        record.Value[7][0] = -4980.0f;
        record.Value[7][11] = 32767.0f;
        record.Flag[7][0] = 0x82;
        record.Flag[7][3] = 0xFFFF;
        record.Header[1] = 0xFF;
        const std::string text = WriteTraceFile(record, 1, false);
        const auto lines = Lines(text);
        QCOMPARE(int(lines.size()), TraceFileLineCount);
        QVERIFY(text.size() >= 2 && text.substr(text.size() - 2) == "\r\n");
        QCOMPARE(lines[7], std::string("   7\t -4980\t     0\t     0\t     0\t     0\t     0\t"
                                       "     0\t     0\t     0\t     0\t     0\t 32767\t"
                                       "  82\t   0\t   0\tffff"));
        QCOMPARE(lines[0].substr(0, 5), std::string("   0\t"));
        QCOMPARE(lines[100], std::string("  64")); // trigger position 100
        QCOMPARE(lines[101], std::string("  ff"));
        QCOMPARE(lines[102], std::string("   0"));
        QCOMPARE(lines[111], std::string("   1"));
        // Exactly one CR per line: nothing doubles the line end.
        std::size_t crs = 0;
        for (char ch : text)
            crs += ch == '\r';
        QCOMPARE(int(crs), TraceFileLineCount);
    }

    void exactLayoutOfUnusualRawValues_data() {
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("field");
        QTest::newRow("fraction rounds") << 12.75f << "    13";
        QTest::newRow("negative fraction") << -0.4f << "    -0";
        QTest::newRow("wider than six") << 1234567.0f << "1234567";
    }
    void exactLayoutOfUnusualRawValues() {
        QFETCH(float, value);
        QFETCH(QString, field);
        TTraceRecord record;
        ResetRecord(record);
        record.Value[0][0] = value;
        const auto lines = Lines(WriteTraceFile(record, 0, false));
        QCOMPARE(QString::fromStdString(lines[0]).section('\t', 1, 1), field);
    }

    void separators_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("TAB, CR LF") << QByteArray::fromStdString(Fields("\t", "\r\n"));
        QTest::newRow("TAB, LF") << QByteArray::fromStdString(Fields("\t", "\n"));
        QTest::newRow("spaces, LF") << QByteArray::fromStdString(Fields(" ", "\n"));
        QTest::newRow("wide gaps") << QByteArray::fromStdString(Fields(" \t  \t", "  \r\n\r\n"));
        QTest::newRow("one field a line") << QByteArray::fromStdString(Fields("\n", "\n"));
        QTest::newRow("all on one line") << QByteArray::fromStdString(Fields(" ", " "));
        QTest::newRow("no final line end")
            << QByteArray::fromStdString(Fields("\t", "\r\n")).chopped(2);
        QTest::newRow("byte order mark")
            << QByteArray("\xEF\xBB\xBF") + QByteArray::fromStdString(Fields("\t", "\r\n"));
        QTest::newRow("text after line 112")
            << QByteArray::fromStdString(Fields("\t", "\r\n")) + "written by hand\r\nxyz 1 2\r\n";
    }
    void separators() {
        QFETCH(QByteArray, text);
        TTraceRecord record;
        ResetRecord(record);
        std::int32_t driveType = 0;
        const TraceFileError error =
            ReadTraceFile(std::string_view(text.constData(), text.size()), record, driveType);
        QVERIFY2(!error, TraceFileErrorText(error, LanguageEnglish).c_str());
        ExpectFieldsRecord(record);
        QCOMPARE(driveType, 1);
    }

    void valueRules_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("token");
        QTest::addColumn<qint64>("expected"); // integer fields: as read; header and drive
                                              // type: after their rules
        const int header = 1700, driveType = 1711;
        QTest::newRow("header 1ff reads as 0") << header + 4 << "1ff" << qint64(0);
        QTest::newRow("header ff") << header + 4 << "ff" << qint64(255);
        QTest::newRow("header 100") << header << "100" << qint64(0);
        QTest::newRow("header FF upper case") << header << "FF" << qint64(255);
        QTest::newRow("header 0x1f") << header << "0x1f" << qint64(31);
        QTest::newRow("header negative stays") << header << "-1" << qint64(-1);
        QTest::newRow("header ffffffff is -1") << header << "ffffffff" << qint64(-1);
        QTest::newRow("drive type 2") << driveType << "2" << qint64(0);
        QTest::newRow("drive type 0") << driveType << "0" << qint64(0);
        QTest::newRow("drive type 01") << driveType << "01" << qint64(1);
        QTest::newRow("drive type 11 (hex)") << driveType << "11" << qint64(0);
        QTest::newRow("flag word above 16 bits") << FieldOf(3, 13) << "12345" << qint64(0x12345);
        QTest::newRow("flag word ffffffff") << FieldOf(3, 16) << "ffffffff" << qint64(-1);
        QTest::newRow("flag word +a") << FieldOf(3, 14) << "+a" << qint64(10);
        QTest::newRow("sample number negative") << FieldOf(9, 0) << "-12" << qint64(-12);
        QTest::newRow("sample number int max")
            << FieldOf(9, 0) << "2147483647" << qint64(2147483647);
        QTest::newRow("sample number int min")
            << FieldOf(9, 0) << "-2147483648" << qint64(-2147483648LL);
    }
    void valueRules() {
        QFETCH(int, field);
        QFETCH(QString, token);
        QFETCH(qint64, expected);
        const std::string text = WithField(Fields(" ", "\n", 1), field, token.toStdString());
        TTraceRecord record;
        ResetRecord(record);
        std::int32_t driveType = 1;
        const TraceFileError error = ReadTraceFile(text, record, driveType);
        QVERIFY2(!error, TraceFileErrorText(error, LanguageEnglish).c_str());
        std::int32_t actual = 0;
        if (field == 1711)
            actual = driveType;
        else if (field >= 1700)
            actual = record.Header[field - 1700];
        else if (field % 17 == 0)
            actual = record.SampleNo[field / 17];
        else
            actual = record.Flag[field / 17][field % 17 - 13];
        QCOMPARE(qint64(actual), expected);
    }

    void channelValuesAsRead_data() {
        QTest::addColumn<QString>("token");
        QTest::addColumn<float>("expected");
        QTest::newRow("fraction") << "12.5" << 12.5f;
        QTest::newRow("outside 16 bits") << "-1000000" << -1000000.0f;
        QTest::newRow("leading plus") << "+7" << 7.0f;
        QTest::newRow("exponent") << "1.5e3" << 1500.0f;
        QTest::newRow("point first") << ".25" << 0.25f;
        QTest::newRow("point last") << "3." << 3.0f;
        QTest::newRow("underflow reads as zero") << "1e-60" << 0.0f;
        QTest::newRow("nine digits") << "0.100000001" << 0.1f;
        QTest::newRow("negative zero") << "-0" << -0.0f;
        QTest::newRow("seven digits, leading zeros") << "-0009999" << -9999.0f;
        QTest::newRow("eight digits round to the nearest float") << "16777217" << 16777216.0f;
    }
    void channelValuesAsRead() {
        QFETCH(QString, token);
        QFETCH(float, expected);
        const std::string text = WithField(Fields(" ", "\n"), FieldOf(5, 3), token.toStdString());
        TTraceRecord record;
        ResetRecord(record);
        std::int32_t driveType = 0;
        QVERIFY(!ReadTraceFile(text, record, driveType));
        QCOMPARE(std::bit_cast<quint32>(record.Value[5][2]), std::bit_cast<quint32>(expected));
    }

    void malformed_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("fault");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("field");
        const std::string good = Fields("\t", "\r\n");
        const auto lines = Lines(good);
        const auto firstLines = [&](int n) {
            std::string text;
            for (int k = 0; k < n; ++k)
                text += lines[static_cast<std::size_t>(k)] + "\r\n";
            return QByteArray::fromStdString(text);
        };
        const int missing = int(TraceFileFault::Missing);
        const int notANumber = int(TraceFileFault::NotANumber);
        const int outOfRange = int(TraceFileFault::OutOfRange);
        const auto spaced = Fields(" ", "\n");
        const auto bad = [&](int field, const char *token) {
            return QByteArray::fromStdString(WithField(spaced, field, token));
        };

        QTest::newRow("empty") << QByteArray() << missing << 1 << 0;
        QTest::newRow("only white space") << QByteArray(" \r\n\t\n") << missing << 1 << 0;
        QTest::newRow("50 lines") << firstLines(50) << missing << 51 << FieldOf(50, 0);
        QTest::newRow("100 lines") << firstLines(100) << missing << 101 << 1700;
        QTest::newRow("111 lines") << firstLines(111) << missing << 112 << 1711;
        QTest::newRow("line cut after a flag word")
            << QByteArray::fromStdString(good.substr(0, good.find("\r\n") - 2)) << missing << 1
            << 16;
        QTest::newRow("letters in a channel")
            << bad(FieldOf(6, 1), "-4x0") << notANumber << 7 << FieldOf(6, 1);
        QTest::newRow("number glued to text")
            << bad(FieldOf(2, 5), "12abc") << notANumber << 3 << FieldOf(2, 5);
        QTest::newRow("fraction as sample number")
            << bad(FieldOf(9, 0), "1.5") << notANumber << 10 << FieldOf(9, 0);
        QTest::newRow("hex sample number")
            << bad(FieldOf(9, 0), "1f") << notANumber << 10 << FieldOf(9, 0);
        QTest::newRow("nan channel")
            << bad(FieldOf(0, 12), "nan") << notANumber << 1 << FieldOf(0, 12);
        QTest::newRow("inf channel")
            << bad(FieldOf(0, 12), "-inf") << notANumber << 1 << FieldOf(0, 12);
        QTest::newRow("hex float channel")
            << bad(FieldOf(0, 12), "0x1p3") << notANumber << 1 << FieldOf(0, 12);
        QTest::newRow("comma decimal")
            << bad(FieldOf(4, 2), "1,5") << notANumber << 5 << FieldOf(4, 2);
        QTest::newRow("lone sign") << bad(FieldOf(4, 2), "-") << notANumber << 5 << FieldOf(4, 2);
        QTest::newRow("exponent without digits")
            << bad(FieldOf(4, 2), "1e") << notANumber << 5 << FieldOf(4, 2);
        QTest::newRow("channel beyond float")
            << bad(FieldOf(4, 2), "1e39") << outOfRange << 5 << FieldOf(4, 2);
        QTest::newRow("sample number beyond 32 bits")
            << bad(FieldOf(0, 0), "2147483648") << outOfRange << 1 << 0;
        QTest::newRow("flag word g")
            << bad(FieldOf(99, 16), "g") << notANumber << 100 << FieldOf(99, 16);
        QTest::newRow("flag word 0x alone")
            << bad(FieldOf(99, 16), "0x") << notANumber << 100 << FieldOf(99, 16);
        QTest::newRow("flag word beyond 32 bits")
            << bad(FieldOf(99, 13), "100000000") << outOfRange << 100 << FieldOf(99, 13);
        QTest::newRow("bad header") << bad(1704, "z") << notANumber << 105 << 1704;
        QTest::newRow("bad drive type") << bad(1711, "Q") << notANumber << 112 << 1711;
        QTest::newRow("binary garbage")
            << QByteArray("\x01\x02\xff\xfe\x00 7", 7) << notANumber << 1 << 0;
        QTest::newRow("first bad field wins")
            << QByteArray::fromStdString(
                   WithField(WithField(spaced, FieldOf(3, 1), "a"), FieldOf(8, 1), "b"))
            << notANumber << 4 << FieldOf(3, 1);
        // Blank lines push the physical line of a bad field away from where it belongs.
        QTest::newRow("bad field after blank lines")
            << QByteArray("\n\n\nx") << notANumber << 4 << 0;
    }
    void malformed() {
        QFETCH(QByteArray, text);
        QFETCH(int, fault);
        QFETCH(int, line);
        QFETCH(int, field);
        TTraceRecord record = DriveRecord(9);
        const TTraceRecord before = record;
        std::int32_t driveType = 1;
        const TraceFileError error =
            ReadTraceFile(std::string_view(text.constData(), text.size()), record, driveType);
        QCOMPARE(int(error.Fault), fault);
        QCOMPARE(error.Line, line);
        QCOMPARE(error.Field, field);
        QVERIFY(record == before); // all or nothing
        QCOMPARE(driveType, 1);
    }

    void hugeAndHostileInputsAreRejectedQuickly_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("line");
        QTest::newRow("10 MB of digits") << QByteArray(10 * 1024 * 1024, '7') << 1;
        QByteArray garbage(10 * 1024 * 1024, '\0');
        std::mt19937 random(5);
        for (auto &ch : garbage)
            ch = static_cast<char>(random());
        garbage[0] = 'Z';
        QTest::newRow("10 MB of binary garbage") << garbage << 1;
        QByteArray digitLines;
        for (int k = 0; k < 200000; ++k)
            digitLines += "12345678901234567890\n";
        QTest::newRow("long lines of long numbers") << digitLines << 1;
        QTest::newRow("10 MB of blank lines") << QByteArray(10 * 1024 * 1024, '\n') << 1;
    }
    void hugeAndHostileInputsAreRejectedQuickly() {
        QFETCH(QByteArray, text);
        QFETCH(int, line);
        TTraceRecord record;
        ResetRecord(record);
        std::int32_t driveType = 0;
        QElapsedTimer timer;
        timer.start();
        const TraceFileError error =
            ReadTraceFile(std::string_view(text.constData(), text.size()), record, driveType);
        QVERIFY(error);
        QCOMPARE(error.Line, line);
        // The offending text in a message is short and printable.
        QVERIFY(error.Text.size() <= 27);
        for (char ch : error.Text)
            QVERIFY(ch >= 0x20 && ch < 0x7F);
        qInfo("%s: %lld ms", QTest::currentDataTag(), static_cast<long long>(timer.elapsed()));
    }

    void messages_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("missing");
        QTest::addColumn<QString>("notANumber");
        QTest::newRow("English") << int(LanguageEnglish)
                                 << "The trace file C:\\data\\run1.vnx cannot be loaded.\n"
                                    "Line 51: the sample number is missing (the file ends early)."
                                 << "The trace file C:\\data\\run1.vnx cannot be loaded.\n"
                                    "Line 7: the value of channel 2 is not a number: \"-4x0\"";
        QTest::newRow("Japanese")
            << int(LanguageJapanese)
            << "トレースファイル C:\\data\\run1.vnx を読み込めません。\n"
               "51行目: サンプル番号がありません (ファイルが途中で終わっています)。"
            << "トレースファイル C:\\data\\run1.vnx を読み込めません。\n"
               "7行目: チャンネル2の値が数値ではありません: \"-4x0\"";
    }
    void messages() {
        QFETCH(int, language);
        QFETCH(QString, missing);
        QFETCH(QString, notANumber);
        TraceFileError error;
        error.Fault = TraceFileFault::Missing;
        error.Line = 51;
        error.Field = FieldOf(50, 0);
        QCOMPARE(
            QString::fromStdString(TraceFileLoadFailedText("C:\\data\\run1.vnx", error, language)),
            missing);
        error.Fault = TraceFileFault::NotANumber;
        error.Line = 7;
        error.Field = FieldOf(6, 2);
        error.Text = "-4x0";
        QCOMPARE(
            QString::fromStdString(TraceFileLoadFailedText("C:\\data\\run1.vnx", error, language)),
            notANumber);
    }

    void fieldNamesInMessages_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("english");
        QTest::newRow("sample number") << 0 << "the sample number";
        QTest::newRow("channel 12") << FieldOf(0, 12) << "the value of channel 12";
        QTest::newRow("flag word 1") << FieldOf(0, 13) << "flag word 1";
        QTest::newRow("flag word 4") << FieldOf(99, 16) << "flag word 4";
        QTest::newRow("first header") << 1700 << "header value 1";
        QTest::newRow("last header") << 1710 << "header value 11";
        QTest::newRow("drive type") << 1711 << "the drive type";
    }
    void fieldNamesInMessages() {
        QFETCH(int, field);
        QFETCH(QString, english);
        TraceFileError error;
        error.Fault = TraceFileFault::Missing;
        error.Line = TraceFileLineOfField(field);
        error.Field = field;
        const QString text = QString::fromStdString(TraceFileErrorText(error, LanguageEnglish));
        QVERIFY2(text.contains(english), qPrintable(text));
    }

    void kindOfName_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("kind");
        const int raw = int(TraceFileKind::Raw), normalized = int(TraceFileKind::Normalized),
                  other = int(TraceFileKind::Other);
        QTest::newRow(".vnx") << "/data/run1.vnx" << raw;
        QTest::newRow(".VNX") << "C:\\TRIP.VNX" << raw;
        QTest::newRow(".vnb") << "run1.vnb" << normalized;
        QTest::newRow(".VNB") << "/mnt/usb/TRIP.VNB" << normalized;
        QTest::newRow(".vNb") << "trip.vNb" << normalized;
        QTest::newRow("ending alone") << ".vnb" << normalized;
        QTest::newRow("longer ending") << "trip.vnbx" << other;
        QTest::newRow("no dot") << "tripvnb" << other;
        QTest::newRow("ending inside") << "trip.vnb.txt" << other;
        QTest::newRow("short") << "nb" << other;
        QTest::newRow("empty") << "" << other;
    }
    void kindOfName() {
        QFETCH(QString, path);
        QFETCH(int, kind);
        QCOMPARE(int(TraceFileKindOfName(path.toStdString())), kind);
    }
};

QTEST_APPLESS_MAIN(tst_TraceFile)
#include "tst_TraceFile.moc"
