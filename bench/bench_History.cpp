// Prints the figures of the trace history over 10,000 trace files: indexing them cold,
// listing them again unchanged, ranking them by likeness, and filling the history window.

#include "BenchTrips.h"
#include "HistoryIndex.h"
#include "HistoryModel.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QTableView>
#include <QTemporaryDir>
#include <cstdio>

namespace {

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
    QStringList paths;
    if (!WriteBenchTrips(folder, &paths, "bench_History"))
        return 1;

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

    std::printf("bench_History: %d trace files, %zu rows, nearest is row %zu\n", BenchTripCount,
                rows.size(), ranked.front().Index);
    Report("index cold", cold, 2000);
    Report("list again unchanged", warm, 300);
    std::printf("%-44s %6lld ms\n", "read the shapes to rank", static_cast<long long>(read));
    Report("rank by likeness", rank, 100);
    Report("fill the window", fill, 100);
    return 0;
}
