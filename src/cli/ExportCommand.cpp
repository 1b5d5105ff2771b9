// vandrel-trace export: one trace file as CSV in engineering units.

#include "CheckedSave.h"
#include "Commands.h"
#include "TraceFileCommand.h"

#include <QString>
#include <cstdio>
#include <string>

namespace {

const char *const ExportUsage =
    "usage: vandrel-trace export FILE [--out CSV]\n"
    "\n"
    "Writes the trace file FILE as CSV (comma separated, '.' as decimal point) to CSV, or to\n"
    "standard output without --out: a header row (sample, the twelve default English channel\n"
    "names for the file's drive type, flag1..flag4), then one row per sample with the sample\n"
    "number, the twelve values in engineering units and the four flag words as 0xHHHH.\n"
    ".vnx values are scaled by the factors of the file's drive type; .vnb values are written\n"
    "as stored.\n"
    "\n"
    "Exit status: 0 done, 1 the file cannot be read or the CSV cannot be written (the message\n"
    "names the line of the first bad field), 2 usage error.\n";

int RunExport(const CommandArgs &args) {
    const char *path = args.Arguments()[0].c_str();
    const std::string out = args.Value("out");
    const char *outPath = args.IsSet("out") ? out.c_str() : nullptr;
    CommandTrace trace;
    if (!LoadCommandTrace(path, trace))
        return 1;
    const std::string csv = TraceCsv(trace, CsvView::Exported);

    if (!outPath) {
        // Whether standard output took it all is checked once the command is done.
        if (std::fwrite(csv.data(), 1, csv.size(), stdout) != csv.size())
            NoteOutputError();
        return 0;
    }
    QString reason;
    if (!SaveFileChecked(QString::fromLocal8Bit(outPath), QByteArray::fromStdString(csv), &reason,
                         LanguageEnglish)) {
        std::fprintf(stderr, "vandrel-trace export: cannot write %s: %s\n", outPath,
                     reason.toLocal8Bit().constData());
        return 1;
    }
    return 0;
}

} // namespace

const CommandDef ExportCommand = {
    "export",
    "FILE [--out CSV]",
    "trace file as CSV in engineering units",
    ExportUsage,
    {{"out", "CSV", "--out needs one file name"}},
    "FILE",
    1,
    1,
    &RunExport,
};
