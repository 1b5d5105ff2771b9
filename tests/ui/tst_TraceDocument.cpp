// The trace document's change signals, and the one time-axis control as each chart window
// uses it.

#include "ChannelChart.h"
#include "TForm1.h"
#include "TForm4.h"
#include "TGraghForm.h"
#include "TimeViewState.h"

#include <QAction>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QSignalSpy>
#include <QTest>

namespace {

// The chart view of the graph window (one channel ticked) or of the bit graph.
QChartView *OpenChart(TForm1 &frame, const QString &window) {
    if (window == QLatin1String("graph")) {
        frame.N1->trigger();
        GraghForm->CheckBox[1]->click();
        return GraghForm->Chart[1];
    }
    frame.N2->trigger();
    return Form4->ChartView;
}

// Where sample k of the visible range lies in the view, halfway down the plot.
QPoint SampleAt(QChartView *view, const TimeView &shown, int k) {
    const QRectF plot = view->chart()->plotArea();
    const double x = SampleX(k, plot.left(), plot.right(), shown.First, shown.Last);
    return view->mapFromScene(view->chart()->mapToScene(QPointF(x, plot.center().y())));
}

void Wheel(QChartView *view, const QPoint &at, int steps) {
    QWheelEvent event(at, view->viewport()->mapToGlobal(at), QPoint(),
                      QPoint(0, steps * QWheelEvent::DefaultDeltasPerStep), Qt::NoButton, {},
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(view->viewport(), &event);
}

} // namespace

class tst_TraceDocument : public QObject {
    Q_OBJECT

private slots:
    // Everything of a new trace is in place before anyone hears of it; the zoom starts again,
    // the cursors stay.
    void replacedTraceIsWholeWhenAnnounced() {
        TForm1 frame;
        TraceDocument &document = *frame.Document;
        document.TimeView().Zoom(50, 3);
        document.TimeView().PlaceA(12);
        TTraceRecord next = frame.Record;
        next.Header[0] = 33;
        std::optional<TraceUnits> heard;
        connect(&document, &TraceDocument::TraceReplaced, this, [&] { heard = document.Units(); });
        QSignalSpy replaced(&document, &TraceDocument::TraceReplaced);
        document.ReplaceTrace(next, 1, true, QStringLiteral("next.vnb"));
        QCOMPARE(replaced.count(), 1);
        QVERIFY(heard);
        QCOMPARE(heard->Record.Header[0], 33);
        QCOMPARE(heard->DriveTypeE, 1);
        QVERIFY(heard->Normalized);
        QCOMPARE(heard->Record.Scale[9], ChannelFactor(9, 1));
        QCOMPARE(document.Source(), QStringLiteral("next.vnb"));
        QVERIFY(document.TimeView().View().ShowsAll());
        QCOMPARE(document.TimeView().View().A, std::optional<int>(12));

        // The same alignment again changes nothing and says nothing.
        QSignalSpy reference(&document, &TraceDocument::ReferenceChanged);
        document.SetReferenceAlignment(document.ReferenceAlignment());
        QCOMPARE(reference.count(), 0);
        document.SetReferenceAlignment(Alignment::Sample);
        document.SetReference(document.Units());
        QCOMPARE(reference.count(), 2);
    }

    void mouseOverEitherChart_data() {
        QTest::addColumn<QString>("window");
        QTest::newRow("graph") << QStringLiteral("graph");
        QTest::newRow("bit graph") << QStringLiteral("bits");
    }
    // Click, Shift+click, hover, wheel and double click act alike in both windows: a double
    // click shows all samples and keeps the cursors its clicks would have moved.
    void mouseOverEitherChart() {
        QFETCH(QString, window);
        TForm1 frame;
        frame.resize(1000, 700);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QChartView *chart = OpenChart(frame, window);
        QVERIFY(QTest::qWaitForWindowExposed(chart));
        const TimeView &view = frame.Document->TimeView().View();

        QTest::mouseClick(chart->viewport(), Qt::LeftButton, {}, SampleAt(chart, view, 30));
        QTest::mouseClick(chart->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                          SampleAt(chart, view, 60));
        QCOMPARE(view.A, std::optional<int>(30));
        QCOMPARE(view.B, std::optional<int>(60));
        QTest::mouseMove(chart->viewport(), SampleAt(chart, view, 45));
        QCOMPARE(view.Hover, std::optional<int>(45));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(chart->viewport(), &leave);
        QCOMPARE(view.Hover, std::nullopt);

        Wheel(chart, SampleAt(chart, view, 50), 2);
        QVERIFY(!view.ShowsAll());
        QVERIFY(view.First <= 50 && view.Last >= 50);
        QTest::mouseDClick(chart->viewport(), Qt::LeftButton, {}, SampleAt(chart, view, 50));
        QVERIFY(view.ShowsAll());
        QCOMPARE(view.A, std::optional<int>(30));
        QCOMPARE(view.B, std::optional<int>(60));
    }
};

QTEST_MAIN(tst_TraceDocument)
#include "tst_TraceDocument.moc"
