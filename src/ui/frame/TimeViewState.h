#pragma once
// The program's one time view (zoom, pan, cursors A and B, hover), shared by the graph window
// and the bit graph so that both always show the same samples and cursors.

#include "TimeView.h"

#include <QObject>
#include <optional>

class QKeyEvent;

class TimeViewState : public QObject {
    Q_OBJECT
public:
    explicit TimeViewState(QObject *parent = nullptr);

    const TimeView &View() const { return view; }
    /// Replaces the whole view; Changed() when anything differs.
    void SetView(const TimeView &next);

    void SetHover(std::optional<int> sample);
    void PlaceA(int sample);
    void PlaceB(int sample);
    void ClearCursors();
    /// Zoom steps (> 0 in) around sample centre.
    void Zoom(double centre, int steps);
    /// Moves the visible range by samples.
    void PanBy(int samples);
    void ShowAllSamples();
    /// Another trace was loaded or read: the zoom starts again, the cursors stay.
    void TraceReplaced();

    /// The view's keys: Left/Right move A, Shift+Left/Right move B, Escape removes both
    /// cursors, Home shows all samples. Returns true when the key was used.
    bool HandleKey(const QKeyEvent *event);

signals:
    void Changed();
    /// Another trace was loaded or read: marks that come from the trace (the trigger) are new.
    void TraceLoaded();

private:
    TimeView view;
};

/// The main frame's time view; before a frame exists (windows tested alone) one kept for the
/// program.
TimeViewState &ProgramTimeView();
