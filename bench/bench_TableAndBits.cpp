// Median time to fill the whole data table and to draw one flag word (1,600 points) on the
// bit graph, each alone and with the repaint that follows. Runs offscreen; prints figures.

#include "Fonts.h"
#include "TForm1.h"
#include "TForm3.h"
#include "TForm4.h"

#include <QAction>
#include <QApplication>
#include <QChartView>
#include <QElapsedTimer>
#include <QTableView>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

namespace {

constexpr int Runs = 51;

double MedianMs(const std::function<void()> &work) {
    std::vector<double> times;
    work(); // warm-up: fonts, caches, first layout
    for (int i = 0; i < Runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void FillRecord(TTraceRecord &record) {
    // Values of every size the table meets: raw 16-bit words, so normalised texts vary.
    std::mt19937 random(7);
    std::uniform_int_distribution<int> raw(-32768, 32767);
    std::uniform_int_distribution<int> word(0, 0xFFFF);
    for (int n = 0; n < SampleCount; ++n) {
        for (int c = 0; c < ChannelCount; ++c)
            record.Value[n][c] = static_cast<float>(raw(random));
        for (int w = 0; w < FlagWordCount; ++w)
            record.Flag[n][w] = word(random);
    }
}

} // namespace

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    RegisterFontSubstitutions();
    TForm1 frame;
    frame.resize(1280, 960);
    frame.show();
    FillRecord(frame.Record);

    frame.N3->trigger();
    TForm3 *table = Form3;
    const double fill = MedianMs([table] { table->FillGrid(); });
    const double fillPaint = MedianMs([table] {
        table->FillGrid();
        table->StringGrid1->viewport()->grab();
    });

    frame.N2->trigger();
    TForm4 *bits = Form4;
    int w = 0;
    const double draw = MedianMs([bits, &w] { bits->DrawFlagWord(w++ % FlagWordCount); });
    const double drawPaint = MedianMs([bits, &w] {
        bits->DrawFlagWord(w++ % FlagWordCount);
        bits->ChartView->grab();
    });

    std::printf("data table, fill 101 x 17 cells:             median %7.3f ms (%d runs)\n", fill,
                Runs);
    std::printf("data table, fill and repaint the grid:        median %7.3f ms\n", fillPaint);
    std::printf("bit graph, draw one flag word (1,600 points): median %7.3f ms\n", draw);
    std::printf("bit graph, draw and repaint the chart:        median %7.3f ms\n", drawPaint);
    std::printf("target: at most 16 ms each\n");
    return 0;
}
