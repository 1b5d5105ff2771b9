#pragma once
// The sub-commands of vandrel-trace, one CommandSpec each, defined next to the command's code
// and listed in main's command table.

#include "CommandLine.h"

extern const CommandSpec InfoCommand;
extern const CommandSpec ExportCommand;
extern const CommandSpec ReadCommand;
extern const CommandSpec EventsCommand;
extern const CommandSpec SummaryCommand;
extern const CommandSpec ReportCommand;

/// Remembers errno as the reason standard output failed, unless a reason is known already.
/// Call right after a write to standard output failed.
void NoteOutputError();
