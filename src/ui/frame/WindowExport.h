#pragma once
// Taking a window's data and pictures out: checked saves with a message on failure, and the
// charts as PNG, PDF or on the clipboard.

#include "TriggerStamp.h"

#include <QByteArray>
#include <QRect>
#include <QString>

#include <functional>

class QImage;
class QWidget;
struct ShownTrace;
class TraceDocument;

/// Saves bytes as path through the checked save; on failure tells the user (in Japanese when
/// japanese) and returns false, nothing changed.
bool SaveExportChecked(QWidget *parent, const QString &path, const QByteArray &bytes,
                       bool japanese);

/// A part of a window to take out as a picture: area in widget's coordinates, with a line
/// above it that says which trace it shows (none while Caption is empty) and, in grey, the
/// reference drawn with it.
struct ChartsArea {
    QWidget *Widget = nullptr;
    QRect Area;
    QString Caption;
    QString ReferenceCaption;
};

/// Sets the caption line of charts for the trace a view shows (shown, of document): its source
/// and its trip date and time by clock, and the reference's name while one is loaded.
void SetChartsCaption(ChartsArea &charts, const ShownTrace &shown, const TraceDocument &document,
                      StampClock clock,
                      bool japanese);

/// The picture of charts at its size on screen, below its caption line.
QImage ChartsImage(const ChartsArea &charts);
/// The picture of charts at its size on screen, as PNG.
QByteArray ChartsPng(const ChartsArea &charts);
/// The picture of charts drawn as vectors on one PDF page of its own size; texts stay text.
QByteArray ChartsPdf(const ChartsArea &charts);

/// Asks for a file (PNG or PDF, by the name's ending; PNG without one) and saves the picture
/// of charts there.
void SaveChartsImage(QWidget *parent, const ChartsArea &charts, bool japanese);

/// Ctrl+C anywhere in window copies the picture of what charts() returns to the clipboard.
void InstallCopyPictureShortcut(QWidget *window, std::function<ChartsArea()> charts);
