#pragma once
// The one argument parser of vandrel-trace. Each command is defined by a CommandDef; main
// lists them in its command table, parses the arguments after the command's name against the
// command and calls the command's Run with the result.

#include <cstdint>
#include <string>
#include <vector>

/// One option of a command ("--out FILE", "--old").
struct OptionDef {
    const char *Name;      ///< without the dashes: "out"
    const char *ValueName; ///< "FILE" for an option taking a value; nullptr for a switch
    /// Said when the value is missing, is another option, or the option is given twice
    /// (switches may repeat); nullptr says "unexpected argument '--name'".
    const char *ValueError = nullptr;
    bool Repeats = false; ///< an option with a value that may be given more than once
};

class CommandArgs;

/// A sub-command of vandrel-trace.
struct CommandDef {
    const char *Name;     ///< "export"
    const char *Synopsis; ///< arguments as the overall usage lists them: "FILE [--out CSV]"
    const char *Summary;  ///< what the command does, one short line
    const char *Usage;    ///< full help text, printed for --help and after a usage error
    std::vector<OptionDef> Options;
    const char *ArgumentName; ///< positional arguments as usage errors name them: "FILE"
    int MinArguments;
    int MaxArguments; ///< -1: any number
    /// Does the work; returns the exit status: 0 success, 1 a file, read or output failed,
    /// 2 a usage error.
    int (*Run)(const CommandArgs &args);
};

/// What the parser found, for the command's Run.
class CommandArgs {
public:
    explicit CommandArgs(const CommandDef &command) : command_(command) {}

    const std::vector<std::string> &Arguments() const { return arguments_; }
    bool IsSet(const std::string &option) const;
    /// Value of an option that takes one; "" when it was not given.
    std::string Value(const std::string &option) const;
    /// Every value of an option that may repeat, in the order given.
    std::vector<std::string> Values(const std::string &option) const;

    /// Prints "vandrel-trace NAME: message" and the command's usage on stderr; returns 2.
    int UsageError(const std::string &message) const;

    /// The --lang option: LanguageEnglish or LanguageJapanese, the system's language when it is
    /// not given. On a value other than en or ja prints the usage error and returns false.
    bool Language(std::int32_t *language) const;

private:
    friend int RunCommand(const CommandDef &command, const std::vector<std::string> &arguments);
    const CommandDef &command_;
    std::vector<std::string> arguments_;
    std::vector<std::pair<std::string, std::string>> values_;
};

/// Parses arguments (those after the command's name) against command and runs the command;
/// --help or -h prints the usage on stdout and returns 0; a usage error returns 2.
int RunCommand(const CommandDef &command, const std::vector<std::string> &arguments);

/// The "--lang en|ja" option, shared by the commands that print texts.
OptionDef LanguageOption();
