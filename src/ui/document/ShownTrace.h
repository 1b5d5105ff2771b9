#pragma once
// The trace a view shows: what it took from the document when it last drew, which stays on
// screen, and is what the view hands on, while the document moves on to another trace.

#include "TraceRecord.h"

#include <QString>

#include <cstdint>

class QObject;
class TraceDocument;

struct ShownTrace {
    /// The record with the units it was drawn in.
    TraceUnits Trace;
    /// The document's name for it then.
    QString Name;
    /// The document's source for it then.
    QString Source;
    /// The document's generation then.
    std::uint64_t Generation = 0;

    /// Takes the document's trace as it is now.
    void TakeFrom(const TraceDocument &document);
    /// True while the document still holds this trace.
    bool IsLoaded(const TraceDocument &document) const;
    /// The trace as the view shows it: the document's own while it is still the loaded one,
    /// else the one kept.
    TraceUnits Units(const TraceDocument &document) const;
    /// Where the trace as the view shows it came from.
    QString SourceIn(const TraceDocument &document) const;
};

/// Keeps shown's record as it is when document is about to put in another trace while shown
/// is still the loaded one, for as long as context lives: a view that reads the document's
/// record while it is loaded keeps showing and handing on that record afterwards.
void KeepShownTraceOnReplace(ShownTrace &shown, TraceDocument &document, QObject *context);
