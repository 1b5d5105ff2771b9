#include "TraceDocument.h"

#include "TimeViewState.h"
#include "TraceHistory.h"

#include <QDateTime>

TraceDocument::TraceDocument(QObject *parent)
    : QObject(parent), historyFolder(::HistoryFolder()), timeView(new TimeViewState(this)) {}

TraceDocument::~TraceDocument() = default;

TraceUnits TraceDocument::Units() const {
    return TraceUnits{Record, DriveTypeE, IsNormalized != 0};
}

void TraceDocument::ReplaceTrace(const TTraceRecord &record, std::int32_t driveType,
                                 bool normalized, const QString &from, const QString &name) {
    emit TraceAboutToBeReplaced();
    Record = record;
    DriveTypeE = driveType;
    IsNormalized = normalized ? 1 : 0;
    // Channels 10-12 mean what the drive type says; their factors must match at once.
    ::ApplyTypeScales(Record, DriveTypeE);
    source = from;
    traceFile = keptRead;
    keptRead.clear();
    traceName = name.isEmpty() ? from : name;
    ++generation;
    // Everything is in place before anyone hears of it.
    timeView->ShowAllSamples();
    emit TraceReplaced();
}

QString TraceDocument::KeepRead(const TTraceRecord &record, std::int32_t driveType, bool old) {
    const KeptTrace kept = KeepTrace(historyFolder, record, driveType, old,
                                     QDateTime::currentDateTime(), Language);
    keptRead = kept.Path;
    return kept.Kept ? QString() : NotKeptText(kept.Error, Language);
}

void TraceDocument::ReplaceReadTrace(const TTraceRecord &record, std::int32_t driveType,
                                     const QString &from, const QString &name) {
    ReplaceTrace(record, driveType, false, from, name);
    emit TraceRead();
}

void TraceDocument::ResetRecord() {
    ::ResetRecord(Record, DriveTypeE);
}

void TraceDocument::ApplyTypeScales() {
    ::ApplyTypeScales(Record, DriveTypeE);
}

void TraceDocument::SetReference(std::optional<TraceUnits> next, const QString &name) {
    referenceName = next ? name : QString();
    reference = std::move(next);
    emit ReferenceChanged();
}

void TraceDocument::SetReferenceAlignment(Alignment next) {
    if (next == alignment)
        return;
    alignment = next;
    emit ReferenceChanged();
}

ChartNaming TraceDocument::Naming() const {
    return ProgramChartNaming();
}

bool TraceDocument::Japanese() const {
    return IsJapanese();
}

void TraceDocument::SetOwnName(int ch, bool own, const std::string &name) {
    if (ch < 1 || ch > ChannelCount)
        return;
    OwnNameFlag[ch] = own ? 1 : 0;
    // The typed name is kept either way, for the next time the channel takes it.
    OwnName[ch] = name;
    emit NamingChanged();
}
