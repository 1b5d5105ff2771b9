// Program entry of the monitor.

#include "MonitorApplication.h"
#include "TForm1.h"

#include <QStringList>
#include <QTimer>

int main(int argc, char *argv[]) {
    MonitorApplication app(argc, argv);
    TForm1 frame;
    frame.showMaximized();
    // vandrel-monitor FILE opens FILE as File, Open would, once the frame is on screen.
    const QStringList arguments = app.arguments();
    if (arguments.size() > 1) {
        const QString path = arguments.at(1);
        QTimer::singleShot(0, &frame, [&frame, path] { frame.OpenTraceFile(path); });
    }
    return app.exec();
}
