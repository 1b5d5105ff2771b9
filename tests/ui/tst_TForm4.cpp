// Bit graph window: empty start, trace levels, titles by the language of the moment, bit
// label places, printing, and the program's time view (cursors, readout, zoom, marker) on it.

#include "FakeDialogs.h"
#include "TForm1.h"
#include "TForm4.h"
#include "TGraghForm.h"
#include "TimeViewState.h"
#include "WindowState.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>

namespace {

TForm4 *OpenBitGraph() {
    Form1->N2->trigger();
    return Form4;
}

// The y values of the trace of bit b.
QList<double> Levels(const TForm4 &form, int b) {
    QList<double> levels;
    for (const QPointF &p : form.Series[b]->points())
        levels << p.y();
    return levels;
}

// What the bit graph shows, read from its picture.
struct Picture {
    QList<int> traces; // rows of the red traces, bottom (bit 0) first
    int traceLeft = -1, traceRight = -1;
    int axisRow = -1; // the bottom axis line
    int axisLeft = -1, axisRight = -1;
    int labelsBelowAxis = 0; // dark pixels of the sample numbers under the axis line
};

bool IsRed(QRgb c) {
    return qRed(c) > 180 && qGreen(c) < 90 && qBlue(c) < 90;
}

bool IsDark(QRgb c) {
    return qRed(c) < 90 && qGreen(c) < 90 && qBlue(c) < 90;
}

// Reads traces and the bottom axis off the chart's part of the window's picture.
Picture ReadPicture(const QImage &image, const QRect &chart) {
    Picture picture;
    const int x = chart.center().x();
    for (int y = chart.bottom(); y >= chart.top(); --y)
        if (IsRed(image.pixel(x, y)) && !IsRed(image.pixel(x, y + 1)))
            picture.traces << y;
    if (picture.traces.isEmpty())
        return picture;
    const int row = picture.traces.first();
    for (int i = chart.left(); i <= chart.right(); ++i)
        if (IsRed(image.pixel(i, row))) {
            if (picture.traceLeft < 0)
                picture.traceLeft = i;
            picture.traceRight = i;
        }
    // The lowest row that is dark over most of the traces' width.
    for (int y = chart.bottom(); y >= chart.top() && picture.axisRow < 0; --y) {
        int dark = 0;
        for (int i = picture.traceLeft; i <= picture.traceRight; ++i)
            dark += IsDark(image.pixel(i, y));
        if (dark > (picture.traceRight - picture.traceLeft) / 2)
            picture.axisRow = y;
    }
    if (picture.axisRow < 0)
        return picture;
    for (int i = chart.left(); i <= chart.right(); ++i)
        if (IsDark(image.pixel(i, picture.axisRow))) {
            if (picture.axisLeft < 0)
                picture.axisLeft = i;
            picture.axisRight = i;
        }
    for (int y = picture.axisRow + 8; y <= std::min(chart.bottom(), picture.axisRow + 24); ++y)
        for (int i = picture.traceLeft; i <= picture.traceRight; ++i)
            picture.labelsBelowAxis += IsDark(image.pixel(i, y));
    return picture;
}

// Vertical centre of the dark pixels inside rect.
double InkCentre(const QImage &image, const QRect &rect) {
    double sum = 0;
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (IsDark(image.pixel(x, y))) {
                sum += y;
                ++count;
            }
    return count ? sum / count : -1;
}

// Where sample k of the view lies, in the chart view's viewport, at the height of the plot's
// middle.
QPoint SamplePos(const TForm4 &form, double k) {
    const QRectF plot = form.Chart1->plotArea();
    const TimeView &view = Form1->Document->TimeView().View();
    const QPointF inChart(SampleX(k, plot.left(), plot.right(), view.First, view.Last),
                          plot.center().y());
    return form.ChartView->mapFromScene(form.Chart1->mapToScene(inChart));
}

// The plot area in the window's picture.
QRect PlotInWindow(const TForm4 &form) {
    const QRectF plot = form.Chart1->plotArea();
    const QPoint topLeft = form.ChartView->mapFromScene(form.Chart1->mapToScene(plot.topLeft()));
    const QPoint bottomRight =
        form.ChartView->mapFromScene(form.Chart1->mapToScene(plot.bottomRight()));
    return QRect(form.ChartView->viewport()->mapTo(&form, topLeft),
                 form.ChartView->viewport()->mapTo(&form, bottomRight));
}

// Pixels of colour in column x of the plot, within a pixel either side, per row.
double ColumnShare(const QImage &image, const QRect &plot, int x, QRgb colour) {
    int hits = 0;
    for (int y = plot.top() + 2; y <= plot.bottom() - 2; ++y) {
        bool hit = false;
        for (int i = x - 1; i <= x + 1; ++i)
            hit = hit || (image.pixel(i, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
        hits += hit;
    }
    return double(hits) / (plot.height() - 3);
}

bool AnyInPlot(const QImage &image, const QRect &plot, QRgb colour) {
    for (int y = plot.top(); y <= plot.bottom(); ++y)
        for (int x = plot.left(); x <= plot.right(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF))
                return true;
    return false;
}

void SendWheel(QWidget *viewport, const QPoint &pos, int delta, Qt::KeyboardModifiers modifiers) {
    QWheelEvent wheel(pos, viewport->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &wheel);
}

// A double click as the platform delivers it: both presses, then the double click.
void DoubleClick(QWidget *viewport, const QPoint &pos) {
    static quint64 time = 1000000;
    time += 10000;
    const QPointF global = viewport->mapToGlobal(pos);
    const std::pair<QEvent::Type, Qt::MouseButtons> steps[] = {
        {QEvent::MouseButtonPress, Qt::LeftButton},
        {QEvent::MouseButtonRelease, Qt::NoButton},
        {QEvent::MouseButtonPress, Qt::LeftButton},
        {QEvent::MouseButtonDblClick, Qt::LeftButton},
        {QEvent::MouseButtonRelease, Qt::NoButton}};
    for (const auto &[type, buttons] : steps) {
        QMouseEvent event(type, pos, global, Qt::LeftButton, buttons, Qt::NoModifier);
        event.setTimestamp(time += 40);
        QApplication::sendEvent(viewport, &event);
    }
}

} // namespace

class tst_TForm4 : public QObject {
    Q_OBJECT
private slots:
    void init() {
        frame = std::make_unique<TForm1>();
        frame->resize(900, 600);
        frame->show();
        ResetGlobals();
    }
    void cleanup() { frame.reset(); }

    void startState() {
        TForm4 *form = OpenBitGraph();
        QVERIFY(form);
        QVERIFY(!Form1->N2->isEnabled());
        QCOMPARE(form->windowTitle(), QStringLiteral("bit Data Form"));
        QCOMPARE(form->ChartTitle(), QStringLiteral("TChart"));
        for (int w = 0; w < 4; ++w)
            QVERIFY(!form->RadioButton[w]->isChecked());
        for (int b = 0; b < 16; ++b) {
            QCOMPARE(form->Series[b]->count(), 0);
            QCOMPARE(form->Label[b]->text(), QStringLiteral("bit%1").arg(b));
            QCOMPARE(form->Label[b]->x(), 5);
        }
        const QSize client = Form1->ClientArea()->viewport()->size();
        auto *subWindow = qobject_cast<QMdiSubWindow *>(form->parentWidget());
        QVERIFY(subWindow);
        QCOMPARE(subWindow->geometry(), QRect(20, 0, client.width() - 100, client.height() - 40));

        form->Button2->click();
        QTRY_VERIFY(Form4 == nullptr);
        QVERIFY(Form1->N2->isEnabled());
    }

    void handlersCalledDirectly() {
        // Created outside the menu, the window still gives N2 back when it closes.
        Form1->N2->setEnabled(false);
        Form1->Record.Flag[0][2] = 1;
        auto *form = new TForm4(*Form1->Document);
        form->show();
        form->FormCreate();
        QCOMPARE(form->ChartTitle(), QStringLiteral("TChart"));
        form->DrawFlagWord(2);
        QCOMPARE(Levels(*form, 0)[0], 2.0);
        form->Button2Click();
        QTRY_VERIFY(Form4 == nullptr);
        QVERIFY(Form1->N2->isEnabled());
    }

    void levels_data() {
        QTest::addColumn<int>("word");
        QTest::addColumn<int>("bit0");
        QTest::addColumn<int>("bit1");
        QTest::addColumn<int>("bit14");
        QTest::addColumn<int>("bit15");
        QTest::newRow("zero") << 0 << 0 << 4 << 56 << 60;
        QTest::newRow("bits 0 and 15 only") << 0x8001 << 2 << 4 << 56 << 62;
        QTest::newRow("all set") << 0xFFFF << 2 << 6 << 58 << 62;
    }
    void levels() {
        QFETCH(int, word);
        QFETCH(int, bit0);
        QFETCH(int, bit1);
        QFETCH(int, bit14);
        QFETCH(int, bit15);
        for (int w = 0; w < 4; ++w)
            for (int n = 0; n < SampleCount; ++n)
                Form1->Record.Flag[n][w] = w == 2 ? word : ~word;
        TForm4 *form = OpenBitGraph();
        form->RadioButton[2]->click();
        const int expected[] = {bit0, bit1, bit14, bit15};
        const int bits[] = {0, 1, 14, 15};
        for (int i = 0; i < 4; ++i) {
            const QList<QPointF> points = form->Series[bits[i]]->points();
            QCOMPARE(points.size(), SampleCount);
            for (int n = 0; n < SampleCount; ++n)
                QCOMPARE(points[n], QPointF(n, expected[i]));
        }
    }

    void edgeOneSampleWide() {
        for (int n = 50; n < SampleCount; ++n)
            Form1->Record.Flag[n][0] = 1 << 9;
        TForm4 *form = OpenBitGraph();
        form->RadioButton[0]->click();
        const QList<double> levels = Levels(*form, 9);
        QCOMPARE(levels[49], 36.0);
        QCOMPARE(levels[50], 38.0);
        QCOMPARE(levels.count(36.0), 50);
        QCOMPARE(levels.count(38.0), 50);
        QCOMPARE(Levels(*form, 8).count(32.0), 100);
    }

    void redrawOnlyOnANewChoice() {
        TForm4 *form = OpenBitGraph();
        form->RadioButton[1]->click();
        QCOMPARE(Levels(*form, 3)[0], 12.0);
        Form1->Record.Flag[0][1] = 1 << 3;
        form->RadioButton[1]->click(); // already selected: nothing happens
        QCOMPARE(Levels(*form, 3)[0], 12.0);
        form->RadioButton[0]->click();
        form->RadioButton[1]->click();
        QCOMPARE(Levels(*form, 3)[0], 14.0);
    }

    void titles_data() {
        QTest::addColumn<int>("openedIn");
        QTest::addColumn<QStringList>("captions"); // print, close, four radio buttons
        QTest::addColumn<QStringList>("titlesBefore");
        QTest::addColumn<QStringList>("titlesAfterSwitch");
        const QStringList ja = {"  故障フラグ（1）", "  故障フラグ（2）", "  INV状態フラグ",
                                "  INV指令フラグ"};
        const QStringList en = {"  Fault Flag(1)", "  Fault Flag(2)", "  INV. status Flag",
                                "  INV. command Flag "};
        QTest::newRow("opened in Japanese")
            << int('1') << QStringList{"印刷",          "閉じる",        "故障フラグ(1)",
                                       "故障フラグ(2)", "INV状態フラグ", "INV指令フラグ"}
            << ja << en;
        QTest::newRow("opened in English") << int('2') << QStringList{"Print",
                                                                      "Close",
                                                                      "Fault Flag(1)",
                                                                      "Fault Flag(2)",
                                                                      "INV. status Flag",
                                                                      "INV. command Flag"}
                                           << en << ja;
    }
    void titles() {
        QFETCH(int, openedIn);
        QFETCH(QStringList, captions);
        QFETCH(QStringList, titlesBefore);
        QFETCH(QStringList, titlesAfterSwitch);
        Language = openedIn;
        TForm4 *form = OpenBitGraph();
        auto shownCaptions = [form] {
            QStringList texts{form->Button1->text(), form->Button2->text()};
            for (auto *button : form->RadioButton)
                texts << button->text();
            return texts;
        };
        QCOMPARE(shownCaptions(), captions);
        for (int w = 0; w < 4; ++w) {
            form->RadioButton[w]->click();
            QCOMPARE(form->ChartTitle(), titlesBefore[w]);
        }
        Form1->FormKeyPress(12); // Ctrl+L
        for (int w = 0; w < 4; ++w) {
            form->RadioButton[w]->click();
            QCOMPARE(form->ChartTitle(), titlesAfterSwitch[w]);
        }
        QCOMPARE(shownCaptions(), captions); // the buttons keep the language of creation
    }

    // The picture taken at once after every change of size (as printing takes it): the axis,
    // its numbers and the traces agree, and every bit label stands in its own bit's lane.
    void pictureAtEverySize_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("small") << QSize(420, 300);
        QTest::newRow("design") << QSize(640, 450);
        QTest::newRow("large") << QSize(860, 580);
        QTest::newRow("maximised") << QSize();
        QTest::newRow("small again") << QSize(420, 300);
    }
    void pictureAtEverySize() {
        QFETCH(QSize, size);
        Language = '2';
        TForm4 *form = OpenBitGraph();
        form->RadioButton[0]->click(); // all clear: every trace on its lower level
        QTest::qWait(1);
        auto *frame = qobject_cast<QMdiSubWindow *>(form->parentWidget());
        QVERIFY(frame);
        // From another size first, so that each row is a real change.
        frame->resize(700, 500);
        QTest::qWait(1);
        if (size.isValid())
            frame->resize(size);
        else
            frame->showMaximized();
        const QImage image = form->grab().toImage();
        const QRect chart = form->ChartView->geometry().translated(form->Panel4->pos());
        const Picture picture = ReadPicture(image, chart);
        QCOMPARE(picture.traces.size(), 16);
        const double pitch = double(picture.traces.first() - picture.traces.last()) / 15;
        QVERIFY(pitch > 3);
        // The axis line lies half a lane below bit 0 (level -2) and spans the traces.
        QVERIFY2(qAbs(picture.axisRow - picture.traces.first() - pitch / 2) <= 2,
                 qPrintable(QStringLiteral("axis at %1, bit 0 at %2, lanes %3 apart")
                                .arg(picture.axisRow)
                                .arg(picture.traces.first())
                                .arg(pitch)));
        QVERIFY(qAbs(picture.axisLeft - picture.traceLeft) <= 2);
        QVERIFY(qAbs(picture.axisRight - picture.traceRight) <= 2);
        QVERIFY(picture.labelsBelowAxis > 0);
        for (int b = 0; b < 16; ++b) {
            // The text of the label lies within the lane of its own trace: from halfway down
            // to the trace below to halfway up to the set level above.
            const QRect label = form->Label[b]->geometry().translated(form->Panel3->pos());
            const double centre = InkCentre(image, label);
            const int trace = picture.traces[b];
            QVERIFY2(centre > trace - 0.75 * pitch && centre < trace + 0.25 * pitch,
                     qPrintable(QStringLiteral("bit%1 at %2, its trace at %3, lanes %4 apart")
                                    .arg(b)
                                    .arg(centre)
                                    .arg(trace)
                                    .arg(pitch)));
        }
    }

    void labelPlaces_data() {
        QTest::addColumn<int>("panelHeight");
        QTest::addColumn<int>("bit15");
        QTest::addColumn<int>("bit0");
        QTest::newRow("design height") << 395 << 39 << 354;
        QTest::newRow("75") << 75 << 19 << 34;
        QTest::newRow("45") << 45 << 19 << 34;
        QTest::newRow("44") << 44 << 18 << 18;
    }
    void labelPlaces() {
        QFETCH(int, panelHeight);
        QFETCH(int, bit15);
        QFETCH(int, bit0);
        // Room for the chart beside a panel of the design height, with the readout below.
        frame->resize(900, 700);
        TForm4 *form = OpenBitGraph();
        form->Panel3->resize(form->Panel3->width(), panelHeight);
        QCOMPARE(form->Label[15]->y(), bit15);
        QCOMPARE(form->Label[0]->y(), bit0);
        QCOMPARE(form->Label[7]->y(), BitLabelTop(panelHeight, 7));
        for (auto *label : form->Label)
            QCOMPARE(label->x(), 5);
    }

    void printsWhateverTheSetupAnswers_data() {
        QTest::addColumn<bool>("confirmed");
        QTest::newRow("confirmed") << true;
        QTest::newRow("cancelled") << false;
    }
    void printsWhateverTheSetupAnswers() {
        QFETCH(bool, confirmed);
        FakeDialogs dialogs;
        QTemporaryDir dir;
        dialogs.printToFile = dir.filePath("bits.pdf");
        dialogs.printerAnswer = confirmed;
        TForm4 *form = OpenBitGraph();
        form->RadioButton[3]->click();
        form->Button1->click();
        QCOMPARE(dialogs.printerSetups, 1);
        QVERIFY(dialogs.messages.isEmpty());
        QFile pdf(dialogs.printToFile);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.read(5) == "%PDF-");
        QVERIFY(pdf.size() > 1000);
    }

    void printFailureIsReported_data() {
        QTest::addColumn<QString>("printToFile");
        QTest::newRow("file cannot be created") << "/nonexistent-dir/bits.pdf";
        QTest::newRow("no printer and no file") << QString();
    }
    void printFailureIsReported() {
        QFETCH(QString, printToFile);
        if (printToFile.isEmpty() && !QPrinterInfo::defaultPrinter().isNull())
            QSKIP("a printer is installed here");
        FakeDialogs dialogs;
        dialogs.printToFile = printToFile;
        TForm4 *form = OpenBitGraph();
        form->Button1->click();
        QCOMPARE(dialogs.printerSetups, 1);
        QCOMPARE(dialogs.messages.size(), 1);
    }

    // One printer setup for the program: what the user chose for one window holds for the
    // other, and for windows opened later.
    void onePrinterSetupForTheRun() {
        FakeDialogs dialogs;
        QTemporaryDir dir;
        const QString chosen = dir.filePath("chosen.pdf");
        dialogs.printToFile = chosen; // chosen once, in the first setup
        Form1->N1->trigger();
        GraghForm->Button2->click();
        QVERIFY(QFileInfo(chosen).size() > 0);
        dialogs.printToFile.clear(); // later setups are confirmed as they stand
        QVERIFY(QFile::remove(chosen));
        OpenBitGraph()->Button1->click();
        QVERIFY(QFileInfo(chosen).size() > 0);
        QVERIFY(QFile::remove(chosen));
        Form4->Button2->click();
        QTRY_VERIFY(Form4 == nullptr);
        OpenBitGraph()->Button1->click();
        QVERIFY(QFileInfo(chosen).size() > 0);
        QCOMPARE(dialogs.printerSetups, 3);
        QVERIFY(dialogs.messages.isEmpty());
    }

    // Both windows tell a failed printout in the same words, in the language of the moment.
    void oneFailureText_data() {
        QTest::addColumn<int>("language");
        QTest::newRow("Japanese") << int('1');
        QTest::newRow("English") << int('2');
    }
    void oneFailureText() {
        QFETCH(int, language);
        FakeDialogs dialogs;
        dialogs.printToFile = QStringLiteral("/nonexistent-dir/page.pdf");
        Form1->N1->trigger();
        TForm4 *form = OpenBitGraph();
        Language = language;
        GraghForm->Button2->click();
        form->Button1->click();
        QCOMPARE(dialogs.messages.size(), 2);
        QCOMPARE(dialogs.messages[0], dialogs.messages[1]);
        QCOMPARE(dialogs.messages[0].contains(QStringLiteral("印刷")), language == '1');
    }

    void controlsByName() {
        Language = '2';
        TForm4 *form = OpenBitGraph();
        const QStringList captions = {"Fault Flag(1)", "Fault Flag(2)", "INV. status Flag",
                                      "INV. command Flag"};
        const QRect places[] = {
            {56, 8, 121, 17}, {176, 8, 121, 17}, {296, 8, 113, 17}, {408, 8, 121, 17}};
        QRadioButton *const named[] = {form->RadioButton1, form->RadioButton2, form->RadioButton3,
                                       form->RadioButton4};
        auto *bottom = form->findChild<QFrame *>("Form7");
        QVERIFY(bottom);
        QCOMPARE(bottom->height(), 28);
        for (int w = 0; w < 4; ++w) {
            auto *button =
                form->findChild<QRadioButton *>(QStringLiteral("RadioButton%1").arg(w + 1));
            QCOMPARE(button, named[w]);
            QCOMPARE(button->parentWidget(), bottom);
            // The first two fit their design; the wider English captions of the last two take
            // more room, and the last one moves right only as far as the third needs.
            if (w < 2)
                QCOMPARE(button->geometry(), places[w]);
            QCOMPARE(button->y(), places[w].y());
            QVERIFY(button->x() >= places[w].x());
            QVERIFY(button->width() >= places[w].width());
            QCOMPARE(button->text(), captions[w]);
        }
        QLabel *const labels[] = {form->Label1,  form->Label2,  form->Label3,  form->Label4,
                                  form->Label5,  form->Label6,  form->Label7,  form->Label8,
                                  form->Label9,  form->Label10, form->Label11, form->Label12,
                                  form->Label13, form->Label14, form->Label15, form->Label16};
        QLineSeries *const series[] = {
            form->Series1,  form->Series2,  form->Series3,  form->Series4,
            form->Series5,  form->Series6,  form->Series7,  form->Series8,
            form->Series9,  form->Series10, form->Series11, form->Series12,
            form->Series13, form->Series14, form->Series15, form->Series16};
        for (int b = 0; b < 16; ++b) {
            auto *label = form->findChild<QLabel *>(QStringLiteral("Label%1").arg(b + 1));
            QCOMPARE(label, labels[b]);
            QCOMPARE(label->text(), QStringLiteral("bit%1").arg(b));
            QCOMPARE(label->parentWidget(), form->Panel3);
            QCOMPARE(series[b]->objectName(), QStringLiteral("Series%1").arg(b + 1));
            QCOMPARE(form->Chart1->series().at(b), series[b]);
        }
        QVERIFY(form->Panel3->width() >= 36);
        auto *chartView = form->findChild<QChartView *>("Chart1");
        QVERIFY(chartView);
        QCOMPARE(chartView->chart(), form->Chart1);
        QCOMPARE(form->Chart1->title(), QStringLiteral("TChart"));

        auto *list = form->findChild<QListWidget *>("ListBox1");
        QVERIFY(list);
        QVERIFY(list->isHidden());
        QCOMPARE(list->count(), 8);
        QCOMPARE(list->item(1)->text(), QStringLiteral("  故障フラグ（2）"));
        QCOMPARE(list->item(7)->text(), QStringLiteral("  INV. command Flag "));

        form->RadioButton4Click();
        QCOMPARE(form->Chart1->title(), QStringLiteral("  INV. command Flag "));
        QCOMPARE(form->ChartTitle(), QStringLiteral("  INV. command Flag "));
        QCOMPARE(form->Series16->count(), 100);
    }

    // A click at sample k's x places A at k, Shift+click B, also on a zoomed axis; the readout
    // shows the chosen word at both, in the window's language.
    void cursorsByMouseAndReadout_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::addColumn<QString>("readout");
        QTest::newRow("English, all samples")
            << int('2') << 0 << 99 << 12 << 87
            << QStringLiteral("A 0x001A  B 0x003A\nBits that differ: bit5");
        QTest::newRow("Japanese, zoomed")
            << int('1') << 40 << 52 << 41 << 52
            << QStringLiteral("A 0x801A  B 0x001B\n変化したビット: bit0 bit15");
        QTest::newRow("same word at both")
            << int('2') << 20 << 30 << 25 << 26
            << QStringLiteral("A 0x001A  B 0x001A\nBits that differ: none");
    }
    void cursorsByMouseAndReadout() {
        QFETCH(int, language);
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(int, a);
        QFETCH(int, b);
        QFETCH(QString, readout);
        Language = language;
        for (int n = 0; n < SampleCount; ++n)
            Form1->Record.Flag[n][1] = 0x1A;
        Form1->Record.Flag[87][1] = 0x3A;
        Form1->Record.Flag[41][1] = 0x801A;
        Form1->Record.Flag[52][1] = 0x1B;
        Form1->Record.Flag[52][2] = 0xFFFF; // another word: not read
        TimeView zoomed;
        zoomed.First = first;
        zoomed.Last = last;
        Form1->Document->TimeView().SetView(zoomed);
        TForm4 *form = OpenBitGraph();
        auto *text = form->findChild<QPlainTextEdit *>(QStringLiteral("BitReadout"));
        QVERIFY(text);
        QCOMPARE(text->accessibleName(), QStringLiteral("Bit readout"));
        QVERIFY(text->isReadOnly());
        QVERIFY(text->isVisible());
        QWidget *viewport = form->ChartView->viewport();
        QTest::mouseClick(viewport, Qt::LeftButton, {}, SamplePos(*form, a));
        QCOMPARE(Form1->Document->TimeView().View().A, std::optional<int>(a));
        QVERIFY(text->toPlainText().isEmpty()); // no word chosen yet
        form->RadioButton[1]->click();
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::ShiftModifier,
                          SamplePos(*form, b + 0.4)); // the nearest sample
        QCOMPARE(Form1->Document->TimeView().View().B, std::optional<int>(b));
        QCOMPARE(Form1->Document->TimeView().View().A, std::optional<int>(a));
        QCOMPARE(text->toPlainText(), readout);
        // As a screen reader reads it.
        QAccessibleInterface *read = QAccessible::queryAccessibleInterface(text);
        QVERIFY(read && read->textInterface());
        QCOMPARE(read->text(QAccessible::Name), QStringLiteral("Bit readout"));
        QCOMPARE(read->textInterface()->text(0, read->textInterface()->characterCount()), readout);
        // Keys of the chart move A and B by one sample; Escape removes both and the readout.
        form->ChartView->setFocus();
        QTest::keyClick(form->ChartView, Qt::Key_Right);
        QTest::keyClick(form->ChartView, Qt::Key_Left, Qt::ShiftModifier);
        QCOMPARE(Form1->Document->TimeView().View().A, std::optional<int>(a + 1));
        QCOMPARE(Form1->Document->TimeView().View().B, std::optional<int>(b - 1));
        QTest::keyClick(form->ChartView, Qt::Key_Escape);
        QVERIFY(!Form1->Document->TimeView().View().A && !Form1->Document->TimeView().View().B);
        QVERIFY(text->toPlainText().isEmpty());
        // The arrows of the word choice stay with the radio buttons.
        form->RadioButton[1]->setFocus();
        QTest::keyClick(form->RadioButton[1], Qt::Key_Right);
        QVERIFY(!Form1->Document->TimeView().View().A);
    }

    // Cursors, hover and marker set anywhere in the program are drawn at their samples' x on
    // the bit graph, also in a window opened after they were set; what lies outside the
    // visible samples is not drawn but stays set.
    void marksAtTheirSamples_data() {
        QTest::addColumn<bool>("openFirst");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::addColumn<int>("header0"); // trigger sample 100 - header0
        QTest::newRow("all samples") << true << 0 << 99 << 30 << 62 << 57;
        QTest::newRow("zoomed, opened later") << false << 20 << 45 << 23 << 44 << 70;
        QTest::newRow("A and B out of view") << true << 50 << 70 << 10 << 80 << 45;
        QTest::newRow("trigger beyond the samples") << true << 0 << 99 << 31 << 32 << 0;
    }
    void marksAtTheirSamples() {
        QFETCH(bool, openFirst);
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(int, a);
        QFETCH(int, b);
        QFETCH(int, header0);
        Form1->Record.Header[0] = header0;
        TForm4 *form = openFirst ? OpenBitGraph() : nullptr;
        TimeView view;
        view.First = first;
        view.Last = last;
        view.A = a;
        view.B = b;
        Form1->Document->TimeView().SetView(view);
        if (!form)
            form = OpenBitGraph();
        form->RadioButton[0]->click();
        QCOMPARE(form->BottomAxis->min(), double(first));
        QCOMPARE(form->BottomAxis->max(), double(last));
        const QImage image = form->grab().toImage();
        const QRect plot = PlotInWindow(*form);
        auto column = [&](int k) {
            return form->ChartView->viewport()->mapTo(form, SamplePos(*form, k)).x();
        };
        const QRgb blue = qRgb(0, 0, 255), green = qRgb(0, 160, 0), black = qRgb(0, 0, 0);
        for (const auto &[k, colour] : {std::pair(a, blue), std::pair(b, green)}) {
            if (k >= first && k <= last)
                QVERIFY2(ColumnShare(image, plot, column(k), colour) > 0.9,
                         qPrintable(QStringLiteral("cursor at %1 not drawn").arg(k)));
            else
                QVERIFY(!AnyInPlot(image, plot, colour));
        }
        const int t = 100 - header0;
        if (t >= first && t <= last) {
            // Dashed: much of the column, not all of it.
            const double share = ColumnShare(image, plot, column(t), black);
            QVERIFY2(share > 0.4 && share < 0.95, qPrintable(QString::number(share)));
        }
        // The cursors stay set however the view moves.
        QCOMPARE(Form1->Document->TimeView().View().A, std::optional<int>(a));
        QCOMPARE(Form1->Document->TimeView().View().B, std::optional<int>(b));
        // The mouse over the chart shows its sample in the shared hover, drawn thin and grey.
        Form1->Document->TimeView().ClearCursors();
        const int h = (first + last) / 2;
        QTest::mouseMove(form->ChartView->viewport(), SamplePos(*form, h));
        QCOMPARE(Form1->Document->TimeView().View().Hover, std::optional<int>(h));
        const QImage hovered = form->grab().toImage();
        QVERIFY(ColumnShare(hovered, plot, column(h), qRgb(128, 128, 128)) > 0.9);
    }

    // The reference's bits in grey beneath, only where a sample has a partner, by trigger and
    // by sample index; gone when the reference is cleared.
    void referenceBitsInGrey() {
        Form1->Record.Header[0] = 60; // t = 40
        TraceUnits reference{Form1->Record, 0, false};
        reference.Record.Header[0] = 90; // t = 10
        for (int n = 0; n < SampleCount; ++n)
            reference.Record.Flag[n][0] = 0x8000; // bit 15 set, where the trace's is clear
        Form1->Document->SetReference(reference);
        TForm4 *form = OpenBitGraph();
        form->RadioButton[0]->click();
        const QRect plot = PlotInWindow(*form);
        auto greyAt = [&](int k) {
            const QImage image = form->grab().toImage();
            const int x = form->ChartView->viewport()->mapTo(form, SamplePos(*form, k)).x();
            return ColumnShare(image, plot, x, qRgb(160, 160, 160)) > 0;
        };
        QVERIFY(!greyAt(20));
        QVERIFY(greyAt(35));
        QVERIFY(greyAt(90));
        Form1->Document->SetReferenceAlignment(Alignment::Sample);
        QVERIFY(greyAt(20));
        Form1->Document->SetReference(std::nullopt);
        QVERIFY(!greyAt(20));
        QVERIFY(!greyAt(90));
    }

    // The wheel zooms around the sample under the mouse, Shift+wheel and a middle drag pan,
    // a double click and Home show all; the axis and the traces follow at once.
    void zoomAndPanFollowTheMouse() {
        Language = '2';
        for (int n = 50; n < SampleCount; ++n)
            Form1->Record.Flag[n][0] = 1; // bit 0 rises from sample 49 to 50
        TForm4 *form = OpenBitGraph();
        form->RadioButton[0]->click();
        QWidget *viewport = form->ChartView->viewport();
        const QPoint mouse = SamplePos(*form, 50);
        SendWheel(viewport, mouse, 3 * 120, Qt::NoModifier);
        const TimeView zoomed = Form1->Document->TimeView().View();
        QVERIFY(!zoomed.ShowsAll());
        QVERIFY(zoomed.Last - zoomed.First < 60);
        QVERIFY(zoomed.First < 50 && zoomed.Last > 50);
        QCOMPARE(form->BottomAxis->min(), double(zoomed.First));
        QCOMPARE(form->BottomAxis->max(), double(zoomed.Last));
        const double sampleWidth = form->Chart1->plotArea().width() / (zoomed.Last - zoomed.First);
        QVERIFY(qAbs(SamplePos(*form, 50).x() - mouse.x()) <= sampleWidth);
        // The rising edge of bit 0 lies between samples 49 and 50 of the zoomed axis.
        const QImage image = form->grab().toImage();
        const QRect plot = PlotInWindow(*form);
        const int x49 = viewport->mapTo(form, SamplePos(*form, 49)).x();
        const int x50 = viewport->mapTo(form, SamplePos(*form, 50)).x();
        // Bit 0's clear level left of sample 49, followed to where it leaves that level.
        int lowRow = -1;
        for (int y = plot.bottom(); y >= plot.top() && lowRow < 0; --y)
            if (IsRed(image.pixel(x49 - 2, y)))
                lowRow = y;
        QVERIFY(lowRow > 0);
        int edge = -1;
        for (int x = x49 - 2; x < plot.right() && edge < 0; ++x)
            if (!IsRed(image.pixel(x, lowRow)))
                edge = x;
        QVERIFY2(
            edge >= x49 - 1 && edge <= x50 + 1,
            qPrintable(
                QStringLiteral("edge at %1, samples at %2 and %3").arg(edge).arg(x49).arg(x50)));
        // Zoomed in as far as it goes: five samples stay.
        SendWheel(viewport, mouse, 40 * 120, Qt::NoModifier);
        QCOMPARE(Form1->Document->TimeView().View().Last - Form1->Document->TimeView().View().First,
                 MinVisibleSamples - 1);
        SendWheel(viewport, mouse, -3 * 120, Qt::NoModifier);
        const TimeView before = Form1->Document->TimeView().View();
        SendWheel(viewport, mouse, -120, Qt::ShiftModifier); // later samples
        TimeView now = Form1->Document->TimeView().View();
        QVERIFY(now.First > before.First);
        QCOMPARE(now.Last - now.First, before.Last - before.First);
        // Dragging with the middle button to the left brings later samples in.
        const int from = now.First;
        QTest::mousePress(viewport, Qt::MiddleButton, {}, SamplePos(*form, now.Last - 1));
        QMouseEvent drag(QEvent::MouseMove, SamplePos(*form, now.First + 1),
                         viewport->mapToGlobal(SamplePos(*form, now.First + 1)), Qt::NoButton,
                         Qt::MiddleButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &drag);
        QTest::mouseRelease(viewport, Qt::MiddleButton, {}, SamplePos(*form, now.First + 1));
        now = Form1->Document->TimeView().View();
        QCOMPARE(now.First, std::min(from + (before.Last - before.First) - 2,
                                     SampleCount - 1 - (now.Last - now.First)));
        // A double click shows all and leaves the cursors where they were.
        Form1->Document->TimeView().PlaceA(now.First);
        DoubleClick(viewport, SamplePos(*form, now.Last));
        QVERIFY(Form1->Document->TimeView().View().ShowsAll());
        QCOMPARE(Form1->Document->TimeView().View().A, std::optional<int>(now.First));
        QCOMPARE(form->BottomAxis->max(), 99.0);
        SendWheel(viewport, mouse, 120, Qt::NoModifier);
        form->ChartView->setFocus();
        QTest::keyClick(form->ChartView, Qt::Key_Home);
        QVERIFY(Form1->Document->TimeView().View().ShowsAll());
        QCOMPARE(form->BottomAxis->min(), 0.0);
    }

private:
    std::unique_ptr<TForm1> frame;
};

QTEST_MAIN(tst_TForm4)
#include "tst_TForm4.moc"
