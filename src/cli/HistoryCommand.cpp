// vandrel-trace history and note: the kept traces as CSV, ranked by likeness to one trace, and
// the note of a trace file.

#include "Commands.h"
#include "HistoryIndex.h"
#include "TraceFileCommand.h"
#include "TraceHistory.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringList>
#include <charconv>
#include <cstdio>
#include <string>

namespace {

const char *const HistoryUsage =
    "usage: vandrel-trace history [--dir DIR]... [--similar FILE] [--limit N]\n"
    "\n"
    "Lists the trace files (.vnx, .vnb) under each DIR, by default the history folder, as CSV\n"
    "on standard output: the header\n"
    "file,trip_time,drive_type,first_fault_word,first_fault_bit,first_fault,likely_cause,\n"
    "peak_current,note, then one row per file, newest trip first. The index beside the\n"
    "history folder is brought up to date first; an index that cannot be read is renamed\n"
    "aside and built again from the files, said on stderr.\n"
    "\n"
    "  --dir DIR       a folder to list (repeatable), searched with its subfolders\n"
    "  --similar FILE  rank by likeness to the trace in FILE: the same first fault first, then\n"
    "                  nearest waveform; a first column distance\n"
    "  --limit N       at most N rows\n"
    "\n"
    "Exit status: 0 done, 1 the index or FILE cannot be read or the CSV cannot be written,\n"
    "2 usage error.\n";

const char *const NoteUsage =
    "usage: vandrel-trace note FILE --text TEXT\n"
    "\n"
    "Sets the note of the trace file FILE in the history's index, indexing FILE first when\n"
    "needed. The note belongs to the file's contents: a renamed or moved copy keeps it. An\n"
    "empty TEXT removes the note.\n"
    "\n"
    "Exit status: 0 done, 1 FILE is no trace file or the index cannot be written, 2 usage\n"
    "error.\n";

void Write(const std::string &text) {
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size())
        NoteOutputError();
}

QString Local(const std::string &text) {
    return QString::fromLocal8Bit(text.c_str());
}

int RunHistory(const CommandArgs &args) {
    long long limit = -1;
    if (args.IsSet("limit")) {
        const std::string text = args.Value("limit");
        const auto result = std::from_chars(text.data(), text.data() + text.size(), limit);
        if (result.ec != std::errc() || result.ptr != text.data() + text.size() || limit < 0)
            return args.UsageError("--limit takes a whole number, not '" + text + "'");
    }
    int appArgc = 1;
    char appName[] = "vandrel-trace";
    char *appArgv[] = {appName, nullptr};
    QCoreApplication app(appArgc, appArgv);

    CommandTrace current;
    const bool similar = args.IsSet("similar");
    if (similar && !LoadCommandTrace(args.Value("similar").c_str(), current))
        return 1;

    QStringList folders;
    for (const std::string &dir : args.Values("dir"))
        folders << Local(dir);
    if (folders.isEmpty())
        folders << HistoryFolder();

    HistoryIndex index;
    std::vector<HistoryRow> rows;
    QString error;
    const bool listed = index.List(folders, &rows, &error);
    if (!index.Notice().isEmpty())
        std::fprintf(stderr, "vandrel-trace history: %s\n", qPrintable(index.Notice()));
    if (!listed) {
        std::fprintf(stderr, "vandrel-trace history: %s: %s\n",
                     qPrintable(QDir::toNativeSeparators(index.Path())), qPrintable(error));
        return 1;
    }
    if (similar) {
        std::vector<LikenessKey> keys;
        if (!index.Keys(rows, &keys, &error)) {
            std::fprintf(stderr, "vandrel-trace history: %s: %s\n",
                         qPrintable(QDir::toNativeSeparators(index.Path())), qPrintable(error));
            return 1;
        }
        rows = RankRowsByLikeness(current, std::move(rows), keys);
    }
    if (limit >= 0 && static_cast<unsigned long long>(limit) < rows.size())
        rows.resize(static_cast<std::size_t>(limit));
    std::string out = HistoryCsvHeader(similar) + '\n';
    for (const HistoryRow &row : rows) {
        out += HistoryCsvLine(row, similar);
        out += '\n';
        if (out.size() > (1 << 16)) {
            Write(out);
            out.clear();
        }
    }
    Write(out);
    return 0;
}

int RunNote(const CommandArgs &args) {
    if (!args.IsSet("text"))
        return args.UsageError("--text is required");
    int appArgc = 1;
    char appName[] = "vandrel-trace";
    char *appArgv[] = {appName, nullptr};
    QCoreApplication app(appArgc, appArgv);
    HistoryIndex index;
    QString error;
    const bool set = index.SetNote(Local(args.Arguments()[0]), Local(args.Value("text")), &error);
    if (!index.Notice().isEmpty())
        std::fprintf(stderr, "vandrel-trace note: %s\n", qPrintable(index.Notice()));
    if (!set) {
        std::fprintf(stderr, "vandrel-trace note: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}

} // namespace

const CommandDef HistoryCommand = {
    "history",
    "[--dir DIR]... [--similar FILE] [--limit N]",
    "the kept traces as CSV, or ranked by likeness to FILE",
    HistoryUsage,
    {{"dir", "DIR", nullptr, true}, {"similar", "FILE"}, {"limit", "N"}},
    "",
    0,
    0,
    &RunHistory,
};

const CommandDef NoteCommand = {
    "note",
    "FILE --text TEXT",
    "set the note of a trace file in the history",
    NoteUsage,
    {{"text", "TEXT"}},
    "FILE",
    1,
    1,
    &RunNote,
};
