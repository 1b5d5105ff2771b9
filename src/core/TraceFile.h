#pragma once
// The text layout of trace files (.vnx raw drive units, .vnb engineering units): 112 lines,
// 100 sample lines, 11 header lines and the drive-type line.

#include "TraceRecord.h"

#include <cstdint>
#include <string>
#include <string_view>

/// Lines in a trace file.
inline constexpr int TraceFileLineCount = 112;
/// Fields in a trace file: 17 per sample line, the 11 header values and the drive type.
inline constexpr int TraceFileFieldCount =
    SampleCount * (1 + ChannelCount + FlagWordCount) + HeaderCount + 1;

/// Why a trace file's text could not be taken over.
enum class TraceFileFault {
    None,       ///< the text was read
    Missing,    ///< the text ends before this field
    NotANumber, ///< the field is not a number of its kind
    OutOfRange, ///< the field is a number that does not fit its kind
};

/// Where and why reading a trace file's text stopped.
struct TraceFileError {
    TraceFileFault Fault = TraceFileFault::None;
    int Line = 0;     ///< 1-based line of the bad field, or of where a missing field belongs
    int Field = 0;    ///< 0-based index of the field in file order (0..TraceFileFieldCount-1)
    std::string Text; ///< the offending text, shortened to printable ASCII

    explicit operator bool() const { return Fault != TraceFileFault::None; }
};

/// Formats record as the 112-line text with CR LF line ends. Raw records (normalized false)
/// get the fixed layout with values rounded to whole numbers; normalized records keep their
/// values with as many decimals as it takes to read back the same float.
std::string WriteTraceFile(const TTraceRecord &record, std::int32_t driveTypeE, bool normalized);

/// Reads the 1712 fields of a trace file's text. On success sets SampleNo, Value, Flag and
/// Header of record and driveTypeE (1 or 0) and returns an empty error; otherwise leaves both
/// exactly as they were. Scale is never touched. Fields may be separated by any white space;
/// anything after the last field is ignored.
TraceFileError ReadTraceFile(std::string_view text, TTraceRecord &record, std::int32_t &driveTypeE);

/// 1-based line on which field (0-based, file order) stands in a file written by
/// WriteTraceFile.
int TraceFileLineOfField(int field);

/// "Line N: ..." describing error, in language ('1' Japanese, otherwise English).
std::string TraceFileErrorText(const TraceFileError &error, std::int32_t language);
/// Message for a trace file that could not be opened for reading; reason from the system.
std::string TraceFileOpenFailedText(std::string_view file, std::string_view reason,
                                    std::int32_t language);
/// Message for a trace file whose contents were rejected.
std::string TraceFileLoadFailedText(std::string_view file, const TraceFileError &error,
                                    std::int32_t language);
/// Message for a trace file that could not be saved; reason from the system.
std::string TraceFileSaveFailedText(std::string_view file, std::string_view reason,
                                    std::int32_t language);
/// Reason for refusing a file that exists but is not a regular file (device, FIFO, folder).
std::string NotRegularFileText(std::int32_t language);

/// What a trace file's name says about its values.
enum class TraceFileKind {
    Raw,        ///< ".vnx": raw drive units
    Normalized, ///< ".vnb": engineering units
    Other,      ///< any other ending: the name says nothing
};
/// The kind of trace file path names by its ending, compared without regard to case, as file
/// managers and other systems show and write endings in either case.
TraceFileKind TraceFileKindOfName(std::string_view path);
/// Whether the file at path holds engineering units by its name; a name of neither kind says
/// nothing, so then otherwise is the answer.
bool NormalizedByName(std::string_view path, bool otherwise);
