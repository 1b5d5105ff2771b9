// Prints the four figures of the trace history over 10,000 trace files: indexing them cold,
// listing them again unchanged, ranking them by likeness, and filling the history window.

#include "HistoryIndex.h"
#include "HistoryModel.h"
#include "TraceFile.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QTableView>
#include <QTemporaryDir>
#include <cstdio>
#include <random>

namespace {

constexpr int FileCount = 10000;

// A trip with a fault rising somewhere and values over the whole 16-bit range.
TTraceRecord Trace(std::mt19937 &random) {
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

void Report(const char *what, qint64 ms, qint64 target) {
    std::printf("%-44s %6lld ms (target at most %lld ms)\n", what, static_cast<long long>(ms),
                static_cast<long long>(target));
}

} // namespace

int main(int argc, char *argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "bench_History: no temporary folder\n");
        return 1;
    }
    const QString folder = dir.filePath(QStringLiteral("trips"));
    QDir().mkpath(folder);
    std::mt19937 random(7);
    for (int k = 0; k < FileCount; ++k) {
        const QString path = folder + QStringLiteral("/trip%1.vnx").arg(k, 5, 10, QChar('0'));
        QFile file(path);
        const std::string text = WriteTraceFile(Trace(random), k % 2, false);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(text.data(), static_cast<qint64>(text.size())) !=
                static_cast<qint64>(text.size())) {
            std::fprintf(stderr, "bench_History: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }

    HistoryIndex index(dir.filePath(QStringLiteral("index.sqlite")));
    std::vector<HistoryRow> rows;
    QString error;
    QElapsedTimer timer;
    timer.start();
    if (!index.List({folder}, &rows, &error)) {
        std::fprintf(stderr, "bench_History: %s\n", qPrintable(error));
        return 1;
    }
    const qint64 cold = timer.elapsed();
    timer.restart();
    index.List({folder}, &rows, &error);
    const qint64 warm = timer.elapsed();

    std::vector<LikenessKey> keys;
    timer.restart();
    index.Keys(rows, &keys, &error);
    const qint64 read = timer.elapsed();
    const LikenessKey current = keys.at(keys.size() / 2);
    timer.restart();
    const std::vector<RankedTrace> ranked = RankByLikeness(current, keys);
    const qint64 rank = timer.elapsed();

    HistoryModel model(false);
    HistoryFilter filter(model);
    QTableView view;
    view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view.setModel(&filter);
    view.setSortingEnabled(true);
    view.resize(1000, 700);
    view.show();
    QApplication::processEvents();
    timer.restart();
    model.SetRows(rows);
    view.sortByColumn(0, Qt::DescendingOrder);
    view.repaint();
    const qint64 fill = timer.elapsed();

    std::printf("bench_History: %d trace files, %zu rows, nearest is row %zu\n", FileCount,
                rows.size(), ranked.front().Index);
    Report("index cold", cold, 2000);
    Report("list again unchanged", warm, 300);
    std::printf("%-44s %6lld ms\n", "read the shapes to rank", static_cast<long long>(read));
    Report("rank by likeness", rank, 100);
    Report("fill the window", fill, 100);
    return 0;
}
