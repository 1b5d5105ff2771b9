// The trace document's change signals, the one time-axis control as each chart window uses it,
// and the views saying when they show another trace than the loaded one.

#include "ChannelChart.h"
#include "PreviousTraceLabel.h"
#include "TForm1.h"
#include "TForm3.h"
#include "TForm4.h"
#include "TGraghForm.h"
#include "TimeViewState.h"

#include <QAction>
#include <QLineEdit>
#include <QLineSeries>
#include <QRadioButton>
#include <QPushButton>
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

// A trace that tells itself apart: its trigger point, channel 1 and bit 0 of word 1 at sample 0.
TTraceRecord Marked(int triggerPoint, float channel1, int bit0) {
    TTraceRecord record;
    ResetRecord(record, 0);
    record.Header[0] = 100 - triggerPoint;
    record.Value[0][0] = channel1;
    record.Flag[0][0] = bit0;
    return record;
}

// What the view shows of that trace.
QString Probe(const QString &window) {
    if (window == QLatin1String("graph"))
        return GraghForm->Edit1->text();
    if (window == QLatin1String("bits"))
        return QString::number(Form4->Series[0]->at(0).y());
    return Form3->Cells(1, 1);
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

    // Another trace put in: each view keeps what it shows and says so until its own way back,
    // or follows at once while View / Follow New Traces is on.
    void viewShowsWhichTrace_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<bool>("follow");
        QTest::addColumn<QString>("old");  // the probe of the first trace
        QTest::addColumn<QString>("next"); // of the second
        QTest::addColumn<QString>("text");
        for (const bool follow : {false, true}) {
            const char *mode = follow ? ", following" : "";
            QTest::addRow("graph%s", mode) << "graph" << follow << "80" << "60"
                                           << "Not the loaded trace (a.vnx, trigger 80): "
                                              "press Redraw";
            QTest::addRow("bit graph%s", mode) << "bits" << follow << "0" << "2"
                                               << "Not the loaded trace (a.vnx, trigger 80): "
                                                  "choose a flag word";
            QTest::addRow("table%s", mode) << "table" << follow << "2.00" << "4.00"
                                           << "Not the loaded trace (a.vnx, trigger 80): "
                                              "choose a view";
        }
    }
    void viewShowsWhichTrace() {
        QFETCH(QString, window);
        QFETCH(bool, follow);
        QFETCH(QString, old);
        QFETCH(QString, next);
        QFETCH(QString, text);
        Language = LanguageEnglish;
        TForm1 frame;
        frame.resize(1000, 700);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        Language = LanguageEnglish;
        frame.FollowNewTraces1->setChecked(follow);
        frame.Document->ReplaceTrace(Marked(80, 100, 0), 0, false, QStringLiteral("a.vnx"));
        PreviousTraceLabel *label = nullptr;
        QAbstractButton *wayBack = nullptr;
        if (window == QLatin1String("graph")) {
            frame.N1->trigger();
            GraghForm->CheckBox[1]->click();
            label = GraghForm->PreviousTrace;
            wayBack = GraghForm->Button1;
        } else if (window == QLatin1String("bits")) {
            frame.N2->trigger();
            Form4->RadioButton1->click();
            label = Form4->PreviousTrace;
            wayBack = Form4->RadioButton1; // the word already chosen
        } else {
            frame.N3->trigger();
            label = Form3->PreviousTrace;
            wayBack = Form3->RadioButton1; // the view already chosen
        }
        QCOMPARE(label->accessibleName(), QStringLiteral("Previous trace"));
        QCOMPARE(Probe(window), old);
        QVERIFY(!label->isVisible());

        frame.Document->ReplaceTrace(Marked(60, 200, 1), 0, false, QStringLiteral("b.vnx"));
        QCOMPARE(label->isVisible(), !follow);
        QCOMPARE(Probe(window), follow ? next : old);
        if (!follow) {
            QCOMPARE(label->text(), text);
            wayBack->click();
            QVERIFY(!label->isVisible());
            QCOMPARE(Probe(window), next);
        }
        if (window == QLatin1String("graph")) // its ticked channel stays
            QVERIFY(GraghForm->Chart[1]->isVisible());
    }
};

QTEST_MAIN(tst_TraceDocument)
#include "tst_TraceDocument.moc"
