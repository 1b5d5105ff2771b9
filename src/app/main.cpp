// Program entry of the monitor.

#include "Dialogs.h"
#include "MonitorApplication.h"
#include "PortNames.h"
#include "TForm1.h"

#include <QCommandLineParser>
#include <QScreen>
#include <QStringList>
#include <QTimer>
#include <cstdio>
#include <exception>

int main(int argc, char *argv[]) {
    MonitorApplication app(argc, argv);

    // The only option serves demonstrations and tests: a simulated drive on a pseudo-terminal
    // stands in for a port item without changing what the user stored for it.
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption attach(
        QStringLiteral("attach"),
        QStringLiteral("For this run, port item COMn (COM1..COM9) stands for device PATH."),
        QStringLiteral("COMn=PATH"));
    parser.addOption(attach);
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("Trace file (.vnx or .vnb) to open at start."));
    parser.process(app);
    for (const QString &value : parser.values(attach)) {
        const qsizetype equals = value.indexOf(QLatin1Char('='));
        const QString item = value.left(equals);
        const QString path = value.mid(equals + 1);
        if (equals < 0 || !IsPortItem(item) || path.isEmpty()) {
            std::fprintf(stderr, "vandrel-monitor: --attach wants COMn=PATH, not \"%s\"\n",
                         qPrintable(value));
            return 2;
        }
        AttachDevicePath(item, path);
    }

    // A failure during start-up is told like one in a handler, then the program ends.
    try {
        TForm1 frame;
        // Fill the screen even where no window manager honours the maximised state.
        if (const QScreen *screen = app.primaryScreen())
            frame.setGeometry(screen->availableGeometry());
        frame.showMaximized();
        // vandrel-monitor FILE opens FILE as File, Open would, once the frame is on screen.
        const QStringList files = parser.positionalArguments();
        if (!files.isEmpty()) {
            const QString path = files.first();
            QTimer::singleShot(0, &frame, [&frame, path] { frame.OpenTraceFile(path); });
        }
        return app.exec();
    } catch (const std::exception &error) {
        Dialogs::Current().Message(nullptr, app.applicationName(),
                                   QString::fromLocal8Bit(error.what()), QMessageBox::Critical);
    }
    return 1;
}
