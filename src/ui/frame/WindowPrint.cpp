#include "WindowPrint.h"

#include "Caption.h"
#include "ChartScaling.h"
#include "Dialogs.h"

#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QWidget>

namespace {

constexpr Caption PrintFailedTitle = {"印刷", "Print"};
constexpr Caption PrintFailedText = {"印刷できませんでした。", "The window could not be printed."};

} // namespace

TPrinterSetupDialog::TPrinterSetupDialog() = default;
TPrinterSetupDialog::~TPrinterSetupDialog() = default;

QPrinter &TPrinterSetupDialog::Printer() {
    if (!printer)
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer;
}

bool TPrinterSetupDialog::Execute(QWidget *parent) {
    return Dialogs::Current().PrinterSetup(parent, Printer());
}

namespace {

TPrinterSetupDialog *&ProgramPrinterSetup() {
    static TPrinterSetupDialog *setup = nullptr;
    return setup;
}

} // namespace

void UsePrinterSetup(TPrinterSetupDialog *setup) {
    ProgramPrinterSetup() = setup;
}

PrintResult PrintWindow(QWidget *window) {
    // Without the main frame (a window made on its own) the choice lasts for this print only.
    TPrinterSetupDialog own;
    TPrinterSetupDialog &setup = ProgramPrinterSetup() ? *ProgramPrinterSetup() : own;
    const PrintResult result = PrintWindowPicture(window, setup.Printer());
    // With nowhere to print to, or a page the printer would not take, the user must hear so
    // rather than wait for a page. Texts composed now follow the language of this moment.
    if (result == PrintResult::NoOutput || result == PrintResult::Failed)
        Dialogs::Current().Message(window, Pick(PrintFailedTitle), Pick(PrintFailedText));
    return result;
}

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
