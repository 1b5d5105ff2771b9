#pragma once
// The fault report drawn on one A4 page and written as PDF. Needs no widgets and no display:
// called where no application object exists, it runs on a QGuiApplication of its own on the
// offscreen platform; where a QCoreApplication (not a QGuiApplication) exists, it fails.

#include "FaultReport.h"

#include <QByteArray>
#include <QString>

class QPainter;
class QRectF;

/// Draws report into page (painter units; one unit is one point on an A4 page).
void PaintFaultReport(QPainter &painter, const QRectF &page, const FaultReport &report,
                      bool japanese);

/// The report of input as a one-page A4 PDF document; empty with *error set on failure.
QByteArray FaultReportPdf(const FaultReportInput &input, QString *error);

/// Writes the report of input as PDF to path through the checked atomic writer. Returns false,
/// with the reason in *error (in the report's language where it is the program's own), when
/// nothing was written.
bool WriteFaultReport(const QString &path, const FaultReportInput &input, QString *error);

/// Loads the trace file at tracePath (.vnx or .vnb) and writes its report to outPath in the
/// language asked for, charting DefaultReportChannels. Returns false, with the reason in
/// *error, when the trace could not be read or the report not written.
bool WriteFaultReportOfFile(const QString &tracePath, const QString &outPath, bool japanese,
                            QString *error);
