#include "TraceFileCommand.h"

#include "TraceFile.h"
#include "TraceFileIO.h"

#include <QString>
#include <charconv>
#include <cstdio>

bool LoadCommandTrace(const char *path, CommandTrace &trace, std::int32_t language) {
    std::string error;
    if (!LoadCommandTrace(path, trace, &error, language)) {
        std::fprintf(stderr, "vandrel-trace: %s\n", error.c_str());
        return false;
    }
    return true;
}

bool LoadCommandTrace(const char *path, CommandTrace &trace, std::string *error,
                      std::int32_t language) {
    // The monitor's rule: only a .vnb name (any case) holds engineering units.
    QString message;
    if (!LoadTraceUnits(QString::fromLocal8Bit(path), trace, false, &message, language)) {
        *error = message.toLocal8Bit().toStdString();
        return false;
    }
    return true;
}

std::string FloatText(float value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string FixedText(float value, int decimals) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return std::string(buffer, result.ptr);
}
