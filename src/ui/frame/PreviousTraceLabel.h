#pragma once
// The line a view shows while its contents are no longer the loaded trace: which trace it shows
// and how to get the loaded one.

#include <QLabel>

class TraceDocument;
struct ShownTrace;

class PreviousTraceLabel : public QLabel {
    Q_OBJECT
public:
    /// What brings the loaded trace into the view.
    enum class WayBack { Redraw, ChooseWord, ChooseView };

    /// Hidden at first; its texts in Japanese when japanese.
    PreviousTraceLabel(WayBack wayBack, bool japanese, QWidget *parent = nullptr);

    /// Shown, naming shown, while document holds another trace; hidden otherwise. True when
    /// that changed whether it is shown.
    bool Update(const ShownTrace &shown, const TraceDocument &document);

private:
    WayBack wayBack;
    bool japanese;
};
