// The read session over a real pseudo-terminal against vandrel-drive-sim.

#include "DriveModel.h"
#include "DriveSim.h"
#include "Platform.h"
#include "PortLock.h"
#include "PortNames.h"
#include "ReadSession.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

struct Run {
    QStringList lines;
    QStringList openFailures;
    QList<int> progress;
    bool finished = false;
    bool success = false;
};

// Starts a read and records its signals until Finished (or the time limit).
Run Read(ReadSession &session, const QString &port, bool old = false, int limitMs = 20000) {
    Run run;
    QObject context;
    QObject::connect(&session, &ReadSession::MessageLine, &context,
                     [&](const QString &line) { run.lines << line; });
    QObject::connect(&session, &ReadSession::OpenFailed, &context,
                     [&](const QString &text) { run.openFailures << text; });
    QObject::connect(&session, &ReadSession::Progress, &context,
                     [&](int done, int total) { run.progress << done * 100 + total; });
    QObject::connect(&session, &ReadSession::Finished, &context, [&](bool success) {
        QVERIFY(!run.finished);
        run.finished = true;
        run.success = success;
    });
    session.Start(port, old);
    (void)QTest::qWaitFor([&] { return run.finished; }, limitMs);
    return run;
}

} // namespace

class tst_ReadSession : public QObject {
    Q_OBJECT
private slots:
    void successfulRead_data() {
        QTest::addColumn<bool>("old");
        QTest::addColumn<bool>("japanese");
        QTest::newRow("new, English") << false << false;
        QTest::newRow("old, Japanese") << true << true;
    }
    void successfulRead() {
        QFETCH(bool, old);
        QFETCH(bool, japanese);
        const std::int32_t language = japanese ? LanguageJapanese : LanguageEnglish;
        DriveSim sim(QStringList{});
        QVERIFY(sim.Started());
        QVERIFY(sim.path.startsWith("/dev/"));
        ReadSession session;
        session.SetSettleWait(false);
        session.SetLanguage([language] { return language; });
        const Run run = Read(session, sim.path, old);
        QVERIFY(run.finished);
        QVERIFY(run.success);
        QVERIFY(session.Succeeded());
        QVERIFY(!session.IsRunning());
        QCOMPARE(run.lines, japanese ? QStringList({"通信中", "通信正常終了！"})
                                     : QStringList({"Communicating...", "Normally End!"}));
        QCOMPARE(run.progress.first(), 17);
        QCOMPARE(run.progress.last(), 1717);
        QCOMPARE(run.progress.size(), 18);

        TTraceRecord record;
        ResetRecord(record);
        const std::optional<std::int32_t> driveType = session.ApplyTo(record);
        TDriveModel drive;
        static float value[SampleCount][ChannelCount];
        static std::int32_t flag[SampleCount][FlagWordCount];
        DecodeTraceImage(old ? drive.oldImage : drive.newImage, value, flag);
        QVERIFY(std::memcmp(record.Value, value, sizeof value) == 0);
        QVERIFY(std::memcmp(record.Flag, flag, sizeof flag) == 0);
        QCOMPARE(record.Header[0], int((old ? drive.oldHeader : drive.newHeader)[0]));
        QCOMPARE(driveType.value_or(-1), 1);

        // The port was closed: a second read on the same line works.
        const Run again = Read(session, sim.path, old);
        QVERIFY(again.success);
    }

    void failuresOverTheLine_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("line");
        QTest::newRow("refusal") << QStringList{"--fault", "5:nak:83"} << "ERROR :  SumCheck Error";
        QTest::newRow("unknown refusal")
            << QStringList{"--fault", "17:nak:12"} << "ERROR :  Other Error";
        QTest::newRow("lowercase sum")
            << QStringList{"--fault", "1:lowersum"} << "ERROR :  SumCheck Error";
        QTest::newRow("flood") << QStringList{"--fault", "9:flood"} << "ERROR :  TimeOut Error";
        QTest::newRow("garbage") << QStringList{"--fault", "16:garbage"} << "ERROR :  Other Error";
        QTest::newRow("no old trace") << QStringList{"--status", "1"} << "Old Data does not exist!";
    }
    void failuresOverTheLine() {
        QFETCH(QStringList, args);
        QFETCH(QString, line);
        DriveSim sim(args);
        QVERIFY(sim.Started());
        ReadSession session;
        session.SetSettleWait(false);
        TTraceRecord record;
        ResetRecord(record);
        const TTraceRecord before = record;
        const Run run = Read(session, sim.path, true);
        QVERIFY(run.finished);
        QVERIFY(!run.success);
        QCOMPARE(run.lines, QStringList({"Communicating...", line}));
        QVERIFY(!session.ApplyTo(record).has_value());
        QVERIFY(record == before);
    }

    void pacedLine_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("line");
        QTest::newRow("bad sum after a full block")
            << QStringList{"--fault", "4:badsum"} << "ERROR :  SumCheck Error";
        QTest::newRow("refusal instead of a block")
            << QStringList{"--fault", "3:nak:68"} << "ERROR :  Command Error";
        QTest::newRow("short block, then a refusal")
            << QStringList{"--fault", "3:short", "--fault", "4:nak:90"} << "ERROR :  ENQ Error";
        QTest::newRow("split block, then a refusal")
            << QStringList{"--fault", "3:split", "--fault", "4:nak:90"} << "ERROR :  ENQ Error";
    }
    void pacedLine() {
        // Replies that trickle in at 9600 baud, a byte at a time, are collected whole.
        QFETCH(QStringList, args);
        QFETCH(QString, line);
        DriveSim sim(QStringList{"--pace"} + args);
        QVERIFY(sim.Started());
        ReadSession session;
        session.SetSettleWait(false);
        const Run run = Read(session, sim.path);
        QCOMPARE(run.lines, QStringList({"Communicating...", line}));
    }

    void splitRepliesAreCollected() {
        DriveSim sim({"--fault", "3:split", "--fault", "17:split"});
        QVERIFY(sim.Started());
        ReadSession session;
        session.SetSettleWait(false);
        const Run run = Read(session, sim.path);
        QVERIFY(run.success);
        QCOMPARE(run.lines.size(), 2);
    }

    void timeOutOnAFakeClock() {
        DriveSim sim({"--fault", "9:nolf"});
        QVERIFY(sim.Started());
        ReadSession session;
        session.SetSettleWait(false);
        std::int64_t now = 5000;
        // The clock moves only while the read waits for the broken reply.
        session.SetClock([&] { return now; });
        QObject context;
        connect(&session, &ReadSession::Progress, &context, [&](int done, int) {
            if (done == 8)
                now += 11;
        });
        QElapsedTimer timer;
        timer.start();
        const Run run = Read(session, sim.path);
        QCOMPARE(run.lines, QStringList({"Communicating...", "ERROR :  TimeOut Error"}));
        QVERIFY(timer.elapsed() < 9000); // the real clock would have taken 10 s
    }

    void settleWaitFollowsTheClock() {
        DriveSim sim(QStringList{});
        QVERIFY(sim.Started());
        ReadSession session;
        std::int64_t now = 100;
        session.SetClock([&] { return now; });
        QSignalSpy progress(&session, &ReadSession::Progress);
        QSignalSpy finished(&session, &ReadSession::Finished);
        session.Start(sim.path, false);
        QTest::qWait(400);
        now = 101; // 1 s later: still settling
        QTest::qWait(300);
        QCOMPARE(progress.size(), 1); // only the initial (0, 17)
        QVERIFY(session.IsRunning());
        now = 102;
        QVERIFY(finished.wait(10000) || finished.size() == 1);
        QCOMPARE(finished.first().first().toBool(), true);
    }

    // Every reason a port does not open reaches the user, under the unchanged first line;
    // the read ends at once, without a settle wait or a time-out.
    void openFailures_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason"); // after "<device>: "; empty: one line only
        QTest::newRow("missing device") << "missing"
                                        << "No such file or directory (the device does not exist)";
        QTest::newRow("not a serial line") << "null" << QString();
        QTest::newRow("no access") << "denied"
                                   << "Permission denied (the user must be in the group dialout)";
        QTest::newRow("held exclusively") << "exclusive"
                                          << "Device or resource busy (in use by another program)";
    }
    void openFailures() {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        DriveSim sim;
        QString port = "/dev/vandrel-no-such-port";
        int holder = -1;
        if (kind == "null") {
            port = "/dev/null";
        } else if (kind == "denied") {
            if (geteuid() == 0)
                QSKIP("root may open any device");
            port = dir.filePath("ttyNoAccess");
            QFile device(port);
            QVERIFY(device.open(QIODevice::WriteOnly));
            QVERIFY(device.setPermissions({}));
        } else if (kind == "exclusive") {
            if (geteuid() == 0)
                QSKIP("root may open a device held exclusively");
            QVERIFY(sim.Start({}));
            port = sim.path;
            holder = ::open(QFile::encodeName(port).constData(), O_RDWR | O_NOCTTY);
            QVERIFY(holder >= 0);
            QCOMPARE(::ioctl(holder, TIOCEXCL), 0);
        }
        ReadSession session;
        QSignalSpy failures(&session, &ReadSession::OpenFailed);
        QSignalSpy lines(&session, &ReadSession::MessageLine);
        QSignalSpy finished(&session, &ReadSession::Finished);
        session.Start(port, false);
        const auto release = qScopeGuard([holder] {
            if (holder >= 0)
                ::close(holder);
        });
        QCOMPARE(finished.size(), 1); // before Start returned
        QCOMPARE(finished.first().first().toBool(), false);
        QVERIFY(!session.IsRunning());
        QCOMPARE(failures.size(), 1);
        const QString expected = reason.isEmpty()
                                     ? QString("GetCommState Error!")
                                     : QString("CreateFile Error!\n%1: %2").arg(port, reason);
        QCOMPARE(failures.first().first().toString(), expected);
        QCOMPARE(lines.size(), 1); // "Communicating..."; the window shows the failure itself
        QCOMPARE(session.OpenPort(port), expected);
    }

    // Lock files beside a real pseudo-terminal. One left empty by a process that died before
    // writing its id is removed (at once when old, after the grace time when young); one that
    // somebody holds names itself.
    void lockFiles_data() {
        QTest::addColumn<int>("ageSeconds");
        QTest::addColumn<bool>("held");
        QTest::newRow("empty, abandoned") << 60 << false;
        QTest::newRow("empty, just created") << 0 << false;
        QTest::newRow("empty, locked by a live owner") << 60 << true;
    }
    void lockFiles() {
        QFETCH(int, ageSeconds);
        QFETCH(bool, held);
        DriveSim sim(QStringList{});
        QVERIFY(sim.Started());
        const QString lock = SerialLockFilePath(sim.path);
        if (lock.isEmpty() || !QFileInfo(QFileInfo(lock).path()).isWritable())
            QSKIP("no writable lock folder");
        ReadSession session;
        session.SetSettleWait(false);
        // The lock file named is the one the serial port really uses.
        QCOMPARE(session.OpenPort(sim.path), QString());
        QCOMPARE(LockFileOwner(lock), QCoreApplication::applicationPid());
        session.ClosePort();
        QVERIFY(!QFile::exists(lock));

        QFile file(lock);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const auto remove = qScopeGuard([&] { QFile::remove(lock); });
        const QDateTime stamp = QDateTime::currentDateTime().addSecs(-ageSeconds);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(stamp, QFileDevice::FileModificationTime));
        if (held)
            QCOMPARE(::flock(file.handle(), LOCK_EX | LOCK_NB), 0);
        else
            file.close();

        const QString locked =
            QString("CreateFile Error!\n%1: locked by the lock file %2; remove it if no program "
                    "is using the port")
                .arg(sim.path, lock);
        if (held || ageSeconds == 0)
            QCOMPARE(session.OpenPort(sim.path), locked); // no waiting outside a read
        const Run run = Read(session, sim.path);
        QCOMPARE(run.success, !held);
        QCOMPARE(run.openFailures, held ? QStringList{locked} : QStringList{});
        QCOMPARE(QFile::exists(lock), held);
    }

    void portItemsUseTheirStoredDevice() {
        DriveSim sim(QStringList{});
        QVERIFY(sim.Started());
        StoreDevicePath("COM7", sim.path);
        ReadSession session;
        session.SetSettleWait(false);
        QVERIFY(Read(session, "COM7").success);
        StoreDevicePath("COM7", "/dev/vandrel-no-such-port");
        QCOMPARE(Read(session, "COM7").openFailures,
                 QStringList{"CreateFile Error!\n/dev/vandrel-no-such-port: No such file or "
                             "directory (the device does not exist)"});
    }

    void attachedDeviceForThisRunOnly() {
        DriveSim sim(QStringList{});
        QVERIFY(sim.Started());
        StoreDevicePath("COM4", "/dev/vandrel-no-such-port");
        AttachDevicePath("COM4", sim.path);
        QCOMPARE(DevicePathFor("COM4"), sim.path);
        // Nothing of the attachment reaches the user's settings.
        QCOMPARE(OpenUserSettings()->value("Devices/COM4").toString(),
                 QString("/dev/vandrel-no-such-port"));
        QCOMPARE(DevicePathFor("COM10"), QString("COM10")); // not a port item: a path
        ReadSession session;
        session.SetSettleWait(false);
        QVERIFY(Read(session, "COM4").success);
    }

    void deviceGoneMidRead() {
        // The drive keeps silent at the fourth request, then goes away.
        auto sim = std::make_unique<DriveSim>(QStringList{"--fault", "4:timeout"});
        QVERIFY(sim->Started());
        ReadSession session;
        session.SetSettleWait(false);
        QObject context;
        connect(&session, &ReadSession::Progress, &context, [&](int done, int) {
            if (done == 3)
                sim.reset();
        });
        QElapsedTimer timer;
        timer.start();
        const Run run = Read(session, sim ? sim->path : QString());
        QVERIFY(run.finished);
        QVERIFY(!run.success);
        QCOMPARE(run.lines.size(), 2);
        QVERIFY(run.lines[1].startsWith("ERROR :"));
        QVERIFY(timer.elapsed() < 9000); // not the time-out of the silent drive
        QVERIFY(!session.IsRunning());
    }

    void cancelStopsEverything() {
        // The reply to the fourth request comes in two pieces, after the read was cancelled.
        DriveSim sim({"--fault", "4:split"});
        QVERIFY(sim.Started());
        ReadSession session;
        session.SetSettleWait(false);
        QSignalSpy lines(&session, &ReadSession::MessageLine);
        QSignalSpy finished(&session, &ReadSession::Finished);
        auto context = std::make_unique<QObject>();
        connect(&session, &ReadSession::Progress, context.get(), [&](int done, int) {
            if (done == 3)
                session.Cancel();
        });
        session.Start(sim.path, false);
        QVERIFY(QTest::qWaitFor([&] { return !session.IsRunning(); }, 10000));
        context.reset();
        QVERIFY(!session.IsPortOpen());
        QTest::qWait(200); // the late reply would have come by now
        QCOMPARE(lines.size(), 1);
        QCOMPARE(finished.size(), 0);
        // The port is free again.
        QVERIFY(Read(session, sim.path).success);
    }

    void portIsOpenedExclusively() {
        DriveSim sim({"--fault", "1:timeout"});
        QVERIFY(sim.Started());
        ReadSession first;
        first.SetSettleWait(false);
        first.Start(sim.path, false);
        ReadSession second;
        const Run run = Read(second, sim.path);
        QCOMPARE(run.openFailures,
                 QStringList{QString("CreateFile Error!\n%1: Device or resource busy (in use by "
                                     "process %2, %3)")
                                 .arg(sim.path)
                                 .arg(QCoreApplication::applicationPid())
                                 .arg(SerialLockFilePath(sim.path))});
        QVERIFY(first.IsRunning());
        first.Cancel();
    }

    void secondStartWhileRunningIsIgnored() {
        DriveSim sim(QStringList{});
        QVERIFY(sim.Started());
        ReadSession session;
        session.SetSettleWait(false);
        QSignalSpy lines(&session, &ReadSession::MessageLine);
        QSignalSpy finished(&session, &ReadSession::Finished);
        session.Start(sim.path, false);
        session.Start(sim.path, true);
        QVERIFY(finished.wait(10000));
        QTest::qWait(100);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(lines.size(), 2);
    }
};

QTEST_GUILESS_MAIN(tst_ReadSession)
#include "tst_ReadSession.moc"
