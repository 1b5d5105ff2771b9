#pragma once
// The sub-commands of vandrel-trace, one CommandDef each, defined next to the command's code
// and listed in main's command table.

#include "CommandLine.h"

extern const CommandDef InfoCommand;
extern const CommandDef ExportCommand;
extern const CommandDef ReadCommand;
extern const CommandDef EventsCommand;
extern const CommandDef DiagnoseCommand;
extern const CommandDef SummaryCommand;
extern const CommandDef ReportCommand;
extern const CommandDef HistoryCommand;
extern const CommandDef NoteCommand;

/// Remembers errno as the reason standard output failed, unless a reason is known already.
/// Call right after a write to standard output failed.
void NoteOutputError();
