// vandrel-trace report: the one-page fault report of a trace file, as PDF, without a display.

#include "Commands.h"
#include "FaultReportPdf.h"

#include <QString>
#include <cstdio>

namespace {

const char *const ReportUsage =
    "usage: vandrel-trace report FILE --out REPORT.pdf [--lang en|ja]\n"
    "\n"
    "Writes the fault report of the trace file FILE (.vnx or .vnb) to REPORT.pdf: one A4 page\n"
    "with the trigger point and clock stamps, the first fault, the flag events nearest the\n"
    "trigger, each channel's minimum, maximum and value at the trigger, the plausibility\n"
    "hints and the charts of channels 1, 2, 3, 4 and 6. No display is needed. REPORT.pdf is\n"
    "replaced only when the whole report was written.\n"
    "\n"
    "  --out REPORT.pdf  the report to write (required)\n"
    "  --lang en|ja      language of the report (default: the system's)\n"
    "\n"
    "Exit status: 0 written, 1 the file cannot be read or the report not written, 2 usage\n"
    "error.\n";

int RunReport(const CommandArgs &args) {
    if (!args.IsSet("out"))
        return args.UsageError("--out is required");
    std::int32_t language = 0;
    // Messages about a file that cannot be read are in the report's language.
    if (!args.Language(&language))
        return 2;

    QString error;
    if (!WriteFaultReportOfFile(QString::fromLocal8Bit(args.Arguments()[0].c_str()),
                                QString::fromLocal8Bit(args.Value("out").c_str()),
                                language == LanguageJapanese, &error)) {
        std::fprintf(stderr, "vandrel-trace: %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    return 0;
}

} // namespace

const CommandDef ReportCommand = {
    "report",
    "FILE --out REPORT.pdf [--lang en|ja]",
    "one-page fault report of a trace file as PDF",
    ReportUsage,
    {{"out", "REPORT.pdf", "--out needs one file name"}, LanguageOption()},
    "FILE",
    1,
    1,
    &RunReport,
};
