// Program entry of the monitor.

#include "Dialogs.h"
#include "GitRevision.h"
#include "MonitorApplication.h"
#include "PortNames.h"
#include "TForm1.h"
#include "TraceHistory.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QStringList>
#include <QTimer>
#include <cstdio>
#include <exception>
#include <string_view>

namespace {

// The only option serves demonstrations and tests: a simulated drive on a pseudo-terminal
// stands in for a port item without changing what the user stored for it.
const QCommandLineOption &AttachOption() {
    static const QCommandLineOption attach(
        QStringLiteral("attach"),
        QStringLiteral("For this run, port item COMn (COM1..COM9) stands for device PATH."),
        QStringLiteral("COMn=PATH"));
    return attach;
}

// The folder every read is kept in; remembered in the settings for later runs and for
// vandrel-trace.
const QCommandLineOption &HistoryOption() {
    static const QCommandLineOption history(
        QStringLiteral("history"),
        QStringLiteral("Keep every trace read from the drive in DIR (remembered) instead of the "
                       "application data folder's history."),
        QStringLiteral("DIR"));
    return history;
}

void DescribeOptions(QCommandLineParser &parser) {
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(AttachOption());
    parser.addOption(HistoryOption());
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("Trace file (.vnx or .vnb) to open at start."));
}

// QCommandLineParser answers --version with "<name> <version>": for that answer they become
// "Norvex Vandrel Monitor Version 2.30" and, on a line of its own, the build's git revision.
// It prints them, or shows them in a message box where a Windows program has no console.
void PrepareVersionAnswer(const QCommandLineParser &parser) {
    if (!parser.isSet(QStringLiteral("version")))
        return;
    QCoreApplication::setApplicationName(QStringLiteral("Norvex Vandrel Monitor"));
    QCoreApplication::setApplicationVersion(
        QStringLiteral("Version ") + QString::number(ProgramVersion, 'f', 2) +
        QStringLiteral("\nGit revision: " VANDREL_GIT_REVISION));
}

bool AsksForHelpOrVersion(int argc, char *argv[]) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--")
            break;
        for (const std::string_view option :
             {"-h", "-?", "--help", "--help-all", "-v", "--version"})
            if (arg == option)
                return true;
    }
    return false;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication::setApplicationName(QStringLiteral("Vandrel Monitor"));
    QCoreApplication::setApplicationVersion(QString::number(ProgramVersion, 'f', 2));
    // Ties the windows to vandrel-monitor.desktop (its icon and name on Wayland task bars).
    QGuiApplication::setDesktopFileName(QStringLiteral("vandrel-monitor"));

    // Help and version are answered without a display: the widgets' application object would
    // stop at once where no screen can be opened.
    if (AsksForHelpOrVersion(argc, argv)) {
        QCoreApplication console(argc, argv);
        QCommandLineParser parser;
        DescribeOptions(parser);
        // The options of the widgets' application object (-platform, -style, ...) are known
        // only to it: with any of them, it answers below.
        if (parser.parse(console.arguments())) {
            PrepareVersionAnswer(parser);
            parser.process(console); // prints and ends the program
        }
    }

    MonitorApplication app(argc, argv);
    QCommandLineParser parser;
    DescribeOptions(parser);
    const QCommandLineOption &attach = AttachOption();
    if (parser.parse(app.arguments()))
        PrepareVersionAnswer(parser);
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
    if (parser.isSet(HistoryOption())) {
        const QString folder = parser.value(HistoryOption());
        if (folder.isEmpty()) {
            std::fprintf(stderr, "vandrel-monitor: --history wants a folder\n");
            return 2;
        }
        SetHistoryFolder(folder);
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
