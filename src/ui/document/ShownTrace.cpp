#include "ShownTrace.h"

#include "TraceDocument.h"

void ShownTrace::TakeFrom(const TraceDocument &document) {
    Trace = document.Units();
    Name = document.Name();
    Source = document.Source();
    Generation = document.Generation();
}

bool ShownTrace::IsLoaded(const TraceDocument &document) const {
    return Generation == document.Generation();
}

TraceUnits ShownTrace::Units(const TraceDocument &document) const {
    return IsLoaded(document) ? document.Units() : Trace;
}

QString ShownTrace::SourceIn(const TraceDocument &document) const {
    return IsLoaded(document) ? document.Source() : Source;
}

void KeepShownTraceOnReplace(ShownTrace &shown, TraceDocument &document, QObject *context) {
    QObject::connect(&document, &TraceDocument::TraceAboutToBeReplaced, context,
                     [&shown, &document] {
                         if (shown.IsLoaded(document))
                             shown.TakeFrom(document);
                     });
}
