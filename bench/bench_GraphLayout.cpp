// Times the graph window with five charts: one LayoutCharts that refills them, and one resize.
// Prints median figures; never fails on time. With --screenshot FILE it also saves a picture of
// the main frame with the graph window open.

#include "ChannelChart.h"
#include "MonitorApplication.h"
#include "ReferenceTrace.h"
#include "TForm1.h"
#include "TForm6.h"
#include "TGraghForm.h"
#include "WindowState.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QPushButton>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <numbers>
#include <vector>

namespace {

// A plausible trip: currents oscillating and growing, DC link dipping, speed falling.
void FillSampleTrace(TTraceRecord &record) {
    for (int n = 0; n < SampleCount; ++n) {
        const double t = n / 100.0;
        const double growth = n < 70 ? 1.0 : 1.0 + (n - 70) / 10.0;
        for (int phase = 0; phase < 3; ++phase)
            record.Value[n][phase] = static_cast<float>(std::round(
                2500 * growth * std::sin(2 * std::numbers::pi * 6 * t - phase * 2.0944)));
        record.Value[n][3] = static_cast<float>(n < 70 ? 2830 : 2830 - (n - 70) * 25);
        record.Value[n][4] = static_cast<float>(2000 + 30 * std::sin(n / 3.0));
        record.Value[n][5] = static_cast<float>(n < 70 ? 16000 : 16000 - (n - 70) * 300);
        record.Value[n][6] = 16000;
        record.Value[n][7] = static_cast<float>(std::round(4000 * growth));
        record.Value[n][8] = static_cast<float>(n < 70 ? 10000 : 9000);
        record.Value[n][11] = static_cast<float>(450 + n / 10);
    }
    record.Header[0] = 30;
    const int stamp[10] = {9, 8, 5, 7, 3, 9, 8, 5, 7, 4};
    for (int j = 0; j < 10; ++j)
        record.Header[j + 1] = stamp[j];
}

// The machine may be shared: CPU time of this thread shows the work itself, wall time what a
// user waits.
double ThreadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

struct Timing {
    std::vector<double> wall;
    std::vector<double> cpu;
};

template <typename Work> Timing Measure(int runs, Work work) {
    Timing timing;
    QElapsedTimer timer;
    for (int i = 0; i < runs; ++i) {
        const double cpuStart = ThreadCpuMs();
        timer.start();
        work(i);
        timing.wall.push_back(timer.nsecsElapsed() / 1e6);
        timing.cpu.push_back(ThreadCpuMs() - cpuStart);
    }
    return timing;
}

// Moves every shown channel a little, so every chart has new points to draw.
void Shift(TTraceRecord &record, int run) {
    for (int n = 0; n < SampleCount; ++n)
        for (const int c : {0, 3, 5, 7, 11})
            record.Value[n][c] += run % 2 ? 40.0f : -40.0f;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void Report(const char *what, const Timing &t) {
    std::printf("%-46s median wall %6.2f ms  cpu %6.2f ms   (min wall %6.2f, max wall %6.2f, "
                "%zu runs)\n",
                what, Median(t.wall), Median(t.cpu),
                *std::min_element(t.wall.begin(), t.wall.end()),
                *std::max_element(t.wall.begin(), t.wall.end()), t.wall.size());
}

} // namespace

int main(int argc, char *argv[]) {
    MonitorApplication app(argc, argv);
    QString screenshot;
    const QStringList args = app.arguments();
    if (const auto i = args.indexOf(QStringLiteral("--screenshot")); i >= 0 && i + 1 < args.size())
        screenshot = args[i + 1];

    TForm1 frame;
    frame.resize(1280, 900);
    frame.show();
    FillSampleTrace(frame.Record);
    frame.N1Click();
    TGraghForm *graph = GraghForm;
    for (const int ch : {1, 4, 6, 8, 12})
        graph->CheckBox[ch]->click();
    QApplication::processEvents();

    if (!screenshot.isEmpty()) {
        frame.grab().save(screenshot);
        std::printf("saved %s\n", qPrintable(screenshot));
        if (const auto j = args.indexOf(QStringLiteral("--names-screenshot")); j >= 0) {
            graph->Button3->click();
            QApplication::processEvents();
            graph->ChannelWindow()->grab().save(args.value(j + 1));
        }
        return 0;
    }

    constexpr int Runs = 41;
    const Timing layout = Measure(Runs, [&](int i) {
        Shift(frame.Record, i);
        graph->LayoutCharts();
    });
    // Qt Charts lays out and redraws from posted events; a fair figure includes them and
    // changes the data every time, so that nothing can be skipped.
    const Timing layoutPaint = Measure(Runs, [&](int i) {
        Shift(frame.Record, i);
        graph->LayoutCharts();
        QApplication::processEvents();
        graph->repaint();
    });
    auto *subWindow = qobject_cast<QMdiSubWindow *>(graph->parentWidget());
    const QSize base = subWindow->size();
    const Timing resize = Measure(Runs, [&](int i) {
        subWindow->resize(base - QSize(i % 2 ? 0 : 37, i % 2 ? 0 : 23));
        QApplication::processEvents();
        graph->repaint();
    });
    // The same resize with a reference beneath every chart: another trigger, so that the
    // pairing by trigger shifts it, and other values, so that the ranges cover both.
    TraceUnits reference{frame.Record, DriveTypeE, IsNormalized != 0};
    reference.Record.Header[0] = 70;
    for (int n = 0; n < SampleCount; ++n)
        for (int c = 0; c < ChannelCount; ++c)
            reference.Record.Value[n][c] *= 0.8f;
    frame.Document->SetReference(reference);
    QApplication::processEvents();
    const Timing resizeReference = Measure(Runs, [&](int i) {
        subWindow->resize(base - QSize(i % 2 ? 0 : 37, i % 2 ? 0 : 23));
        QApplication::processEvents();
        graph->repaint();
    });
    std::printf("graph window %dx%d, five charts of %dx%d\n", graph->width(), graph->height(),
                graph->Chart[1]->width(), graph->Chart[1]->height());
    Report("LayoutCharts refilling five charts (call)", layout);
    Report("LayoutCharts + events + repaint of the window", layoutPaint);
    Report("resize with five charts (redraw, events, repaint)", resize);
    Report("resize with five charts and a reference", resizeReference);
    return 0;
}
