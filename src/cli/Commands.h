#pragma once
// The sub-commands of vandrel-trace. Each gets the arguments after its name and returns the
// exit status: 0 success, 1 a file or read that failed, 2 a usage error.

int RunInfo(int argc, char *argv[]);
int RunExport(int argc, char *argv[]);
int RunRead(int argc, char *argv[]);

/// Remembers errno as the reason standard output failed, unless a reason is known already.
/// Call right after a write to standard output failed.
void NoteOutputError();
