#include "TimeViewState.h"

#include <QKeyEvent>

TimeViewState::TimeViewState(QObject *parent) : QObject(parent) {}

void TimeViewState::SetView(const TimeView &next) {
    if (next == view)
        return;
    view = next;
    emit Changed();
}

void TimeViewState::SetHover(std::optional<int> sample) {
    TimeView next = view;
    next.Hover = sample;
    SetView(next);
}

void TimeViewState::PlaceA(int sample) {
    TimeView next = view;
    next.A = std::clamp(sample, 0, SampleCount - 1);
    SetView(next);
}

void TimeViewState::PlaceB(int sample) {
    TimeView next = view;
    next.B = std::clamp(sample, 0, SampleCount - 1);
    SetView(next);
}

void TimeViewState::ClearCursors() {
    TimeView next = view;
    next.A.reset();
    next.B.reset();
    SetView(next);
}

void TimeViewState::Zoom(double centre, int steps) {
    SetView(ZoomAround(view, centre, steps));
}

void TimeViewState::PanBy(int samples) {
    SetView(Pan(view, samples));
}

void TimeViewState::ShowAllSamples() {
    SetView(ShowAll(view));
}

bool TimeViewState::HandleKey(const QKeyEvent *event) {
    const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
    const Qt::KeyboardModifiers others =
        event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if (others != Qt::NoModifier)
        return false;
    TimeView next = view;
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right: {
        const int delta = event->key() == Qt::Key_Left ? -1 : 1;
        if (shift)
            next.B = MoveCursor(view.B, delta, view);
        else
            next.A = MoveCursor(view.A, delta, view);
        break;
    }
    case Qt::Key_Escape:
        next.A.reset();
        next.B.reset();
        break;
    case Qt::Key_Home:
        next = ShowAll(view);
        break;
    default:
        return false;
    }
    SetView(next);
    return true;
}
