// Prints how many trace files per second vandrel-trace summary gets through: 10,000 small trace
// files in one run of the program, as a fleet's worth of trips would be compared.

#include "TraceFile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <random>
#include <sys/resource.h>

namespace {

constexpr int FileCount = 10000;

// A trace with values over the whole 16-bit range, a fault rising somewhere and a status word
// that changes now and then, so that every file takes the whole path: events, first fault,
// peaks.
TTraceRecord Trace(std::mt19937 &random) {
    TTraceRecord record;
    ResetRecord(record);
    record.Header[0] = static_cast<std::int32_t>(random() % 100);
    const int fault = static_cast<int>(random() % 100);
    for (int s = 0; s < SampleCount; ++s) {
        for (int c = 0; c < ChannelCount; ++c)
            record.Value[s][c] = static_cast<float>(static_cast<int>(random() % 65536) - 32768);
        record.Flag[s][0] = s >= fault ? 1 << (fault % 16) : 0;
        record.Flag[s][2] = s % 20 < 10 ? 0x0003 : 0x0083;
    }
    return record;
}

} // namespace

int main() {
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "bench_Summary: no temporary folder\n");
        return 1;
    }
    std::mt19937 random(7);
    QStringList arguments{QStringLiteral("summary")};
    for (int k = 0; k < FileCount; ++k) {
        const QString path = dir.filePath(QStringLiteral("trip%1.vnx").arg(k, 5, 10, QChar('0')));
        QFile file(path);
        const std::string text = WriteTraceFile(Trace(random), k % 2, false);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(text.data(), static_cast<qint64>(text.size())) !=
                static_cast<qint64>(text.size())) {
            std::fprintf(stderr, "bench_Summary: cannot write %s\n", qPrintable(path));
            return 1;
        }
        arguments << path;
    }

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
        rows != FileCount + 1) {
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
                FileCount, seconds, FileCount / seconds, cpu, FileCount / cpu);
    return 0;
}
