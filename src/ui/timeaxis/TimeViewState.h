#pragma once
// The document's time view (zoom, pan, cursors A and B, hover), shared by the graph window
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

    /// The view's keys: Left/Right move A, Shift+Left/Right move B, Escape removes both
    /// cursors, Home shows all samples. Returns true when the key was used.
    bool HandleKey(const QKeyEvent *event);

signals:
    void Changed();

private:
    TimeView view;
};
