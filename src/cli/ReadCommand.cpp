// vandrel-trace read: reads the new or old trace from the drive, printing the lines the
// communication window would show.

#include "Commands.h"

#include "ReadSession.h"
#include "TraceFileIO.h"
#include "TraceHistory.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTimer>
#include <cstdio>
#include <string>

namespace {

const char *const ReadUsage =
    "usage: vandrel-trace read --port PORT [--old] [--out FILE] [--lang en|ja] [--no-settle]\n"
    "                          [--history DIR | --no-history]\n"
    "\n"
    "Reads a fault trace from the drive and prints the progress and error lines.\n"
    "\n"
    "  --port PORT   COM1..COM9 (mapped to a device in the settings) or a device path\n"
    "  --old         read the old trace instead of the new one\n"
    "  --out FILE    save the trace as a .vnx file, only when the read succeeded\n"
    "  --lang en|ja  language of the lines (default: the system's)\n"
    "  --no-settle   skip the 1-2 s wait between opening the port and the first request\n"
    "  --history DIR keep the trace in DIR instead of the history folder\n"
    "  --no-history  do not keep the trace in the history folder\n"
    "\n"
    "Every trace read is kept at once in the history folder (the monitor's choice, by default\n"
    "$XDG_DATA_HOME/Harkel/CON/history), once for the same bytes. When it cannot be kept, a\n"
    "line on stderr says why and the read still counts as done.\n"
    "\n"
    "Exit status: 0 read (and saved), 1 the read, the save or the output failed, 2 usage error\n"
    "or the port could not be opened.\n";

struct ReadOptions {
    QString port;
    bool old = false;
    QString out;
    std::int32_t language = 0;
    bool settle = true;
    QString history; ///< where the read is kept; empty: not kept
};

// Returns 0 to go on, otherwise the exit status (after printing why).
int ReadOptionsOf(const CommandArgs &args, ReadOptions *options) {
    options->old = args.IsSet("old");
    options->settle = !args.IsSet("no-settle");
    options->port = QString::fromLocal8Bit(args.Value("port"));
    options->out = QString::fromLocal8Bit(args.Value("out"));
    if (!args.Language(&options->language))
        return 2;
    if (args.IsSet("no-history") && args.IsSet("history"))
        return args.UsageError("--history and --no-history exclude each other");
    if (options->port.isEmpty())
        return args.UsageError("--port is required");
    return 0;
}

void PrintLine(const QString &line) {
    const QByteArray bytes = line.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
    std::fputc('\n', stdout);
    if (std::fflush(stdout) != 0)
        NoteOutputError();
}

int RunRead(const CommandArgs &args) {
    ReadOptions options;
    if (const int status = ReadOptionsOf(args, &options); status != 0)
        return status;

    int appArgc = 1;
    char appName[] = "vandrel-trace";
    char *appArgv[] = {appName, nullptr};
    QCoreApplication app(appArgc, appArgv);
    const std::int32_t language = options.language;

    if (!args.IsSet("no-history"))
        options.history = args.IsSet("history") ? QString::fromLocal8Bit(args.Value("history"))
                                                : HistoryFolder();

    ReadSession session;
    session.SetLanguage([language] { return language; });
    session.SetSettleWait(options.settle);
    int exitStatus = 1;
    QObject::connect(&session, &ReadSession::MessageLine, &PrintLine);
    QObject::connect(&session, &ReadSession::OpenFailed, [&](const QString &text) {
        // "CreateFile Error!" for the port asked for, then the reason naming the device.
        const QStringList lines = text.split(QLatin1Char('\n'));
        std::fprintf(stderr, "vandrel-trace read: %s: %s\n", qPrintable(options.port),
                     qPrintable(lines.first()));
        for (qsizetype i = 1; i < lines.size(); ++i)
            std::fprintf(stderr, "vandrel-trace read: %s\n", qPrintable(lines[i]));
        exitStatus = 2;
    });
    QObject::connect(&session, &ReadSession::Finished, [&](bool success) {
        if (success) {
            exitStatus = 0;
            TTraceRecord record;
            ResetRecord(record);
            const std::int32_t driveType = session.ApplyTo(record).value_or(0);
            // Kept first: whatever fails later, the trace is on disk.
            if (!options.history.isEmpty()) {
                const KeptTrace kept = KeepTrace(options.history, record, driveType, options.old,
                                                 QDateTime::currentDateTime(), language);
                if (!kept.Kept)
                    std::fprintf(stderr, "vandrel-trace read: %s\n",
                                 qPrintable(NotKeptText(kept.Error, language)));
            }
            if (!options.out.isEmpty()) {
                QString error;
                if (!SaveTraceFile(options.out, record, driveType, false, &error, language)) {
                    std::fprintf(stderr, "vandrel-trace read: cannot save %s: %s\n",
                                 qPrintable(options.out), qPrintable(error));
                    exitStatus = 1;
                }
            }
        }
        QCoreApplication::exit(exitStatus);
    });
    QTimer::singleShot(0, &session, [&] { session.Start(options.port, options.old); });
    return app.exec();
}

} // namespace

const CommandDef ReadCommand = {
    "read",
    "--port PORT [--old] [--out FILE] [--lang en|ja] [--no-settle] [--history DIR | "
    "--no-history]",
    "read a trace from the drive",
    ReadUsage,
    {{"port", "PORT"},
     {"old", nullptr},
     {"out", "FILE"},
     LanguageOption(),
     {"no-settle", nullptr},
     {"history", "DIR"},
     {"no-history", nullptr}},
    nullptr,
    0,
    0,
    &RunRead,
};
