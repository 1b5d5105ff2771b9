// vandrel-trace info and export on small trace files.

#include "DriveScenarios.h"
#include "FileFaults.h"
#include "Protocol.h"
#include "TraceFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString DataDir = QStringLiteral(VANDREL_TEST_DATA);

bool WriteFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A raw type E trace with trigger sample 48 (position 52), SETNVOP stamp 24/2/29 7:05 and
// these flag changes: word 3 bit 0 set at 0, word 0 bit 1 rising at 46 and falling at 60, word
// 1 bit 10 (whose text depends on the drive type) rising at 48, word 2 bit 12 (no text line)
// rising at 53. Phase current peak: -1234 raw on channel 1.
TTraceRecord FlagTrace() {
    TTraceRecord record;
    ResetRecord(record);
    record.Header[0] = 52;
    const std::int32_t stamp[] = {24, 2, 29, 7, 5};
    for (int k = 0; k < 5; ++k)
        record.Header[1 + k] = stamp[k];
    for (int s = 0; s < SampleCount; ++s) {
        record.Value[s][0] = s == 70 ? -1234.0f : 100.0f;
        record.Value[s][1] = static_cast<float>(s);
        record.Value[s][2] = -500.0f;
        record.Flag[s][3] = 0x0001;
        record.Flag[s][0] = s >= 46 && s < 60 ? 0x0002 : 0;
        record.Flag[s][1] = s >= 48 ? 0x0400 : 0;
        record.Flag[s][2] = s >= 53 ? 0x1000 : 0;
    }
    return record;
}

QByteArray ReadFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

// sizeLimit: the largest file the command may write (RLIMIT_FSIZE), -1 for none; output: a
// file or device standard output goes to instead of the test.
Run Trace(const QStringList &arguments, const QString &locale = QStringLiteral("C.UTF-8"),
          long long sizeLimit = -1, const QString &output = QString()) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LC_ALL", locale);
    process.setProcessEnvironment(environment);
    if (sizeLimit >= 0)
        LimitFileSizeOf(process, sizeLimit);
    if (!output.isEmpty())
        process.setStandardOutputFile(output);
    process.start(QStringLiteral(VANDREL_BIN_DIR "/vandrel-trace"), arguments);
    Run run;
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace

class tst_TraceCli : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(scratch.isValid());
        QVERIFY(MakeFifo(scratch.filePath("fifo.vnx")));
        QVERIFY(QDir().mkpath(scratch.filePath("folder.vnb")));
        QVERIFY(WriteFile(scratch.filePath("flags.vnx"),
                          QByteArray::fromStdString(WriteTraceFile(FlagTrace(), 1, false))));
        TTraceRecord quiet;
        ResetRecord(quiet);
        quiet.Flag[10][2] = 0x0001; // a status bit only: no fault
        for (int s = 0; s < SampleCount; ++s)
            quiet.Value[s][2] = -7.5f;
        QVERIFY(WriteFile(scratch.filePath("no fault, quoted.vnb"),
                          QByteArray::fromStdString(WriteTraceFile(quiet, 0, true))));
        for (const char *name : {"regen-overvoltage", "motor-overheat"}) {
            TDriveModel drive;
            QVERIFY(FillScenarioTrace(drive, name));
            const int typeE = drive.romId == 'E';
            TTraceRecord trip;
            ResetRecord(trip, typeE);
            DecodeTraceImage(drive.newImage, trip);
            std::copy(drive.newHeader.begin(), drive.newHeader.end(), trip.Header);
            QVERIFY(WriteFile(scratch.filePath(QString(name) + ".vnx"),
                              QByteArray::fromStdString(WriteTraceFile(trip, typeE, false))));
        }
    }

    void diagnose_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("lines"); // the lines expected, in order, among others
        QTest::newRow("regenerating into over voltage")
            << "regen-overvoltage.vnx"
            << QStringList{"first-fault\t54\t+0\t0\t5\tBIT5 :Over Voltage",
                           "state\tdecelerating\tregenerating",
                           "onset\t7\t41\t-13\tSpeed-Ref.(%)",
                           "cause\tregen-overvoltage\tOver voltage from regenerated energy: the "
                           "motor returned more energy than the drive can absorb",
                           "evidence\tDC voltage went from 677.0 V to 804.6 V (+18.8 %) over "
                           "samples 44-54",
                           "remedy\tLengthen the deceleration time"};
        QTest::newRow("standard drive, motor temperature")
            << "motor-overheat.vnx"
            << QStringList{"first-fault\t85\t+0\t1\t3\tBIT3 :Over Heat Of IM",
                           "state\tsteady\tmotoring",
                           "cause\tmotor-overheat\tMotor overheat: "
                           "the motor temperature exceeded its limit",
                           "evidence\tMotor temperature (ch12) went from 146.0 ℃ at the start to "
                           "150.2 ℃ at the trip (largest 150.2 ℃)"};
        QTest::newRow("no fault") << "no fault, quoted.vnb"
                                  << QStringList{"state\tstopped\t-",
                                                 "cause\tnone\tNo fault: no fault flag is set in "
                                                 "this trace"};
    }
    void diagnose() {
        QFETCH(QString, file);
        QFETCH(QStringList, lines);
        const QString path = scratch.filePath(file);
        const Run en = Trace({"diagnose", path, "--lang", "en"});
        QCOMPARE(en.exitCode, 0);
        QVERIFY(en.err.isEmpty());
        QStringList out = en.out.split('\n');
        QCOMPARE(out.takeLast(), QString());
        int at = 0;
        for (const QString &line : lines) {
            at = out.indexOf(line, at);
            QVERIFY2(at >= 0, qPrintable(line + "\n---\n" + en.out));
        }
        QCOMPARE(out.first().startsWith("first-fault"), !file.startsWith("no fault"));
        // Japanese: the same kinds of lines, the same ids, states and samples.
        QStringList ja = Trace({"diagnose", path, "--lang", "ja"}).out.split('\n');
        ja.removeLast();
        QCOMPARE(ja.size(), out.size());
        for (int k = 0; k < out.size(); ++k) {
            const QStringList a = out[k].split('\t'), b = ja[k].split('\t');
            const int same = a[0] == "state" ? 3 : a[0] == "cause" ? 2 : a[0] == "onset" ? 4 : 1;
            QCOMPARE(b.mid(0, same), a.mid(0, same));
        }
    }

    void events_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("expected");
        QTest::newRow("English") << "en"
                                 << "0\t-48\t3\t0\tset\tBIT0 :Start Command\n"
                                    "46\t-2\t0\t1\trise\tBIT1 :IGBT Fault\n"
                                    "48\t+0\t1\t10\trise\tBIT10:PG Error\n"
                                    "53\t+5\t2\t12\trise\t\n"
                                    "60\t+12\t0\t1\tfall\tBIT1 :IGBT Fault\n";
        QTest::newRow("Japanese") << "ja"
                                  << "0\t-48\t3\t0\tset\tBIT0 :運転指令(ｼｰｹﾝｽに渡す指令)\n"
                                     "46\t-2\t0\t1\trise\tBIT1 :IGBT\n"
                                     "48\t+0\t1\t10\trise\tBIT10:PG Error\n"
                                     "53\t+5\t2\t12\trise\t\n"
                                     "60\t+12\t0\t1\tfall\tBIT1 :IGBT\n";
    }
    void events() {
        QFETCH(QString, language);
        QFETCH(QString, expected);
        const Run run = Trace({"events", scratch.filePath("flags.vnx"), "--lang", language});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, expected);
        QVERIFY(run.err.isEmpty());
    }

    void report() {
        // Written without a display, in the language asked for; a size limit or a FIFO as
        // the target leaves nothing behind and says why.
        const QString pdf = scratch.filePath("trip.pdf");
        const Run run =
            Trace({"report", scratch.filePath("flags.vnx"), "--out", pdf, "--lang", "ja"});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.isEmpty());
        QProcess text;
        text.start("pdftotext", {pdf, "-"});
        QVERIFY(text.waitForFinished(30000));
        const QString words = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(words.contains(QStringLiteral("故障解析レポート")), qPrintable(words));
        QVERIFY(words.contains(QStringLiteral("BIT1 :IGBT")));

        const QByteArray before = ReadFile(pdf);
        const Run full =
            Trace({"report", scratch.filePath("flags.vnx"), "--out", pdf}, "C.UTF-8", 1000);
        QCOMPARE(full.exitCode, 1);
        QVERIFY(!full.err.isEmpty());
        QCOMPARE(ReadFile(pdf), before);

        const QString fifo = scratch.filePath("report-fifo.pdf");
        QVERIFY(MakeFifo(fifo));
        const Run refused = Trace({"report", scratch.filePath("flags.vnx"), "--out", fifo});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY(QFileInfo(fifo).isFile() == false && QFileInfo(fifo).exists());

        const Run usage = Trace({"report", scratch.filePath("flags.vnx")});
        QCOMPARE(usage.exitCode, 2);
        QVERIFY(usage.out.isEmpty());
    }

    void summary() {
        // Rows in the order given, a file that cannot be read among them; a locale with a
        // decimal comma changes nothing.
        const QString flags = scratch.filePath("flags.vnx");
        const QString quiet = scratch.filePath("no fault, quoted.vnb");
        const QString gone = DataDir + "/gone.vnx";
        const Run run = Trace(
            {"summary", flags, DataDir + "/standard.vnb", gone, quiet, DataDir + "/typeE.vnx"},
            "de_DE.UTF-8");
        QCOMPARE(run.exitCode, 1);
        const QStringList rows = run.out.split('\n');
        QCOMPARE(rows.size(), 7);
        QCOMPARE(rows[0], "file,trigger_point,setnvop_clock,drive_type,first_fault_sample,"
                          "first_fault_word,first_fault_bit,first_fault,peak_iu,peak_iv,peak_iw,"
                          "likely_cause");
        QCOMPARE(rows[1], flags + ",48,2024/02/29 07:05,E,46,0,1,BIT1 :IGBT Fault,24.68,1.98,10.00,"
                                  "ground-fault");
        QCOMPARE(rows[2], DataDir + "/standard.vnb,10,2099/12/31 24:59,standard,1,0,0,"
                                    "BIT0 :Over Current,14.75,29.50,44.25,ground-fault");
        QCOMPARE(rows[3], gone + ",,,,,,,The trace file " + gone +
                              " cannot be opened. No such file or directory,,,,");
        QCOMPARE(rows[4], "\"" + quiet + "\",0,0000/00/00 00:00,standard,,,,,0.00,0.00,7.50,");
        QCOMPARE(rows[5], DataDir + "/typeE.vnx,30,2023/04/05 12:34,E,0,0,1,BIT1 :IGBT Fault,"
                                    "10.00,20.00,30.00,ground-fault");
        QCOMPARE(rows[6], QString());
        QVERIFY2(run.err.contains(gone) && !run.err.contains(flags), qPrintable(run.err));

        const Run readable = Trace({"summary", flags});
        QCOMPARE(readable.exitCode, 0);
        QCOMPARE(readable.out.split('\n').value(1), rows[1]);
    }

    void info_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("lines");
        // typeE.vnx: channel c (1-based) of sample i holds (i - 50) * c * 10, trigger position
        // 0x46, SETNVOP stamp 23/4/5 12:34, host CPU stamp with year 0x1ff (read as 0) and
        // month 13.
        QTest::newRow("raw, type E")
            << "typeE.vnx"
            << QStringList{"kind: raw",
                           "drive type: E",
                           "trigger point: 30",
                           "SETNVOP clock: 2023/04/05 12:34",
                           "host CPU clock: 0000/00/00 00:00",
                           "ch1 Curr.-U(%): min -10, max 9.8",
                           "ch4 DC-Volt.(V): min -200, max 196",
                           "ch10 Id-ref.(%): min -83.333336, max 81.66667",
                           "ch12 Control phase(degree): min -32.958984, max 32.299805"};
        // standard.vnb: channel c of sample i holds (i - 40) * 0.25 * c, trigger position 90,
        // SETNVOP stamp 99/12/31 24:59, host CPU minute 0xff, last value 2.
        QTest::newRow("normalized, standard")
            << "standard.vnb"
            << QStringList{"kind: normalized",
                           "drive type: standard",
                           "trigger point: 10",
                           "SETNVOP clock: 2099/12/31 24:59",
                           "host CPU clock: 0000/00/00 00:00",
                           "ch1 Curr.-U(%): min -10, max 14.75",
                           "ch10 Slip-Freq.(%): min -100, max 147.5",
                           "ch12 Motor-Temp(degree): min -120, max 177"};
    }
    void info() {
        QFETCH(QString, file);
        QFETCH(QStringList, lines);
        const Run run = Trace({"info", DataDir + "/" + file});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.err.isEmpty());
        const QStringList output = run.out.split('\n', Qt::SkipEmptyParts);
        for (const QString &line : lines)
            QVERIFY2(output.contains(line), qPrintable(line + "\n---\n" + run.out));
        QCOMPARE(output.filter(QRegularExpression("^ch\\d+ .*: min .*, max ")).size(), 12);
    }

    void exportCsv_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("row1");
        QTest::addColumn<QString>("row100");
        QTest::newRow("raw, type E")
            << "typeE.vnx"
            << "sample,Curr.-U(%),Curr.-V(%),Curr.-W(%),DC-Volt.(V),Output-Volt.(V),"
               "Motor-Speed(%),Speed-Ref.(%),Torque-Ref.(%),Output-Freq.(%),Id-ref.(%),"
               "Iq-ref.(%),Control phase(degree),flag1,flag2,flag3,flag4"
            << "0,-10,-20,-30,-200,-250,-15,-17.5,-80,-22.5,-83.333336,-91.66667,-32.958984,"
               "0x0082,0x0000,0x0000,0xFFFF"
            << "99,9.8,19.6,29.4,196,245,14.7,17.15,78.4,22.05,81.66667,89.833336,32.299805,"
               "0x0082,0x0063,0x0000,0xFFFF";
        QTest::newRow("normalized, standard")
            << "standard.vnb"
            << "sample,Curr.-U(%),Curr.-V(%),Curr.-W(%),DC-Volt.(V),Output-Volt.(V),"
               "Motor-Speed(%),Speed-Ref.(%),Torque-Ref.(%),Output-Freq.(%),Slip-Freq.(%),"
               "Flux-Ref.(%),Motor-Temp(degree),flag1,flag2,flag3,flag4"
            << "1000,-10,-20,-30,-40,-50,-60,-70,-80,-90,-100,-110,-120,"
               "0x0000,0x0000,0x01FF,0x0000"
            << "1099,14.75,29.5,44.25,59,73.75,88.5,103.25,118,132.75,147.5,162.25,177,"
               "0x0129,0x0000,0x01FF,0x0000";
    }
    void exportCsv() {
        QFETCH(QString, file);
        QFETCH(QString, header);
        QFETCH(QString, row1);
        QFETCH(QString, row100);
        // A locale with a decimal comma must not change the CSV.
        const Run run = Trace({"export", DataDir + "/" + file}, "de_DE.UTF-8");
        QCOMPARE(run.exitCode, 0);
        const QStringList rows = run.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(rows.size(), 101);
        QCOMPARE(rows[0], header);
        QCOMPARE(rows[1], row1);
        QCOMPARE(rows[100], row100);
        for (const QString &row : rows)
            QCOMPARE(row.count(','), 16);

        // --out writes the same text to a file.
        QTemporaryDir dir;
        const QString csv = dir.filePath("out.csv");
        const Run toFile = Trace({"export", DataDir + "/" + file, "--out", csv});
        QCOMPARE(toFile.exitCode, 0);
        QVERIFY(toFile.out.isEmpty());
        QFile written(csv);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(written.readAll()), run.out);
    }

    void unreadableFiles_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("expected");
        for (const char *command : {"info", "export", "events", "diagnose"}) {
            QTest::addRow("%s, 50 lines", command)
                << command << "short50.vnx" << QStringList{"short50.vnx", "Line 51:"};
            QTest::addRow("%s, bad field", command)
                << command << "badline7.vnx" << QStringList{"badline7.vnx", "Line 7:", "-4x0"};
            QTest::addRow("%s, missing file", command)
                << command << "gone.vnx" << QStringList{"gone.vnx", "cannot be opened"};
            // Refused at once: a FIFO without a writer would keep the command waiting.
            QTest::addRow("%s, FIFO", command)
                << command << scratch.filePath("fifo.vnx")
                << QStringList{"fifo.vnx", "cannot be opened", "Not a regular file"};
            QTest::addRow("%s, device", command)
                << command << "/dev/zero"
                << QStringList{"/dev/zero", "cannot be opened", "Not a regular file"};
            QTest::addRow("%s, folder", command) << command << scratch.filePath("folder.vnb")
                                                 << QStringList{"folder.vnb", "cannot be opened"};
        }
    }
    void unreadableFiles() {
        QFETCH(QString, command);
        QFETCH(QString, file);
        QFETCH(QStringList, expected);
        const Run run = Trace({command, file.startsWith('/') ? file : DataDir + "/" + file});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.out.isEmpty());
        for (const QString &part : expected)
            QVERIFY2(run.err.contains(part), qPrintable(run.err));
    }

    void failedExportChangesNothing_data() {
        QTest::addColumn<QString>("target"); // "existing", "new", "fifo" or "device"
        QTest::addColumn<long long>("sizeLimit");
        QTest::addColumn<QString>("reason");
        QTest::newRow("existing file, size limit") << "existing" << 1024LL << "File too large";
        QTest::newRow("existing file, nothing fits") << "existing" << 0LL << "File too large";
        QTest::newRow("new file, size limit") << "new" << 1024LL << "File too large";
        QTest::newRow("FIFO") << "fifo" << -1LL << "Not a regular file";
        QTest::newRow("device") << "device" << -1LL << "Not a regular file";
    }
    void failedExportChangesNothing() {
        QFETCH(QString, target);
        QFETCH(long long, sizeLimit);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QString path = dir.filePath("x.csv");
        const QByteArray old = "an older export, kept byte for byte\r\n";
        if (target == "existing") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(old);
        } else if (target == "fifo") {
            QVERIFY(MakeFifo(path));
        } else if (target == "device") {
            path = WriteRefusingDevice(dir.path());
        }
        const QStringList before =
            QDir(dir.path())
                .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
        const Run run =
            Trace({"export", DataDir + "/typeE.vnx", "--out", path}, "C.UTF-8", sizeLimit);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(path) && run.err.contains(reason), qPrintable(run.err));
        QCOMPARE(
            QDir(dir.path())
                .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
            before);
        if (target == "existing")
            QCOMPARE(ReadFile(path), old);
        else if (target != "new")
            QCOMPARE(FileKindAt(path), target);
    }

    void outputThatCannotBeWritten_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("info") << QStringList{"info", DataDir + "/typeE.vnx"};
        QTest::newRow("export") << QStringList{"export", DataDir + "/standard.vnb"};
        QTest::newRow("help") << QStringList{"export", "--help"};
        QTest::newRow("events") << QStringList{"events", DataDir + "/typeE.vnx"};
        QTest::newRow("summary") << QStringList{"summary", DataDir + "/typeE.vnx"};
        QTest::newRow("diagnose") << QStringList{"diagnose", DataDir + "/typeE.vnx"};
    }
    void outputThatCannotBeWritten() {
        QFETCH(QStringList, arguments);
        const Run run = Trace(arguments, "C.UTF-8", -1, "/dev/full");
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("cannot write to standard output: No space left on device"),
                 qPrintable(run.err));
    }

    void endingsInAnyCase() {
        // A name written in capitals by another system holds the same kind of values.
        for (const char *name : {"standard.vnb", "typeE.vnx"}) {
            const QString upper = scratch.filePath(QString(name).toUpper());
            QVERIFY(QFile::copy(DataDir + "/" + name, upper));
            const QStringList info = Trace({"info", upper}).out.split('\n');
            const QStringList expected = Trace({"info", DataDir + "/" + name}).out.split('\n');
            QCOMPARE(info.size(), 19);
            QCOMPARE(info.mid(1), expected.mid(1)); // all but the "file:" line
            QCOMPARE(Trace({"export", upper}).out, Trace({"export", DataDir + "/" + name}).out);
        }
    }

    void exportToAnUnwritablePlace() {
        const Run run = Trace({"export", DataDir + "/typeE.vnx", "--out", "/no-such-folder/x.csv"});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("/no-such-folder/x.csv"), qPrintable(run.err));
    }

    void usage_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        const QString file = DataDir + "/typeE.vnx";
        QTest::newRow("info without file") << QStringList{"info"} << 2;
        QTest::newRow("info with two files") << QStringList{"info", file, file} << 2;
        QTest::newRow("info with an option") << QStringList{"info", "--fast", file} << 2;
        QTest::newRow("export without file") << QStringList{"export"} << 2;
        QTest::newRow("export --out without name") << QStringList{"export", file, "--out"} << 2;
        QTest::newRow("export --out twice")
            << QStringList{"export", file, "--out", "a.csv", "--out", "b.csv"} << 2;
        QTest::newRow("events without file") << QStringList{"events"} << 2;
        QTest::newRow("events with two files") << QStringList{"events", file, file} << 2;
        QTest::newRow("events --lang de") << QStringList{"events", file, "--lang", "de"} << 2;
        QTest::newRow("events, option as language")
            << QStringList{"events", "--lang", "--help", file} << 2;
        QTest::newRow("events --lang without value") << QStringList{"events", file, "--lang"} << 2;
        QTest::newRow("events --lang twice")
            << QStringList{"events", file, "--lang", "en", "--lang", "ja"} << 2;
        QTest::newRow("summary without file") << QStringList{"summary"} << 2;
        QTest::newRow("diagnose without file") << QStringList{"diagnose"} << 2;
        QTest::newRow("diagnose --lang de") << QStringList{"diagnose", file, "--lang", "de"} << 2;
        QTest::newRow("diagnose --help") << QStringList{"diagnose", "--help"} << 0;
        QTest::newRow("summary with an option") << QStringList{"summary", file, "--fast"} << 2;
        QTest::newRow("summary --help") << QStringList{"summary", "--help"} << 0;
        QTest::newRow("events --help") << QStringList{"events", "--help"} << 0;
        QTest::newRow("info --help") << QStringList{"info", "--help"} << 0;
        QTest::newRow("export --help") << QStringList{"export", "--help"} << 0;
    }
    void usage() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        const Run run = Trace(arguments);
        QCOMPARE(run.exitCode, exitCode);
        const QString &text = exitCode == 0 ? run.out : run.err;
        QVERIFY2(text.contains("usage: vandrel-trace " + arguments[0]), qPrintable(text));
        // A usage error writes nothing but the message and the usage.
        if (exitCode != 0)
            QVERIFY(run.out.isEmpty());
    }

private:
    QTemporaryDir scratch;
};

QTEST_APPLESS_MAIN(tst_TraceCli)
#include "tst_TraceCli.moc"
