// Prints how many trace files per second vandrel-trace summary gets through: 10,000 small trace
// files in one run of the program, as a fleet's worth of trips would be compared.

#include "BenchTrips.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

int main() {
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "bench_Summary: no temporary folder\n");
        return 1;
    }
    QStringList arguments{QStringLiteral("summary")};
    if (!WriteBenchTrips(dir.path(), &arguments, "bench_Summary"))
        return 1;

    QProcess process;
    QElapsedTimer timer;
    timer.start();
    process.start(QStringLiteral(VANDREL_BIN_DIR "/vandrel-trace"), arguments);
    QByteArray out;
    while (process.state() != QProcess::NotRunning || process.bytesAvailable() > 0) {
        process.waitForReadyRead(1000);
        out += process.readAllStandardOutput();
    }
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    const qsizetype rows = out.count('\n');
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0 ||
        rows != BenchTripCount + 1) {
        std::fprintf(stderr, "bench_Summary: summary failed (exit %d, %lld rows)\n%s",
                     process.exitCode(), static_cast<long long>(rows),
                     process.readAllStandardError().constData());
        return 1;
    }
    // The processor time the program itself took, for a machine busy with other work.
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const double cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                       static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    std::printf("summary of %d trace files in one run: %.3f s, %.0f files/s (%.3f s of "
                "processor time, %.0f files per processor second)\n",
                BenchTripCount, seconds, BenchTripCount / seconds, cpu, BenchTripCount / cpu);
    return 0;
}
