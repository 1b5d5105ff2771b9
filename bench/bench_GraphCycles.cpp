// Opens and closes the graph window through the main frame many times and prints how much the
// process grew. Each cycle ticks five channels, shows the channel-name window and draws, so
// every part of the window is built, used and freed. Prints figures; never fails on memory.

#include "MonitorApplication.h"
#include "TForm1.h"
#include "TForm6.h"
#include "TGraghForm.h"

#include <QAction>
#include <QCheckBox>
#include <QPushButton>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace {

// Resident set size of this process in kB.
long ResidentKb() {
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

void Settle() {
    QApplication::processEvents();
    // Closed windows are freed by deferred deletion, which a loop outside exec() must ask for.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

bool plain = false;

void Cycle(TForm1 &frame) {
    frame.N1->trigger();
    TGraghForm *graph = GraghForm;
    if (!graph) {
        std::fprintf(stderr, "the graph window did not open\n");
        std::exit(1);
    }
    if (!plain) {
        for (const int ch : {1, 4, 6, 8, 12})
            graph->CheckBox[ch]->click();
        graph->Button3->click();
    }
    Settle();
    graph->repaint();
    graph->Button4->click();
    Settle();
}

} // namespace

int main(int argc, char *argv[]) {
    MonitorApplication app(argc, argv);
    int cycles = 100;
    const QStringList args = app.arguments();
    if (const auto i = args.indexOf(QStringLiteral("--cycles")); i >= 0 && i + 1 < args.size())
        cycles = std::max(1, args[i + 1].toInt());
    // --plain only opens and closes the window, as a user who just looks does.
    plain = args.contains(QStringLiteral("--plain"));

    TForm1 frame;
    frame.resize(1280, 900);
    frame.show();
    for (int n = 0; n < SampleCount; ++n)
        for (int c = 0; c < ChannelCount; ++c)
            frame.Record.Value[n][c] = static_cast<float>((n * 37 + c * 1000) % 4000 - 2000);
    Settle();

    const long start = ResidentKb();
    // The first cycle fills the caches of fonts, styles and the chart component.
    Cycle(frame);
    const long warm = ResidentKb();
    for (int i = 1; i < cycles; ++i)
        Cycle(frame);
    const long end = ResidentKb();
    std::printf("graph window open/close cycles: %d\n", cycles);
    std::printf("RSS before the first cycle     %8ld kB\n", start);
    std::printf("RSS after the first cycle      %8ld kB\n", warm);
    std::printf("RSS after %3d cycles           %8ld kB\n", cycles, end);
    std::printf("growth over all %3d cycles     %8ld kB\n", cycles, end - start);
    std::printf("growth after the first cycle   %8ld kB (%.1f kB per cycle)\n", end - warm,
                cycles > 1 ? double(end - warm) / (cycles - 1) : 0.0);
    return 0;
}
