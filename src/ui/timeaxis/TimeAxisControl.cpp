#include "TimeAxisControl.h"

#include "TimeView.h"
#include "TimeViewState.h"

#include <QChart>
#include <QChartView>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleHints>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

// True when an event at time (ms) can belong to the same double click as a press at pressed.
bool WithinDoubleClick(const std::optional<quint64> &pressed, quint64 time) {
    const auto interval =
        static_cast<quint64>(QGuiApplication::styleHints()->mouseDoubleClickInterval());
    return pressed && time >= *pressed && time - *pressed <= interval;
}

} // namespace

TimeAxisControl::TimeAxisControl(QChartView *view, TimeViewState &state)
    : QObject(view), view(view), viewport(view->viewport()), state(&state) {
    viewport->setMouseTracking(true);
    view->installEventFilter(this);
    viewport->installEventFilter(this);
}

double TimeAxisControl::ChartX(const QPointF &at) const {
    return view->chart()->mapFromScene(view->mapToScene(at.toPoint())).x();
}

double TimeAxisControl::SampleAt(const QPointF &at) const {
    const TimeView &shown = state->View();
    const QRectF plot = view->chart()->plotArea();
    if (plot.width() <= 0 || shown.Last <= shown.First)
        return shown.First;
    const double k =
        shown.First + (ChartX(at) - plot.left()) * (shown.Last - shown.First) / plot.width();
    return std::clamp(k, double(shown.First), double(shown.Last));
}

int TimeAxisControl::NearestSampleAt(const QPointF &at) const {
    const TimeView &shown = state->View();
    const QRectF plot = view->chart()->plotArea();
    return NearestSample(ChartX(at), plot.left(), plot.right(), shown.First, shown.Last);
}

bool TimeAxisControl::eventFilter(QObject *watched, QEvent *event) {
    if (!state)
        return false;
    if (watched == view) {
        if (event->type() == QEvent::KeyPress &&
            state->HandleKey(static_cast<QKeyEvent *>(event))) {
            event->accept();
            return true;
        }
        return false;
    }
    // The viewport as it was when the filter was installed: while the view is being destroyed
    // the viewport still sends events, and the view is no longer a scroll area to ask.
    return watched == viewport && MouseEvent(event);
}

bool TimeAxisControl::MouseEvent(QEvent *event) {
    const TimeView &shown = state->View();
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        view->setFocus(Qt::MouseFocusReason);
        if (mouse->button() == Qt::LeftButton) {
            // The second press of a double click keeps what the first one found.
            if (!WithinDoubleClick(lastPressTime, mouse->timestamp()))
                cursorsBeforeClick = {shown.A, shown.B};
            lastPressTime = mouse->timestamp();
            if (mouse->modifiers().testFlag(Qt::ShiftModifier))
                state->PlaceB(NearestSampleAt(mouse->position()));
            else
                state->PlaceA(NearestSampleAt(mouse->position()));
            return true;
        }
        if (mouse->button() == Qt::MiddleButton) {
            panFromX = mouse->position().x();
            panFromFirst = shown.First;
            return true;
        }
        return false;
    }
    case QEvent::MouseButtonDblClick: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        // All samples again, and the cursors as they were: the clicks of a double click place
        // a cursor the user did not ask for.
        TimeView next = ShowAll(shown);
        if (WithinDoubleClick(lastPressTime, mouse->timestamp())) {
            next.A = cursorsBeforeClick.first;
            next.B = cursorsBeforeClick.second;
        }
        state->SetView(next);
        return true;
    }
    case QEvent::MouseMove: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        const QRectF plot = view->chart()->plotArea();
        if (panFromX && mouse->buttons().testFlag(Qt::MiddleButton) && plot.width() > 0) {
            // The samples follow the mouse: dragging to the right brings earlier ones in.
            const double perPixel = (shown.Last - shown.First) / plot.width();
            const int wanted =
                panFromFirst +
                static_cast<int>(std::lround((*panFromX - mouse->position().x()) * perPixel));
            state->PanBy(wanted - shown.First);
        }
        hovering = true;
        state->SetHover(NearestSampleAt(mouse->position()));
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::MiddleButton && panFromX) {
            panFromX.reset();
            return true;
        }
        return false;
    case QEvent::Wheel: {
        auto *wheel = static_cast<QWheelEvent *>(event);
        const QPoint delta = wheel->angleDelta();
        // Some systems turn a wheel held with Shift into a sideways one.
        wheelRest += delta.y() != 0 ? delta.y() : delta.x();
        const int steps = wheelRest / QWheelEvent::DefaultDeltasPerStep;
        wheelRest -= steps * QWheelEvent::DefaultDeltasPerStep;
        if (steps == 0)
            return true;
        if (wheel->modifiers().testFlag(Qt::ShiftModifier)) {
            // A tenth of the shown samples per step; turning away (down) shows later samples.
            const int stride = std::max(1, (shown.Last - shown.First) / 10);
            state->PanBy(-steps * stride);
        } else {
            state->Zoom(SampleAt(wheel->position()), steps);
        }
        return true;
    }
    case QEvent::Leave:
    case QEvent::Hide:
        // The hover line stays only while the mouse is over a chart; a chart going out of
        // sight takes back only a hover it set itself.
        panFromX.reset();
        if (hovering || event->type() == QEvent::Leave)
            state->SetHover(std::nullopt);
        hovering = false;
        return false;
    default:
        return false;
    }
}
