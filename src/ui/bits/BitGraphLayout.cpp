// The bit graph window's layout: the word buttons' rows, the plot beside the bit labels, the
// sample numbers under it.

#include "TForm4.h"

#include "BitGraphLayout.h"
#include "CaptionFit.h"
#include "TimeViewState.h"
#include "TraceDocument.h"

#include <QChart>
#include <QChartView>
#include <QFontMetrics>
#include <QFrame>
#include <QGraphicsLayout>
#include <QGraphicsSimpleTextItem>
#include <QLabel>
#include <QLayout>
#include <QRadioButton>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

using namespace BitGraphLayout;

void TForm4::FitRadioRows() {
    // A window too narrow for the four flag words in one row puts them in two rows or in one
    // column, so that none is cut by the panel.
    const int room = width() - 2 * Form7->frameWidth();
    int columns = FlagWordCount;
    for (;; columns /= 2) {
        int right = 0;
        for (int first = 0; first < FlagWordCount; first += columns) {
            QList<QWidget *> row;
            for (int w = first; w < first + columns; ++w) {
                RadioButton[w]->setGeometry(RadioLeft[w - first],
                                            RadioTop + first / columns * RowStep,
                                            RadioWidth[w - first], 17);
                row << RadioButton[w];
            }
            right = std::max(right, FitCaptionRow(row, RadioGap));
        }
        if (columns == 1 || right <= room)
            break;
    }
    const int height = Form7Height + (FlagWordCount / columns - 1) * RowStep;
    if (height != Form7->height()) {
        Form7->setFixedHeight(height);
        // The chart takes its new size now, not at the next layout pass.
        layout()->invalidate();
        layout()->activate();
    }
}

void TForm4::Panel3Resize() {
    // Labels and lanes are placed together, so that they never disagree.
    LayoutChart();
}

void TForm4::LayoutChart() {
    // Margins of 2 % at the top and right, none at the left and bottom; the plot area is
    // placed so that each bit label stands beside its own bit's lane.
    const QSizeF size = ChartView->size();
    const double top = std::round(size.height() * 0.02);
    const double right = size.width() - std::round(size.width() * 0.02);
    title->setPos(8, top);
    const double titleBottom = top + title->boundingRect().height() + 2;
    const double axisLabelSpace = QFontMetrics(BottomAxis->labelsFont()).height() + 8;
    const double left = 8; // room for the left axis' ticks
    const BitPlotPlace plot = PlaceBitPlot(Panel3->height(), Label[0]->height(), titleBottom,
                                           size.height() - axisLabelSpace);
    Chart1->setPlotArea(
        QRectF(left, plot.Top, std::max(right - left, 10.0), std::max(plot.Height, 10.0)));
    // At the tops BitLabelTop gives, unless the lanes cannot stand beside them.
    for (int b = 0; b < FlagBitCount; ++b)
        Label[b]->move(LabelLeft, plot.LabelTop[static_cast<std::size_t>(b)]);

    PlaceSampleTicks();
    // The traces follow a new plot area at once, the axes, their numbers and the grid only at
    // the chart's next layout pass; lay out now so that a picture taken at any moment (and the
    // printout) shows them together.
    Chart1->layout()->invalidate();
    Chart1->layout()->activate();
    PlaceTimeMarks();
}

void TForm4::PlaceSampleTicks() {
    // Bottom labels every 5 samples, or every 10, 20, 25, 50 when they would crowd; zoomed in,
    // every sample or every second one where there is room.
    const TimeView &view = document.TimeView().View();
    const double labelWidth =
        QFontMetrics(BottomAxis->labelsFont()).horizontalAdvance(QStringLiteral("100"));
    const double width = Chart1->plotArea().width();
    const double pixelsPerSample = width / std::max(view.Last - view.First, 1);
    const std::initializer_list<int> all = {5, 10, 20, 25, 50};
    const std::initializer_list<int> zoomed = {1, 2, 5, 10, 20, 25, 50};
    for (int step : view.ShowsAll() ? all : zoomed) {
        BottomAxis->setTickInterval(step);
        BottomAxis->setMinorTickCount(step == 1 ? 0 : step == 2 ? 1 : 4);
        if (step * pixelsPerSample >= labelWidth * 1.2)
            break;
    }
}
