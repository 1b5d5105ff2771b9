#pragma once
// Printing a window's picture on one page, as the graph and bit graph windows do.

#include <QRect>

#include <memory>

class QPainter;
class QPixmap;
class QPrinter;
class QSize;
class QWidget;

/// How a print request ended.
enum class PrintResult {
    Printed,   ///< the page went to the printer or file
    Cancelled, ///< the user cancelled the setup and there is nowhere to print to
    NoOutput,  ///< the user confirmed, but no printer or file was chosen
    Failed,    ///< the printer or file could not take the page
};

/// The program's printer setup: the printer and page the user chose last, kept for the whole run
/// so that every window prints where the user asked the last time.
class TPrinterSetupDialog {
public:
    TPrinterSetupDialog();
    ~TPrinterSetupDialog();
    TPrinterSetupDialog(const TPrinterSetupDialog &) = delete;
    TPrinterSetupDialog &operator=(const TPrinterSetupDialog &) = delete;

    /// The printer as set up last (made on first use).
    QPrinter &Printer();
    /// Shows the setup (through Dialogs); returns true when the user confirmed.
    bool Execute(QWidget *parent);

private:
    std::unique_ptr<QPrinter> printer;
};

/// The printer setup that PrintWindow uses for the run: the main frame's (nullptr: none).
void UsePrinterSetup(TPrinterSetupDialog *setup);

/// Prints the picture of window on one page with the main frame's printer setup, whatever the
/// user answered there, and tells the user in a message box when nothing could be printed.
PrintResult PrintWindow(QWidget *window);

/// Shows the printer setup for printer, then prints the picture of window as shown on screen
/// on one page, fitted to it with its proportions kept, whatever the user answered there.
PrintResult PrintWindowPicture(QWidget *window, QPrinter &printer);

/// Draws image from the top-left corner of a page of pageSize, fitted with its proportions
/// kept; returns the rectangle drawn.
QRect PaintPage(QPainter &painter, const QSize &pageSize, const QPixmap &image);
