#include "CommandLine.h"

#include "Platform.h"
#include "TraceRecord.h"

#include <algorithm>
#include <cstdio>

namespace {

// An argument that starts with '-' (other than "-" alone) is an option, never a value: a
// forgotten value must not swallow the option after it ("--port --old").
bool LooksLikeOption(const std::string &argument) {
    return argument.size() > 1 && argument[0] == '-';
}

const OptionDef *FindOption(const CommandDef &command, const std::string &argument) {
    if (argument.rfind("--", 0) != 0)
        return nullptr;
    const std::string name = argument.substr(2);
    for (const OptionDef &option : command.Options)
        if (name == option.Name)
            return &option;
    return nullptr;
}

} // namespace

bool CommandArgs::IsSet(const std::string &option) const {
    return std::any_of(values_.begin(), values_.end(),
                       [&](const auto &entry) { return entry.first == option; });
}

std::string CommandArgs::Value(const std::string &option) const {
    for (const auto &[name, value] : values_)
        if (name == option)
            return value;
    return {};
}

std::vector<std::string> CommandArgs::Values(const std::string &option) const {
    std::vector<std::string> values;
    for (const auto &[name, value] : values_)
        if (name == option)
            values.push_back(value);
    return values;
}

int CommandArgs::UsageError(const std::string &message) const {
    std::fprintf(stderr, "vandrel-trace %s: %s\n\n%s", command_.Name, message.c_str(),
                 command_.Usage);
    return 2;
}

bool CommandArgs::Language(std::int32_t *language) const {
    *language = SystemDefaultLanguage();
    if (!IsSet("lang"))
        return true;
    const std::string value = Value("lang");
    if (value == "en")
        *language = LanguageEnglish;
    else if (value == "ja")
        *language = LanguageJapanese;
    else {
        UsageError("--lang takes en or ja, not '" + value + "'");
        return false;
    }
    return true;
}

OptionDef LanguageOption() {
    return {"lang", "en|ja", nullptr};
}

int RunCommand(const CommandDef &command, const std::vector<std::string> &arguments) {
    CommandArgs args(command);
    // Arguments keep their bytes as given: a file name need not be valid text in any encoding.
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string &argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            std::fputs(command.Usage, stdout);
            return 0;
        }
        if (!LooksLikeOption(argument)) {
            args.arguments_.push_back(argument);
            continue;
        }
        const OptionDef *option = FindOption(command, argument);
        if (!option)
            return args.UsageError("unexpected argument '" + argument + "'");
        const std::string valueError =
            option->ValueError ? option->ValueError : "unexpected argument '" + argument + "'";
        if (!option->ValueName) {
            args.values_.emplace_back(option->Name, std::string());
            continue;
        }
        if (i + 1 >= arguments.size() || LooksLikeOption(arguments[i + 1]) ||
            (args.IsSet(option->Name) && !option->Repeats))
            return args.UsageError(valueError);
        args.values_.emplace_back(option->Name, arguments[++i]);
    }
    const int count = static_cast<int>(args.arguments_.size());
    if (count < command.MinArguments)
        return args.UsageError(std::string(command.ArgumentName) + " is missing");
    if (command.MaxArguments >= 0 && count > command.MaxArguments)
        return args.UsageError("unexpected argument '" +
                               args.arguments_[static_cast<std::size_t>(command.MaxArguments)] +
                               "'");
    return command.Run(args);
}
