// A full read against vandrel-drive-sim --pace: wall time against the time the bytes need on
// a 9600-baud line, and the CPU the reader spends meanwhile.

#include "Protocol.h"
#include "ReadSession.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <cstdio>
#include <sys/resource.h>

namespace {

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Times the reader went to sleep and was woken (by the line, a timer or anything else).
long WakeUps() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_nvcsw;
}

// Every request and reply byte of a read, at 10 bits per byte.
double LineSeconds() {
    std::size_t bytes = 0;
    const std::size_t counts[] = {1,   1,   232, 232, 232, 232, 232, 232, 232,
                                  232, 232, 232, 232, 232, 232, 184, 11};
    for (std::size_t n : counts)
        bytes += RequestLength + 17 + 2 * n;
    return static_cast<double>(bytes) * 10.0 / 9600.0;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QProcess sim;
    sim.start(QStringLiteral(VANDREL_BIN_DIR "/vandrel-drive-sim"), {"--pace"});
    if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000)) {
        std::fputs("bench_DriveRead: vandrel-drive-sim did not start\n", stderr);
        return 1;
    }
    const QString path = QString::fromLocal8Bit(sim.readLine()).trimmed();
    const double limit = LineSeconds();
    std::printf("read of the new trace, %d runs, no settle wait, %s\n", 3, qPrintable(path));
    std::printf("line-time limit: %.3f s (17 exchanges, 10 bits per byte at 9600 baud)\n", limit);

    int failures = 0;
    for (int run = 1; run <= 3; ++run) {
        ReadSession session;
        session.SetSettleWait(false);
        bool done = false;
        bool success = false;
        QObject::connect(&session, &ReadSession::Finished, [&](bool ok) {
            done = true;
            success = ok;
        });
        const double cpu0 = CpuSeconds();
        const long wakeUps0 = WakeUps();
        QElapsedTimer wall;
        wall.start();
        session.Start(path, false);
        while (!done)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const double seconds = static_cast<double>(wall.nsecsElapsed()) / 1e9;
        const double cpu = CpuSeconds() - cpu0;
        const long wakeUps = WakeUps() - wakeUps0;
        if (!success)
            ++failures;
        std::printf("run %d: %s  wall %.3f s  ratio %.4f  CPU %.3f s (%.2f %% of wall), "
                    "%ld wake-ups, %.1f us CPU each\n",
                    run, success ? "ok    " : "FAILED", seconds, seconds / limit, cpu,
                    100.0 * cpu / seconds, wakeUps,
                    wakeUps > 0 ? 1e6 * cpu / static_cast<double>(wakeUps) : 0.0);
        std::fflush(stdout);
        QTest::qWait(300);
    }
    sim.kill();
    sim.waitForFinished();
    std::printf("targets: ratio <= 1.05, CPU <= 1 %% of wall\n");
    return failures == 0 ? 0 : 1;
}
