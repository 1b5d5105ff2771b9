// Median time of one hover move over the graph window's five charts (the hover line in every
// chart, the readout, and the repaint of the graph window and the bit graph that follows) and
// of one wheel zoom step. Runs offscreen; prints figures, never fails on time.
// --shot <file.png> also saves a picture of the graph window with cursors, hover and marker.

#include "ChannelChart.h"
#include "Fonts.h"
#include "TForm1.h"
#include "TForm4.h"
#include "TGraghForm.h"
#include "TimeViewState.h"
#include "WindowState.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QMouseEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int Runs = 50;

double MedianMs(const std::function<void(int)> &work) {
    std::vector<double> times;
    work(-1); // warm-up: fonts, caches, first layout
    for (int i = 0; i < Runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work(i);
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return (times[Runs / 2 - 1] + times[Runs / 2]) / 2;
}

// Until the scenes have drawn what changed: the scene gathers its changes in one posted call,
// the views paint in the next pass.
void Paint() {
    QApplication::processEvents();
    QApplication::processEvents();
}

void Move(ChannelChart *chart, int k) {
    const QPointF at(chart->SampleXInChart(k), chart->height() / 2.0);
    QMouseEvent move(QEvent::MouseMove, at, chart->viewport()->mapToGlobal(at), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(chart->viewport(), &move);
}

void Wheel(ChannelChart *chart, int k, int steps) {
    const QPointF at(chart->SampleXInChart(k), chart->height() / 2.0);
    QWheelEvent wheel(at, chart->viewport()->mapToGlobal(at), QPoint(),
                      QPoint(0, steps * QWheelEvent::DefaultDeltasPerStep), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(chart->viewport(), &wheel);
}

} // namespace

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    RegisterFontSubstitutions();
    const QStringList args = app.arguments();
    QString shot;
    if (const auto i = args.indexOf(QStringLiteral("--shot")); i >= 0 && i + 1 < args.size())
        shot = args[i + 1];
    if (args.contains(QStringLiteral("--japanese")))
        Language = LanguageJapanese;

    TForm1 frame;
    frame.resize(1280, 960);
    frame.show();
    IsNormalized = 1;
    for (int n = 0; n < SampleCount; ++n)
        for (int c = 0; c < ChannelCount; ++c)
            frame.Record.Value[n][c] = static_cast<float>((n * 37 + c * 1000) % 4000 - 2000) / 10;
    frame.Record.Header[0] = 60;

    frame.N1->trigger();
    TGraghForm *graph = GraghForm;
    for (const int ch : {1, 4, 6, 8, 12})
        graph->CheckBox[ch]->click();
    frame.N2->trigger();
    // Both windows side by side, so that each paints all it shows.
    if (auto *area = frame.findChild<QMdiArea *>())
        area->tileSubWindows();
    Paint();
    ChannelChart *chart = graph->Chart[3];

    const double hover = MedianMs([chart](int i) {
        Move(chart, 20 + (i + 1) % 2 * 7);
        Paint();
    });
    const double hoverFull = MedianMs([chart, graph](int i) {
        Move(chart, 20 + (i + 1) % 2 * 7);
        graph->repaint();
        if (Form4)
            Form4->repaint();
    });
    Form1->Document->TimeView().PlaceA(30);
    Form1->Document->TimeView().PlaceB(70);
    const double cursorsHover = MedianMs([chart](int i) {
        Move(chart, 40 + (i + 1) % 2 * 3);
        Paint();
    });
    const double zoom = MedianMs([chart](int i) {
        Wheel(chart, 45, i % 2 == 0 ? 1 : -1);
        Paint();
    });

    std::printf("hover move over 5 charts, lines + readout + painted:  median %7.3f ms (%d runs)\n",
                hover, Runs);
    std::printf("the same with cursors A and B set:                    median %7.3f ms\n",
                cursorsHover);
    std::printf("hover move, then repaint both windows whole:          median %7.3f ms\n",
                hoverFull);
    std::printf("wheel zoom step, 5 charts refitted + painted:         median %7.3f ms\n", zoom);
    std::printf("target: at most 8 ms each\n");

    if (!shot.isEmpty()) {
        Form1->Document->TimeView().ShowAllSamples();
        Wheel(chart, 40, 1);
        Move(chart, 55);
        Paint();
        graph->grab().save(shot);
    }
    return 0;
}
