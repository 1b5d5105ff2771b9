// vandrel-trace export: one trace file as CSV in engineering units.

#include "ChannelNames.h"
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

std::string Csv(const CommandTrace &trace) {
    std::string out = "sample";
    for (int ch = 1; ch <= ChannelCount; ++ch)
        out += "," + EnglishChannelName(ch, trace.DriveTypeE);
    for (int w = 1; w <= FlagWordCount; ++w)
        out += ",flag" + std::to_string(w);
    out += '\n';
    for (int i = 0; i < SampleCount; ++i) {
        out += std::to_string(trace.Record.SampleNo[i]);
        for (int c = 0; c < ChannelCount; ++c)
            out += "," + FloatText(EngineeringValue(trace, i, c));
        for (int w = 0; w < FlagWordCount; ++w) {
            char word[16];
            std::snprintf(word, sizeof word, ",0x%04X",
                          static_cast<unsigned>(trace.Record.Flag[i][w]));
            out += word;
        }
        out += '\n';
    }
    return out;
}

int RunExport(const CommandArgs &args) {
    const char *path = args.Arguments()[0].c_str();
    const std::string out = args.Value("out");
    const char *outPath = args.IsSet("out") ? out.c_str() : nullptr;
    CommandTrace trace;
    if (!LoadCommandTrace(path, trace))
        return 1;
    const std::string csv = Csv(trace);

    if (!outPath) {
        // Whether standard output took it all is checked once the command is done.
        if (std::fwrite(csv.data(), 1, csv.size(), stdout) != csv.size())
            NoteOutputError();
        return 0;
    }
    QString reason;
    if (!SaveFileChecked(QString::fromLocal8Bit(outPath), QByteArray::fromStdString(csv),
                         &reason)) {
        std::fprintf(stderr, "vandrel-trace export: cannot write %s: %s\n", outPath,
                     reason.toLocal8Bit().constData());
        return 1;
    }
    return 0;
}

} // namespace

const CommandSpec ExportCommand = {
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
