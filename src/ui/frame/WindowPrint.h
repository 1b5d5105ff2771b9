#pragma once
// Printing a window's picture on one page, as the graph and bit graph windows do.

#include <QRect>

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

/// Shows the printer setup for printer, then prints the picture of window as shown on screen
/// on one page, fitted to it with its proportions kept, whatever the user answered there.
PrintResult PrintWindowPicture(QWidget *window, QPrinter &printer);

/// Draws image from the top-left corner of a page of pageSize, fitted with its proportions
/// kept; returns the rectangle drawn.
QRect PaintPage(QPainter &painter, const QSize &pageSize, const QPixmap &image);
