// vandrel-trace read against vandrel-drive-sim: printed lines, exit status, --out.

#include "DriveModel.h"
#include "DriveSim.h"
#include "FileFaults.h"
#include "PortNames.h"
#include "TraceFileIO.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>

namespace {

struct Result {
    int status = -1;
    QStringList lines;
    QString error;
};

// sizeLimit: the largest file the command may write (RLIMIT_FSIZE), -1 for none.
Result RunRead(const QStringList &args, long long sizeLimit = -1) {
    QProcess process;
    if (sizeLimit >= 0)
        LimitFileSizeOf(process, sizeLimit);
    process.start(QStringLiteral(VANDREL_BIN_DIR "/vandrel-trace"), QStringList{"read"} + args);
    Result result;
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    result.lines = out.split('\n');
    if (result.lines.last().isEmpty())
        result.lines.removeLast();
    result.error = QString::fromUtf8(process.readAllStandardError());
    return result;
}

QStringList Entries(const QString &folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class tst_ReadCommand : public QObject {
    Q_OBJECT
private slots:
    void reads_data() {
        QTest::addColumn<QStringList>("simArgs");
        QTest::addColumn<QStringList>("readArgs");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("new") << QStringList{} << QStringList{} << 0
                             << QStringList{"Communicating...", "Normally End!"};
        QTest::newRow("old, Japanese") << QStringList{} << QStringList{"--old", "--lang", "ja"} << 0
                                       << QStringList{"通信中", "通信正常終了！"};
        QTest::newRow("unknown ROM")
            << QStringList{"--rom", "X"} << QStringList{} << 0
            << QStringList{"Communicating...", "Frash Rom Warnning!!", "Normally End!"};
        QTest::newRow("refusal") << QStringList{"--fault", "9:nak:90"} << QStringList{} << 1
                                 << QStringList{"Communicating...", "ERROR :  ENQ Error"};
        QTest::newRow("no new trace, Japanese")
            << QStringList{"--status", "0"} << QStringList{"--lang", "ja"} << 1
            << QStringList{"通信中", "New Dataはありません！"};
        QTest::newRow("bad sum at the header")
            << QStringList{"--fault", "17:badsum"} << QStringList{} << 1
            << QStringList{"Communicating...", "ERROR :  SumCheck Error"};
        QTest::newRow("refusal code of three digits")
            << QStringList{"--fault", "1:nak:100"} << QStringList{} << 1
            << QStringList{"Communicating...", "ERROR :  Other Error"};
        QTest::newRow("garbage, Japanese")
            << QStringList{"--fault", "2:garbage"} << QStringList{"--lang", "ja"} << 1
            << QStringList{"通信中", "ERROR :  Other Error"};
    }
    void reads() {
        QFETCH(QStringList, simArgs);
        QFETCH(QStringList, readArgs);
        QFETCH(int, status);
        QFETCH(QStringList, lines);
        DriveSim sim(simArgs);
        QVERIFY(sim.Started());
        const Result r = RunRead(QStringList{"--port", sim.path, "--no-settle"} + readArgs);
        QCOMPARE(r.status, status);
        QCOMPARE(r.lines, lines);
        QCOMPARE(r.error, QString());
    }

    void usageErrors_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no port") << QStringList{};
        QTest::newRow("port without value") << QStringList{"--port"};
        QTest::newRow("option as port") << QStringList{"--port", "--old"};
        QTest::newRow("option as out file") << QStringList{"--port", "COM1", "--out", "--old"};
        QTest::newRow("bad language") << QStringList{"--port", "COM1", "--lang", "de"};
        QTest::newRow("unknown option") << QStringList{"--port", "COM1", "--fast"};
    }
    void usageErrors() {
        QFETCH(QStringList, args);
        const Result r = RunRead(args);
        QCOMPARE(r.status, 2);
        QVERIFY(r.lines.isEmpty());
        QVERIFY(r.error.contains("usage:"));
    }

    void help() {
        const Result r = RunRead({"--help"});
        QCOMPARE(r.status, 0);
        QVERIFY(r.lines.join('\n').contains("usage: vandrel-trace read --port PORT"));
        QCOMPARE(r.error, QString());
    }

    void simulatorRefusesBadOptions_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("exchange 18") << QStringList{"--fault", "18:timeout"};
        QTest::newRow("unknown fault") << QStringList{"--fault", "3:slow"};
        QTest::newRow("empty refusal code") << QStringList{"--fault", "3:nak:"};
        QTest::newRow("status out of range") << QStringList{"--status", "256"};
        QTest::newRow("ROM of two characters") << QStringList{"--rom", "EV"};
        QTest::newRow("unknown option") << QStringList{"--fast"};
    }
    void simulatorRefusesBadOptions() {
        QFETCH(QStringList, args);
        QProcess sim;
        sim.start(QStringLiteral(VANDREL_BIN_DIR "/vandrel-drive-sim"), args);
        QVERIFY(sim.waitForFinished(10000));
        QCOMPARE(sim.exitCode(), 2);
        QVERIFY(sim.readAllStandardOutput().isEmpty()); // no device path: nothing to attach
        QVERIFY(sim.readAllStandardError().contains("usage:"));
    }

    void portThatCannotBeOpened() {
        QElapsedTimer timer;
        timer.start();
        const Result r = RunRead({"--port", "/dev/vandrel-no-such-port"});
        QCOMPARE(r.status, 2);
        QCOMPARE(r.lines, QStringList{"Communicating..."});
        QCOMPARE(r.error,
                 QString("vandrel-trace read: /dev/vandrel-no-such-port: CreateFile Error!\n"
                         "vandrel-trace read: /dev/vandrel-no-such-port: No such file or "
                         "directory (the device does not exist)\n"));
        QVERIFY(timer.elapsed() < 9000); // no time-out
    }

    // The system's time is set forward or back again and again while the drive stays silent:
    // the read still settles for 1-2 s and waits 10-11 s for the reply, not less, not forever.
    void timeOutWhileTheClockIsSet() {
        struct Case {
            const char *step;
            DriveSim sim{QStringList{"--fault", "2:timeout"}};
            QProcess process;
            qint64 elapsed = -1;
        };
        Case cases[2];
        cases[0].step = "3600";
        cases[1].step = "-3600";
        QElapsedTimer timer;
        timer.start();
        // Both at once: each takes 11 to 13 s of real time.
        for (Case &c : cases) {
            QVERIFY(c.sim.Started());
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("LD_PRELOAD", QStringLiteral(VANDREL_BIN_DIR "/../lib/clockstep.so"));
            env.insert("CLOCK_STEP_SECONDS", c.step);
            env.insert("CLOCK_STEP_EVERY_MS", "300");
            // A sanitized program accepts a preloaded library ahead of its runtime.
            env.insert("ASAN_OPTIONS",
                       env.value("ASAN_OPTIONS") + QStringLiteral(":verify_asan_link_order=0"));
            c.process.setProcessEnvironment(env);
            c.process.start(QStringLiteral(VANDREL_BIN_DIR "/vandrel-trace"),
                            {"read", "--port", c.sim.path, "--lang", "en"});
            QVERIFY(c.process.waitForStarted(10000));
            QObject::connect(&c.process, &QProcess::finished, &c.process,
                             [&c, &timer] { c.elapsed = timer.elapsed(); });
        }
        QVERIFY(
            QTest::qWaitFor([&] { return cases[0].elapsed >= 0 && cases[1].elapsed >= 0; }, 60000));
        for (Case &c : cases) {
            QCOMPARE(c.process.readAllStandardOutput(),
                     QByteArray("Communicating...\nERROR :  TimeOut Error\n"));
            QCOMPARE(c.process.exitCode(), 1);
            QVERIFY2(c.elapsed >= 10900, qPrintable(QString::number(c.elapsed)));
        }
    }

    void portItemFollowsTheSettings() {
        DriveSim sim(QStringList{});
        QVERIFY(sim.Started());
        StoreDevicePath("COM2", sim.path);
        const Result r = RunRead({"--port", "COM2", "--no-settle", "--lang", "en"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.lines.last(), QString("Normally End!"));
    }

    void settleWaitUnlessSkipped() {
        DriveSim sim(QStringList{});
        QVERIFY(sim.Started());
        QElapsedTimer timer;
        timer.start();
        const Result r = RunRead({"--port", sim.path, "--lang", "en"});
        QCOMPARE(r.status, 0);
        QVERIFY2(timer.elapsed() >= 900, qPrintable(QString::number(timer.elapsed())));
    }

    void outOnlyAfterASuccessfulRead() {
        QTemporaryDir dir;
        const QString fresh = dir.filePath("fresh.vnx");
        const QString existing = dir.filePath("existing.vnx");
        {
            QFile f(existing);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("keep me\n");
        }
        {
            DriveSim quick({"--fault", "12:badsum"});
            QVERIFY(quick.Started());
            for (const QString &out : {fresh, existing}) {
                const Result r = RunRead({"--port", quick.path, "--no-settle", "--out", out});
                QCOMPARE(r.status, 1);
            }
        }
        QVERIFY(!QFile::exists(fresh));
        QFile f(existing);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("keep me\n"));
        f.close();
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"existing.vnx"});

        // A successful read replaces the existing file with the trace the drive holds.
        DriveSim sim({"--rom", "V"});
        QVERIFY(sim.Started());
        for (const QString &out : {fresh, existing}) {
            const Result r = RunRead({"--port", sim.path, "--no-settle", "--old", "--out", out});
            QCOMPARE(r.lines.last(), QString("Normally End!"));
            QCOMPARE(r.status, 0);
            TTraceRecord saved;
            ResetRecord(saved);
            std::int32_t typeE = 1;
            QString error;
            QVERIFY2(LoadTraceFile(out, saved, typeE, &error, LanguageEnglish), qPrintable(error));
            TDriveModel drive;
            static float value[SampleCount][ChannelCount];
            static std::int32_t flag[SampleCount][FlagWordCount];
            DecodeTraceImage(drive.oldImage, value, flag);
            QVERIFY(std::memcmp(saved.Value, value, sizeof value) == 0);
            QVERIFY(std::memcmp(saved.Flag, flag, sizeof flag) == 0);
            for (int i = 0; i < HeaderCount; ++i)
                QCOMPARE(saved.Header[i], int(drive.oldHeader[static_cast<std::size_t>(i)]));
            QCOMPARE(saved.SampleNo[99], 99);
            QCOMPARE(typeE, 0);
        }
    }

    void failedOutChangesNothing_data() {
        QTest::addColumn<QString>("target"); // "existing", "new" or "fifo"
        QTest::addColumn<long long>("sizeLimit");
        QTest::addColumn<QString>("reason");
        QTest::newRow("existing file, size limit") << "existing" << 2048LL << "File too large";
        QTest::newRow("new file, size limit") << "new" << 1024LL << "File too large";
        QTest::newRow("FIFO") << "fifo" << -1LL << "Not a regular file";
    }
    void failedOutChangesNothing() {
        QFETCH(QString, target);
        QFETCH(long long, sizeLimit);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString out = dir.filePath("trip.vnx");
        const QByteArray old = "a good trace, kept byte for byte\r\n";
        if (target == "existing") {
            QFile f(out);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(old);
        } else if (target == "fifo") {
            QVERIFY(MakeFifo(out));
        }
        DriveSim sim(QStringList{});
        QVERIFY(sim.Started());
        const Result r = RunRead({"--port", sim.path, "--no-settle", "--out", out}, sizeLimit);
        QCOMPARE(r.lines.value(r.lines.size() - 1), QString("Normally End!"));
        QCOMPARE(r.status, 1);
        QVERIFY2(r.error.contains("cannot save " + out) && r.error.contains(reason),
                 qPrintable(r.error));
        const QStringList files =
            QDir(dir.path())
                .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
        QCOMPARE(files, target == "new" ? QStringList{} : QStringList{"trip.vnx"});
        if (target == "existing") {
            QFile f(out);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), old);
        } else if (target == "fifo") {
            QCOMPARE(FileKindAt(out), QString("fifo"));
        }
    }

    // Every read is kept once in the history folder, byte for byte what --out writes; a read
    // whose keeping fails still succeeds and says why on stderr.
    void keepsEveryRead_data() {
        QTest::addColumn<QStringList>("options"); // "@" stands for a folder of the test's own
        QTest::addColumn<long long>("sizeLimit");
        QTest::addColumn<int>("kept");
        QTest::addColumn<QString>("error");
        QTest::newRow("default folder") << QStringList{} << -1LL << 1 << "";
        QTest::newRow("--history") << QStringList{"--history", "@"} << -1LL << 1 << "";
        QTest::newRow("--no-history") << QStringList{"--no-history"} << -1LL << 0 << "";
        QTest::newRow("full disk") << QStringList{"--history", "@"} << 4096LL << 0
                                   << "read: The trace was not kept in the history: ";
    }
    void keepsEveryRead() {
        QFETCH(QStringList, options);
        QFETCH(long long, sizeLimit);
        QFETCH(int, kept);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QString own = dir.filePath("history");
        const QString folder =
            options.contains("@") ? own
                                  : QStandardPaths::writableLocation(
                                        QStandardPaths::GenericDataLocation) +
                                        "/Harkel/CON/history";
        QDir(folder).removeRecursively();
        options.replaceInStrings("@", own);
        DriveSim sim(QStringList{});
        QVERIFY(sim.Started());
        const QString out = dir.filePath("out.vnx");
        for (int read = 0; read < 2; ++read) {
            QStringList args = QStringList{"--port", sim.path, "--no-settle"} + options;
            if (sizeLimit < 0)
                args << "--out" << out;
            const Result r = RunRead(args, sizeLimit);
            QCOMPARE(r.status, 0);
            QVERIFY2(error.isEmpty() ? r.error.isEmpty() : r.error.contains(error),
                     qPrintable(r.error));
        }
        const QStringList files = Entries(folder);
        QCOMPARE(files.size(), kept);
        if (kept == 1) {
            QFile a(folder + "/" + files.first()), b(out);
            QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
            QCOMPARE(a.readAll(), b.readAll());
        }
    }
};

QTEST_GUILESS_MAIN(tst_ReadCommand)
#include "tst_ReadCommand.moc"
