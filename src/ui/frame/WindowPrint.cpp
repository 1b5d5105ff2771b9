#include "WindowPrint.h"

#include "ChartScaling.h"
#include "Dialogs.h"

#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QWidget>

QRect PaintPage(QPainter &painter, const QSize &pageSize, const QPixmap &image) {
    const PageFit fit =
        FitToPage(image.width(), image.height(), pageSize.width(), pageSize.height());
    const QRect target(0, 0, fit.Width, fit.Height);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(target, image);
    return target;
}

PrintResult PrintWindowPicture(QWidget *window, QPrinter &printer) {
    // The answer does not stop the printout: cancelling keeps the printer as it was.
    const bool confirmed = Dialogs::Current().PrinterSetup(window, printer);
    const bool hasOutput = !printer.outputFileName().isEmpty() || !printer.printerName().isEmpty();
    if (!hasOutput)
        return confirmed ? PrintResult::NoOutput : PrintResult::Cancelled;
    const QPixmap image = window->grab();
    QPainter painter;
    if (!painter.begin(&printer))
        return PrintResult::Failed;
    PaintPage(painter, printer.pageLayout().paintRectPixels(printer.resolution()).size(), image);
    return painter.end() ? PrintResult::Printed : PrintResult::Failed;
}
