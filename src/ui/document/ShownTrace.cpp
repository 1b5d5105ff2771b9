#include "ShownTrace.h"

#include "TraceDocument.h"

void ShownTrace::TakeFrom(const TraceDocument &document) {
    Trace = document.Units();
    Name = document.Name();
    Generation = document.Generation();
}

bool ShownTrace::IsLoaded(const TraceDocument &document) const {
    return Generation == document.Generation();
}

TraceUnits ShownTrace::Units(const TraceDocument &document) const {
    return IsLoaded(document) ? document.Units() : Trace;
}
