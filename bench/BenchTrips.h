#pragma once
// The trips the fleet-sized benchmarks work through: 10,000 small trace files.

#include "TraceFile.h"

#include <QFile>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <random>

inline constexpr int BenchTripCount = 10000;

// A trip with values over the whole 16-bit range, a trip time, a fault rising somewhere and a
// status word that changes now and then, so that every file takes the whole path: events,
// first fault, diagnosis, peaks.
inline TTraceRecord BenchTrip(std::mt19937 &random) {
    TTraceRecord record;
    ResetRecord(record);
    record.Header[0] = static_cast<std::int32_t>(random() % 100);
    for (int h = 1; h < HeaderCount; ++h)
        record.Header[h] = static_cast<std::int32_t>(1 + random() % 12);
    const int fault = static_cast<int>(random() % 100);
    for (int s = 0; s < SampleCount; ++s) {
        for (int c = 0; c < ChannelCount; ++c)
            record.Value[s][c] = static_cast<float>(static_cast<int>(random() % 65536) - 32768);
        record.Flag[s][0] = s >= fault ? 1 << (fault % 16) : 0;
        record.Flag[s][2] = s % 20 < 10 ? 0x0003 : 0x0083;
    }
    return record;
}

// Writes BenchTripCount trips as folder/tripNNNNN.vnx, the same ones on every run; their paths
// go to paths. Says on stderr what could not be written, as bench, and returns false then.
inline bool WriteBenchTrips(const QString &folder, QStringList *paths, const char *bench) {
    std::mt19937 random(7);
    for (int k = 0; k < BenchTripCount; ++k) {
        const QString path = folder + QStringLiteral("/trip%1.vnx").arg(k, 5, 10, QChar('0'));
        QFile file(path);
        const std::string text = WriteTraceFile(BenchTrip(random), k % 2, false);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(text.data(), static_cast<qint64>(text.size())) !=
                static_cast<qint64>(text.size())) {
            std::fprintf(stderr, "%s: cannot write %s\n", bench, qPrintable(path));
            return false;
        }
        *paths << path;
    }
    return true;
}
