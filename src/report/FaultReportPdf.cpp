#include "FaultReportPdf.h"

#include "HistoryIndex.h"

#include "ChartScaling.h"
#include "CheckedSave.h"
#include "TimeView.h"
#include "TraceFile.h"
#include "TraceFileIO.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>

#include <cmath>
#include <memory>

namespace {

// Points per painter unit is one: the writer runs at 72 dots per inch.
constexpr int PdfResolution = 72;
constexpr double Margin = 36;
constexpr double ColumnGap = 16;

QString Q(const std::string &text) {
    return QString::fromStdString(text);
}

QFont ReportFont(bool japanese, double points, bool bold = false) {
    // Fonts the set-up installs, named directly: the report must look the same with or without
    // the windows' substitutions, and Japanese needs a font that embeds its glyphs.
    QFont font(japanese ? QStringLiteral("IPAGothic") : QStringLiteral("Liberation Sans"));
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

// Draws text on one line from (x, y) (top), cut to width; returns the line height.
double Line(QPainter &p, double x, double y, double width, const QString &text) {
    const QFontMetricsF metrics(p.font());
    const QString shown = metrics.elidedText(text, Qt::ElideRight, width);
    p.drawText(QPointF(x, y + metrics.ascent()), shown);
    return metrics.height();
}

void PaintChart(QPainter &p, const QRectF &box, const ReportChart &chart,
                std::optional<int> trigger, bool withTimeLabels, const QFont &font) {
    p.setFont(font);
    const QFontMetricsF metrics(font);
    const double labelWidth = metrics.horizontalAdvance(QStringLiteral("-00000.0")) + 4;
    const double titleHeight = metrics.height();
    const double timeHeight = withTimeLabels ? metrics.height() : 0;
    const QRectF plot(box.left() + labelWidth, box.top() + titleHeight,
                      box.width() - labelWidth - 4, box.height() - titleHeight - timeHeight - 2);
    p.setPen(Qt::black);
    p.drawText(QPointF(plot.left(), box.top() + metrics.ascent()), Q(chart.Title));
    p.setPen(QPen(Qt::black, 0.5));
    p.drawRect(plot);

    const double lo = chart.Range.Min, hi = chart.Range.Max;
    const auto yOf = [&](double v) {
        return hi > lo ? plot.bottom() - (v - lo) / (hi - lo) * plot.height() : plot.center().y();
    };
    const auto xOf = [&](double k) { return SampleX(k, plot.left(), plot.right(), 0, 99); };

    // Three labels: both ends of the range and its middle.
    for (const double v : {lo, (lo + hi) / 2, hi}) {
        const double y = yOf(v);
        const QString text = Q(AxisLabelText(v));
        p.drawLine(QPointF(plot.left() - 2, y), QPointF(plot.left(), y));
        p.drawText(QPointF(plot.left() - 3 - metrics.horizontalAdvance(text),
                           y + metrics.ascent() / 2 - 1),
                   text);
    }
    for (int k = 0; k < SampleCount; k += 10) {
        const double x = xOf(k);
        p.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + 2));
        if (withTimeLabels) {
            const QString text = QString::number(k);
            p.drawText(QPointF(x - metrics.horizontalAdvance(text) / 2,
                               plot.bottom() + 2 + metrics.ascent()),
                       text);
        }
    }

    // The trace, broken where a value cannot be drawn.
    p.save();
    p.setClipRect(plot);
    p.setPen(QPen(QColor(0, 70, 170), 0.8));
    QPainterPath path;
    bool drawing = false;
    for (int n = 0; n < SampleCount; ++n) {
        const float v = chart.Y[static_cast<std::size_t>(n)];
        if (!std::isfinite(v)) {
            drawing = false;
            continue;
        }
        const QPointF point(xOf(n), yOf(v));
        if (drawing)
            path.lineTo(point);
        else
            path.moveTo(point);
        drawing = true;
    }
    p.drawPath(path);
    p.restore();

    if (trigger) {
        const double x = xOf(*trigger);
        QPen pen(QColor(200, 0, 0), 0.8, Qt::DashLine);
        p.setPen(pen);
        p.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        p.setPen(QColor(200, 0, 0));
        p.drawText(QPointF(x + 2, plot.top() + metrics.ascent()), QStringLiteral("T"));
    }
    p.setPen(Qt::black);
}

} // namespace

void PaintFaultReport(QPainter &p, const QRectF &page, const FaultReport &report, bool japanese) {
    const QRectF area = page.adjusted(Margin, Margin, -Margin, -Margin);
    const double half = (area.width() - ColumnGap) / 2;
    double y = area.top();
    p.setPen(Qt::black);

    p.setFont(ReportFont(japanese, 18, true));
    y += Line(p, area.left(), y, area.width(), Q(report.Title)) + 6;

    // Source and drive type on the left, trigger point and stamps on the right.
    p.setFont(ReportFont(japanese, 9));
    const std::size_t leftCount = std::min<std::size_t>(2, report.InfoLines.size());
    double left = y, right = y;
    for (std::size_t i = 0; i < report.InfoLines.size(); ++i) {
        if (i < leftCount)
            left += Line(p, area.left(), left, half, Q(report.InfoLines[i]));
        else
            right += Line(p, area.left() + half + ColumnGap, right, half, Q(report.InfoLines[i]));
    }
    y = std::max(left, right) + 6;
    if (!report.NoteLine.empty())
        y += Line(p, area.left(), y, area.width(), Q(report.NoteLine)) + 6;

    p.setFont(ReportFont(japanese, 11, true));
    y += Line(p, area.left(), y, area.width(), Q(report.FirstFaultLine)) + 6;

    // The likely cause first and bold, its evidence and remedies wrapped over the whole width;
    // then the signals that moved first in two columns, reading down.
    p.setFont(ReportFont(japanese, 9.5, true));
    y += Line(p, area.left(), y, area.width(), Q(report.DiagnosisHeading)) + 1;
    for (std::size_t i = 0; i < report.DiagnosisLines.size(); ++i) {
        p.setFont(ReportFont(japanese, 8, i == 0));
        QRectF used;
        p.drawText(QRectF(area.left(), y, area.width(), area.bottom() - y),
                   Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, Q(report.DiagnosisLines[i]),
                   &used);
        y += used.height();
    }
    y += 2;
    p.setFont(ReportFont(japanese, 7.5, true));
    y += Line(p, area.left(), y, area.width(), Q(report.OnsetsHeading));
    p.setFont(ReportFont(japanese, 7.5));
    const double onsetHeight = QFontMetricsF(p.font()).height();
    const std::size_t onsetsPerColumn = (report.OnsetLines.size() + 1) / 2;
    for (std::size_t i = 0; i < report.OnsetLines.size(); ++i) {
        const bool second = i >= onsetsPerColumn;
        Line(p, area.left() + (second ? half + ColumnGap : 0),
             y + static_cast<double>(second ? i - onsetsPerColumn : i) * onsetHeight, half,
             Q(report.OnsetLines[i]));
    }
    y += static_cast<double>(onsetsPerColumn) * onsetHeight + 6;

    // Events in two columns, reading down.
    p.setFont(ReportFont(japanese, 9.5, true));
    y += Line(p, area.left(), y, area.width(), Q(report.EventsHeading)) + 1;
    p.setFont(ReportFont(japanese, 7.5));
    const std::size_t perColumn = (report.EventLines.size() + 1) / 2;
    double eventBottom = y;
    for (std::size_t i = 0; i < report.EventLines.size(); ++i) {
        const bool second = i >= perColumn && perColumn > 0;
        const double x = area.left() + (second ? half + ColumnGap : 0);
        const double lineY =
            y + static_cast<double>(second ? i - perColumn : i) * QFontMetricsF(p.font()).height();
        // The first fault stands out in the list as on top.
        const bool first = report.FirstFaultEventLine == i;
        if (first) {
            p.setFont(ReportFont(japanese, 7.5, true));
            p.setPen(QColor(170, 0, 0));
        }
        eventBottom =
            std::max(eventBottom, lineY + Line(p, x, lineY, half, Q(report.EventLines[i])));
        if (first) {
            p.setFont(ReportFont(japanese, 7.5));
            p.setPen(Qt::black);
        }
    }
    y = eventBottom;
    if (!report.MoreEventsLine.empty())
        y += Line(p, area.left(), y, area.width(), Q(report.MoreEventsLine));
    y += 6;

    // Channel table on the left, hints on the right.
    const double sectionTop = y;
    p.setFont(ReportFont(japanese, 9.5, true));
    y += Line(p, area.left(), y, half, Q(report.ChannelsHeading)) + 1;
    const double columns[4] = {0, half * 0.44, half * 0.62, half * 0.80};
    const double columnEnds[4] = {half * 0.44, half * 0.62, half * 0.80, half};
    const auto row = [&](const std::array<QString, 4> &cells, double rowY) {
        double h = 0;
        for (int c = 0; c < 4; ++c) {
            const QFontMetricsF metrics(p.font());
            const double width = columnEnds[c] - columns[c] - 3;
            const QString text =
                metrics.elidedText(cells[static_cast<std::size_t>(c)], Qt::ElideRight, width);
            // Numbers stand right-aligned in their column.
            const double x = c == 0 ? area.left()
                                    : area.left() + columnEnds[c] - metrics.horizontalAdvance(text);
            p.drawText(QPointF(x, rowY + metrics.ascent()), text);
            h = metrics.height();
        }
        return h;
    };
    p.setFont(ReportFont(japanese, 7.5, true));
    y += row({Q(report.ChannelColumns[0]), Q(report.ChannelColumns[1]), Q(report.ChannelColumns[2]),
              Q(report.ChannelColumns[3])},
             y);
    p.setFont(ReportFont(japanese, 7.5));
    for (const ReportChannelRow &r : report.ChannelRows)
        y += row({Q(r.Name), Q(r.Min), Q(r.Max), Q(r.AtTrigger)}, y);
    const double tableBottom = y;

    double hy = sectionTop;
    const double hx = area.left() + half + ColumnGap;
    p.setFont(ReportFont(japanese, 9.5, true));
    hy += Line(p, hx, hy, half, Q(report.HintsHeading)) + 1;
    p.setFont(ReportFont(japanese, 7.5));
    for (const std::string &hint : report.HintLines) {
        const QRectF room(hx, hy, half, std::max(0.0, tableBottom + 40 - hy));
        QRectF used;
        p.drawText(room, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, Q(hint), &used);
        hy += std::min(used.height(), room.height()) + 2;
        if (hy >= tableBottom + 40)
            break;
    }
    y = std::max(tableBottom, hy) + 8;

    // The charts, bottom chart of the graph window at the bottom of the page.
    if (report.Charts.empty())
        return;
    p.setFont(ReportFont(japanese, 9.5, true));
    y += Line(p, area.left(), y, area.width(), Q(report.ChartsHeading)) + 2;
    const int count = static_cast<int>(report.Charts.size());
    const double height = (area.bottom() - y) / count;
    const QFont chartFont = ReportFont(japanese, 6.5);
    for (int i = 0; i < count; ++i) {
        // Position 1 (the first chart) is the bottom one, as in the graph window.
        const int position = count - 1 - i;
        const QRectF box(area.left(), y + i * height, area.width(), height - 3);
        PaintChart(p, box, report.Charts[static_cast<std::size_t>(position)], report.Trigger,
                   position == 0, chartFont);
    }
}

QByteArray FaultReportPdf(const FaultReportInput &input, QString *error) {
    // A command-line program has no application object, and laying out text needs a
    // QGuiApplication: one on the offscreen platform needs no display, whatever the
    // environment asks for.
    std::unique_ptr<QGuiApplication> ownApplication;
    if (!QCoreApplication::instance()) {
        static int argc = 3;
        static char name[] = "vandrel-report", option[] = "-platform", platform[] = "offscreen";
        static char *argv[] = {name, option, platform, nullptr};
        ownApplication = std::make_unique<QGuiApplication>(argc, argv);
    }
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        if (error)
            *error = QStringLiteral("the report needs a QGuiApplication to lay out its text");
        return {};
    }
    const FaultReport report = BuildFaultReport(input);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(PdfResolution);
        writer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        writer.setTitle(Q(report.Title));
        writer.setCreator(QStringLiteral("Vandrel Monitor"));
        QPainter painter;
        if (!painter.begin(&writer)) {
            if (error)
                *error = QStringLiteral("the PDF page could not be started");
            return {};
        }
        painter.setRenderHint(QPainter::Antialiasing);
        const QRect page = writer.pageLayout().paintRectPixels(writer.resolution());
        PaintFaultReport(painter, QRectF(page.translated(-page.topLeft())), report, input.Japanese);
        painter.end();
    }
    if (bytes.isEmpty() && error)
        *error = QStringLiteral("the PDF document came out empty");
    return bytes;
}

bool WriteFaultReport(const QString &path, const FaultReportInput &input, QString *error) {
    const QByteArray bytes = FaultReportPdf(input, error);
    if (bytes.isEmpty())
        return false;
    return SaveFileChecked(path, bytes, error, input.Japanese ? LanguageJapanese : LanguageEnglish);
}

bool WriteFaultReportOfFile(const QString &tracePath, const QString &outPath, bool japanese,
                            QString *error) {
    FaultReportInput input;
    if (!LoadTraceUnits(tracePath, input.Trace, false, error,
                        japanese ? LanguageJapanese : LanguageEnglish))
        return false;
    input.Japanese = japanese;
    input.Source = QFileInfo(tracePath).fileName().toStdString();
    input.Note = HistoryIndex().NoteOf(tracePath).toStdString();
    return WriteFaultReport(outPath, input, error);
}
