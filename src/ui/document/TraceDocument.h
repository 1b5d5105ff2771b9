#pragma once
// The trace the windows show and work on: the record with its units and source, the reference
// and how it lines up, the time view, the naming of the channels and the graph's channel
// choice. The main frame owns one and hands it to every window it opens.

#include "ChartScaling.h"
#include "ReferenceTrace.h"
#include "TraceRecord.h"
#include "WindowState.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class TimeViewState;

class TraceDocument : public QObject {
    Q_OBJECT
public:
    explicit TraceDocument(QObject *parent = nullptr);
    ~TraceDocument() override;

    /// The one trace record. Its drive type and units are the windows' DriveTypeE and
    /// IsNormalized, which this document keeps in step with it.
    TTraceRecord Record;

    /// Where the record came from: a file name, or the port and "New"/"Old" of a read; empty
    /// before either.
    const QString &Source() const { return source; }
    /// Names the record anew (it was saved under name): source and title name alike.
    void SetSource(const QString &name) {
        source = name;
        traceName = name;
    }
    /// What the main window's title and the views call the record: the file name, or the port,
    /// the trace and the time of a read; empty before either.
    const QString &Name() const { return traceName; }
    /// Counts the traces put in: every ReplaceTrace gives the record a new one, so that a view
    /// can tell whether it still shows the record.
    std::uint64_t Generation() const { return generation; }

    /// True while every open view redraws as soon as a trace is put in.
    bool FollowNewTraces() const { return followNewTraces; }
    void SetFollowNewTraces(bool on) { followNewTraces = on; }

    /// The trace file the record is in: the file it was loaded from or the one its read was kept
    /// as; empty when there is none (a read not kept). A replaced trace has none until set.
    const QString &TraceFile() const { return traceFile; }
    void SetTraceFile(const QString &path) { traceFile = path; }

    /// The folder every read is kept in (the settings' choice, else the default one).
    const QString &HistoryFolder() const { return historyFolder; }
    void SetHistoryFolder(const QString &folder) { historyFolder = folder; }
    /// Keeps a read (raw units) in the history folder before anything else happens to it and
    /// remembers the kept file for the next ReplaceTrace. Returns "" when kept, else the message
    /// line that says it was not and why, in the windows' language.
    QString KeepRead(const TTraceRecord &record, std::int32_t driveType, bool old);

    /// The record with its units as they are now.
    TraceUnits Units() const;
    /// Puts in a trace that was loaded or read in full: the record, its drive type (the factors
    /// of channels 10-12 follow it), its units and its source. The zoom starts again, the
    /// cursors stay. TraceAboutToBeReplaced() comes before, TraceReplaced() after.
    void ReplaceTrace(const TTraceRecord &record, std::int32_t driveType, bool normalized,
                      const QString &from, const QString &name = {});
    /// ReplaceTrace for a trace read from the drive (raw units), then TraceRead().
    void ReplaceReadTrace(const TTraceRecord &record, std::int32_t driveType, const QString &from,
                          const QString &name);
    /// The record's start state for the drive type now.
    void ResetRecord();
    /// Factors of channels 10-12 from the drive type now.
    void ApplyTypeScales();

    /// A second trace to compare with, in its own units; none until one is set.
    const std::optional<TraceUnits> &Reference() const { return reference; }
    /// Replaces the reference (none clears it), named name (its file name, or the source of
    /// the trace it was taken from); ReferenceChanged().
    void SetReference(std::optional<TraceUnits> next, const QString &name = {});
    /// The reference's name; empty while there is none.
    const QString &ReferenceName() const { return referenceName; }
    /// How every window pairs the reference's samples with the record's.
    Alignment ReferenceAlignment() const { return alignment; }
    /// Changes the alignment; ReferenceChanged() when it differs.
    void SetReferenceAlignment(Alignment next);

    /// Zoom, cursors and hover shared by the chart windows.
    TimeViewState &TimeView() const { return *timeView; }

    /// The language of this moment and the channels that carry a user-given name.
    ChartNaming Naming() const;
    /// True while the windows' language is Japanese.
    bool Japanese() const;
    /// Channel ch (1..12) takes the user's name (own) or its default name; name is kept as the
    /// user's either way. NamingChanged().
    void SetOwnName(int ch, bool own, const std::string &name);

    /// The channels the graph window charts, bottom one first; empty while it charts none or is
    /// closed.
    const std::vector<int> &ChartedChannels() const { return charted; }
    void SetChartedChannels(std::vector<int> channels) { charted = std::move(channels); }

signals:
    /// A load or a read is about to replace the trace: the record is still the old one.
    void TraceAboutToBeReplaced();
    /// A load or a read replaced the trace.
    void TraceReplaced();
    /// A read from the drive replaced the trace (after TraceReplaced()).
    void TraceRead();
    /// The reference was set, replaced or cleared, or its alignment changed.
    void ReferenceChanged();
    /// A channel's name changed.
    void NamingChanged();

private:
    QString source;
    QString traceFile;
    QString historyFolder;
    QString keptRead; ///< the file the read about to be put in was kept as
    QString traceName;
    std::uint64_t generation = 0;
    bool followNewTraces = false;
    std::optional<TraceUnits> reference;
    QString referenceName;
    Alignment alignment = Alignment::Trigger;
    TimeViewState *timeView = nullptr;
    std::vector<int> charted;
};
