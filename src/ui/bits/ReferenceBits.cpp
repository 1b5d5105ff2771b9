// The reference's bits of the drawn word, grey beneath the bit graph's traces.

#include "TForm4.h"

#include "TimeViewState.h"
#include "TraceDocument.h"

#include <QChart>
#include <QGraphicsPathItem>
#include <QLineSeries>
#include <QPainterPath>

void TForm4::PlaceReferenceBits() {
    QPainterPath path;
    if (drawnWord >= 0 && document.Reference()) {
        const TimeView &view = document.TimeView().View();
        const TraceUnits &current = shownTrace.Trace;
        const TraceUnits &reference = *document.Reference();
        for (int b = 0; b < FlagBitCount; ++b) {
            const auto levels = BitTrace(reference.Record, drawnWord, b);
            bool open = false;
            for (int k = view.First; k <= view.Last; ++k) {
                const int n =
                    ReferenceSampleFor(k, current, reference, document.ReferenceAlignment());
                if (n < 0) {
                    open = false;
                    continue;
                }
                const QPointF at = Chart1->mapToPosition(
                    QPointF(k, levels[static_cast<std::size_t>(n)]), Series[0]);
                if (open)
                    path.lineTo(at);
                else
                    path.moveTo(at);
                open = true;
            }
        }
    }
    ReferenceBits->setPath(path);
}
