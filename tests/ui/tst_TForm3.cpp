// Data table window: start contents, both views, the disabled raw view, a record changed
// while the table is open.

#include "TForm1.h"
#include "TForm3.h"
#include "TimeViewState.h"
#include "WindowState.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QGroupBox>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTableView>
#include <QTest>

namespace {

TForm3 *OpenTable() {
    Form1->N3->trigger();
    return Form3;
}

QStringList Row(const TForm3 &table, int row, int firstCol, int lastCol) {
    QStringList cells;
    for (int col = firstCol; col <= lastCol; ++col)
        cells << table.Cells(col, row);
    return cells;
}

} // namespace

class tst_TForm3 : public QObject {
    Q_OBJECT
private slots:
    void init() {
        frame = std::make_unique<TForm1>();
        frame->show();
        ResetGlobals();
    }
    void cleanup() { frame.reset(); }

    void startContents() {
        TForm3 *table = OpenTable();
        QVERIFY(table);
        QVERIFY(!Form1->N3->isEnabled());
        QCOMPARE(table->windowTitle(), QStringLiteral("Data Form"));
        QCOMPARE(table->Cells(0, 0), QString());
        for (int col = 1; col <= 16; ++col)
            QCOMPARE(table->Cells(col, 0), QStringLiteral("ch%1").arg(col));
        for (int row = 1; row <= 100; ++row) {
            QCOMPARE(table->Cells(0, row), QString::number(row - 1));
            for (int col = 1; col <= 12; ++col)
                QCOMPARE(table->Cells(col, row), QStringLiteral("0.00"));
            for (int col = 13; col <= 16; ++col)
                QCOMPARE(table->Cells(col, row), QStringLiteral("0000"));
        }
        // What the view shows is what the cells hold, header row and column included.
        auto *model = table->StringGrid1->model();
        QCOMPARE(model->rowCount(), 100);
        QCOMPARE(model->columnCount(), 16);
        QCOMPARE(model->headerData(15, Qt::Horizontal).toString(), QStringLiteral("ch16"));
        QCOMPARE(model->headerData(99, Qt::Vertical).toString(), QStringLiteral("99"));
        QCOMPARE(model->index(0, 12).data().toString(), QStringLiteral("0000"));
        QVERIFY(!(model->flags(model->index(3, 3)) & Qt::ItemIsEditable));

        QVERIFY(table->RadioButton1->isChecked());
        QVERIFY(table->RadioButton2->isEnabled());
        auto *subWindow = qobject_cast<QMdiSubWindow *>(table->parentWidget());
        QVERIFY(subWindow);
        QCOMPARE(subWindow->geometry(), QRect(0, 0, 600, 400));

        table->Button1->click();
        QTRY_VERIFY(Form3 == nullptr);
        QVERIFY(Form1->N3->isEnabled());
    }

    // The rows of the trigger and the cursors stand out, on screen and to a screen reader, and
    // follow the cursors.
    void markedRows() {
        Language = LanguageEnglish;
        Form1->Record.Header[0] = 30;
        TForm3 *table = OpenTable();
        TimeViewState &view = Form1->Document->TimeView();
        view.PlaceA(10);
        view.PlaceB(70);
        QVERIFY(QTest::qWaitForWindowExposed(table));
        auto *model = table->StringGrid1->model();
        auto markText = [model](int row) {
            return model->index(row, 3).data(Qt::AccessibleDescriptionRole).toString();
        };
        QCOMPARE(markText(70), QStringLiteral("Cursor B, Trigger"));
        view.PlaceB(77);
        QCOMPARE(markText(70), QStringLiteral("Trigger"));
        QCOMPARE(model->headerData(10, Qt::Vertical, Qt::AccessibleTextRole).toString(),
                 QStringLiteral("10 Cursor A"));
        QCOMPARE(markText(11), QString());
        table->StringGrid1->scrollTo(model->index(78, 0), QAbstractItemView::PositionAtCenter);
        const QImage shown = table->StringGrid1->viewport()->grab().toImage();
        auto rowColour = [&](int row) {
            return shown.pixelColor(2, table->StringGrid1->rowViewportPosition(row) + 2);
        };
        QVERIFY(rowColour(77) != rowColour(76));
    }

    void captionsByLanguage_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QString>("font");
        QTest::newRow("ja") << int('1') << QStringList{"閉じる", "表示選択", "正規化値", "元データ"}
                            << "ＭＳ ゴシック";
        QTest::newRow("en") << int('2')
                            << QStringList{"Close", "Data Type Sel", "Normalized", "Original"}
                            << "Courier New";
    }
    void captionsByLanguage() {
        QFETCH(int, language);
        QFETCH(QStringList, captions);
        QFETCH(QString, font);
        Language = language;
        TForm3 *table = OpenTable();
        QCOMPARE((QStringList{table->Button1->text(), table->RadioGroup1->title(),
                              table->RadioButton1->text(), table->RadioButton2->text()}),
                 captions);
        QCOMPARE(table->font().family(), font);
        QCOMPARE(table->StringGrid1->font().family(), font);
        // A later switch leaves the open table as it is.
        Form1->FormKeyPress(12);
        QCOMPARE(table->Button1->text(), captions[0]);
    }

    void bothViews() {
        TTraceRecord &record = Form1->Record;
        record.Value[0][0] = 100; // channel 1, factor 0.02
        record.Value[0][3] = -5;  // channel 4, factor 0.1
        record.Value[1][11] = 1234567;
        record.Flag[0][0] = 26;
        record.Flag[0][3] = 65535;
        TForm3 *table = OpenTable();
        QCOMPARE(table->Cells(1, 1), QStringLiteral("2.00"));
        QCOMPARE(table->Cells(4, 1), QStringLiteral("-0.50"));
        QCOMPARE(table->Cells(12, 2), QStringLiteral("123457.00")); // x 0.1, six digits
        QCOMPARE(Row(*table, 1, 13, 16), (QStringList{"001A", "0000", "0000", "FFFF"}));

        table->RadioButton2->click();
        QCOMPARE(table->Cells(1, 1), QStringLiteral("100"));
        QCOMPARE(table->Cells(4, 1), QStringLiteral("-5"));
        QCOMPARE(table->Cells(12, 2), QStringLiteral("1.23457E6"));
        QCOMPARE(table->Cells(2, 1), QStringLiteral("0"));
        QCOMPARE(table->StringGrid1->model()->index(0, 0).data().toString(), QStringLiteral("100"));

        table->RadioButton1->click();
        QCOMPARE(table->Cells(1, 1), QStringLiteral("2.00"));
        QCOMPARE(table->Cells(4, 1), QStringLiteral("-0.50"));
    }

    // The difference view exists only with a reference, pairs by the alignment chosen and
    // falls back to the normalised view when the reference goes.
    void differenceView() {
        Form1->Record.Value[0][0] = 100; // channel 1, factor 0.02: 2.00
        TraceUnits reference = Form1->Document->Units();
        reference.Record.Header[0] = 99; // t = 1: current k pairs with reference k + 1
        reference.Record.Value[0][0] = 0;
        reference.Record.Value[1][0] = 25; // 0.50 by its own factor
        reference.Normalized = false;
        TForm3 *table = OpenTable();
        QVERIFY(!table->DifferenceButton->isEnabled());
        Form1->Document->SetReference(reference);
        QVERIFY(table->DifferenceButton->isEnabled());
        table->DifferenceButton->click();
        QCOMPARE(table->Cells(1, 1), QStringLiteral("1.50"));
        QCOMPARE(table->Cells(1, 100), QString());             // no partner for the last sample
        QCOMPARE(table->Cells(13, 1), QStringLiteral("0000")); // flags stay the current's
        Form1->Document->SetReferenceAlignment(Alignment::Sample);
        QCOMPARE(table->Cells(1, 1), QStringLiteral("2.00"));
        QCOMPARE(table->Cells(1, 100), QStringLiteral("0.00"));
        Form1->Document->SetReference(std::nullopt);
        QVERIFY(!table->DifferenceButton->isEnabled());
        QVERIFY(table->RadioButton1->isChecked());
        QCOMPARE(table->Cells(1, 1), QStringLiteral("2.00"));
        QCOMPARE(table->Cells(1, 100), QStringLiteral("0.00"));
    }

    void decimalSeparatorOfTheLocale() {
        // The program's default locale stands for the user's settings.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const auto restore = qScopeGuard([] { QLocale::setDefault(QLocale::c()); });
        Form1->Record.Value[0][0] = 100;
        Form1->Record.Value[1][11] = 1234567;
        TForm3 *table = OpenTable();
        QCOMPARE(table->Cells(1, 1), QStringLiteral("2,00"));
        QCOMPARE(table->Cells(12, 2), QStringLiteral("123457,00"));
        table->RadioButton2->click();
        QCOMPARE(table->Cells(12, 2), QStringLiteral("1,23457E6"));
    }

    void handlersCalledDirectly() {
        // Created outside the menu, the window still gives N3 back when it closes.
        Form1->N3->setEnabled(false);
        Form1->Record.Value[0][0] = 100;
        auto *table = new TForm3(*Form1->Document);
        table->show();
        Form1->Record.Value[0][0] = 200;
        table->FormCreate();
        QCOMPARE(table->Cells(1, 1), QStringLiteral("4.00"));
        table->Button1Click();
        QTRY_VERIFY(Form3 == nullptr);
        QVERIFY(Form1->N3->isEnabled());
    }

    void normalizedRecordDisablesOriginal() {
        IsNormalized = 1;
        Form1->Record.Value[5][0] = 12.345f;
        Form1->Record.Value[5][6] = -0.004f;
        TForm3 *table = OpenTable();
        QVERIFY(!table->RadioButton2->isEnabled());
        QCOMPARE(table->Cells(1, 6), QStringLiteral("12.35")); // no factor
        QCOMPARE(table->Cells(7, 6), QStringLiteral("0.00"));
        // A .vnx file opened later leaves the choice as it was settled at creation.
        IsNormalized = 0;
        QVERIFY(!table->RadioButton2->isEnabled());
    }

    void recordChangedWhileOpen() {
        TForm3 *table = OpenTable();
        TTraceRecord &record = Form1->Record;
        for (int n = 0; n < SampleCount; ++n) {
            record.SampleNo[n] = 1000 + n;
            record.Value[n][0] = 50;
            record.Flag[n][1] = 0xABCD;
        }
        // Choosing the button that is already selected refreshes nothing.
        table->RadioButton1->click();
        QCOMPARE(table->Cells(0, 1), QStringLiteral("0"));
        QCOMPARE(table->Cells(1, 1), QStringLiteral("0.00"));

        table->RadioButton2->click();
        QCOMPARE(table->Cells(0, 1), QStringLiteral("1000"));
        QCOMPARE(table->Cells(0, 100), QStringLiteral("1099"));
        QCOMPARE(table->Cells(1, 100), QStringLiteral("50"));
        QCOMPARE(table->Cells(14, 1), QStringLiteral("0000")); // flags keep the old record
        QCOMPARE(table->Cells(1, 0), QStringLiteral("ch1"));

        // Normalised again, with IsNormalized as it is at the moment of the click.
        IsNormalized = 1;
        table->RadioButton1->click();
        QCOMPARE(table->Cells(1, 100), QStringLiteral("50.00"));
        IsNormalized = 0;
        table->RadioButton2->click();
        table->RadioButton1->click();
        QCOMPARE(table->Cells(1, 100), QStringLiteral("1.00"));
        QCOMPARE(table->Cells(14, 100), QStringLiteral("0000"));
        QVERIFY(table->RadioButton2->isEnabled());
    }

    void keyboardReachesEveryControl() {
        TForm3 *table = OpenTable();
        QVERIFY(QTest::qWaitForWindowActive(Form1));
        TStringGrid *grid = table->StringGrid1;
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(0, 0));
        QTRY_VERIFY(grid->hasFocus());

        // The arrow keys move from cell to cell inside the grid.
        QTest::keyClick(grid, Qt::Key_Right);
        QTest::keyClick(grid, Qt::Key_Down);
        QCOMPARE(grid->currentIndex(), grid->model()->index(1, 1));
        QVERIFY(grid->hasFocus());

        // Tab leaves the grid for the buttons; Shift+Tab comes back to the same cell.
        QTest::keyClick(grid, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), table->Button1);
        QTest::keyClick(table->Button1, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), grid);
        QCOMPARE(grid->currentIndex(), grid->model()->index(1, 1));

        // From the keyboard alone: the raw view, then Close.
        QTest::keyClick(grid, Qt::Key_Tab);
        QTest::keyClick(table->Button1, Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QVERIFY(table->RadioButton2->isChecked());
        QTest::keyClick(table->RadioButton2, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), table->Button1);
        QTest::keyClick(table->Button1, Qt::Key_Space);
        QTRY_VERIFY(Form3 == nullptr);
    }

    void controlsByName() {
        TForm3 *table = OpenTable();
        auto *panel1 = table->findChild<QFrame *>("Panel1");
        QVERIFY(panel1);
        QCOMPARE(panel1, table->Panel1);
        QCOMPARE(panel1->width(), 113);
        const struct {
            const char *name;
            QRect place;
        } controls[] = {{"Button1", {8, 32, 57, 25}},
                        {"RadioGroup1", {4, 80, 104, 57}},
                        {"RadioButton1", {12, 96, 80, 17}},
                        {"RadioButton2", {12, 112, 80, 17}}};
        for (const auto &control : controls) {
            auto *widget = table->findChild<QWidget *>(control.name);
            QVERIFY2(widget, control.name);
            // All in the panel, the radio buttons too, so that they exclude each other.
            QCOMPARE(widget->parentWidget(), panel1);
            // At its place; wider only where its caption needs more room in this font.
            QCOMPARE(widget->pos(), control.place.topLeft());
            QCOMPARE(widget->height(), control.place.height());
            QVERIFY(widget->width() >= control.place.width());
        }
        auto *grid = table->findChild<TStringGrid *>("StringGrid1");
        QVERIFY(grid);
        QCOMPARE(grid, table->StringGrid1);
        QCOMPARE(grid->parentWidget(), table->findChild<QFrame *>("Panel2"));
        QCOMPARE(grid->ColCount(), 17);
        QCOMPARE(grid->RowCount(), 101);
        QCOMPARE(grid->FixedCols(), 1);
        QCOMPARE(grid->FixedRows(), 1);
        QCOMPARE(grid->Cells(16, 0), QStringLiteral("ch16"));
        QCOMPARE(grid->Cells(0, 100), QStringLiteral("99"));
        QCOMPARE(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
    }

private:
    std::unique_ptr<TForm1> frame;
};

QTEST_MAIN(tst_TForm3)
#include "tst_TForm3.moc"
