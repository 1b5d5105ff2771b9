// Flag explanation windows: language at the moment of opening, line 29 by drive type, the
// read-only text and the fixed frame.

#include "TForm1.h"
#include "TForm7.h"
#include "TForm8.h"
#include "WindowState.h"

#include <QAction>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

namespace {

TFlagForm *OpenFlagWindow() {
    Form1->Flag1->trigger();
    return Form7 ? static_cast<TFlagForm *>(Form7) : static_cast<TFlagForm *>(Form8);
}

QString Line(const TFlagForm &form, int line) {
    return form.Memo1->document()->findBlockByNumber(line).text();
}

} // namespace

class tst_FlagWindows : public QObject {
    Q_OBJECT
private slots:
    void init() {
        frame = std::make_unique<TForm1>();
        frame->resize(900, 700);
        frame->show();
        ResetGlobals();
    }
    void cleanup() { frame.reset(); }

    void window_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("driveTypeE");
        QTest::addColumn<bool>("japaneseWindow");
        QTest::addColumn<int>("lineCount");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QString>("line29");
        QTest::newRow("ja") << int('1') << 0 << true << 58 << "フラグの説明"
                            << "BIT10:予備";
        QTest::newRow("ja type E") << int('1') << 1 << true << 58 << "フラグの説明"
                                   << "BIT10:PG Error";
        QTest::newRow("en") << int('2') << 0 << false << 57 << "Flag  infomation"
                            << "BIT10:Not used";
        QTest::newRow("en type E") << int('2') << 1 << false << 57 << "Flag  infomation"
                                   << "BIT10:PG Error";
    }
    void window() {
        QFETCH(int, language);
        QFETCH(int, driveTypeE);
        QFETCH(bool, japaneseWindow);
        QFETCH(int, lineCount);
        QFETCH(QString, heading);
        QFETCH(QString, line29);
        Language = language;
        DriveTypeE = driveTypeE;
        TFlagForm *form = OpenFlagWindow();
        QVERIFY(form);
        QCOMPARE(Form7 != nullptr, japaneseWindow);
        QCOMPARE(Form8 != nullptr, !japaneseWindow);
        QVERIFY(!Form1->Flag1->isEnabled());
        QCOMPARE(form->windowTitle(), QStringLiteral("Flag"));
        QCOMPARE(form->Label1->text(), heading);
        QCOMPARE(form->Button1->text(), QStringLiteral("&OK"));
        QCOMPARE(form->findChild<QLabel *>("Label1"), form->Label1);
        QCOMPARE(form->findChild<QPlainTextEdit *>("Memo1"), form->Memo1);
        QCOMPARE(form->findChild<QPushButton *>("Button1"), form->Button1);
        QCOMPARE(form->Label1->pos(), QPoint(48, 8));
        // At least the designed height, and as tall as the heading's font needs.
        QVERIFY(form->Label1->height() >= 16);
        QVERIFY(form->Label1->height() >= form->Label1->fontMetrics().height());
        QCOMPARE(form->Label1->font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
        QCOMPARE(form->Label1->font().pixelSize(), 16);
        QCOMPARE(form->Memo1->geometry(), QRect(0, 32, 209, 449));
        QCOMPARE(form->Button1->geometry(), QRect(61, 488, 75, 25));

        QCOMPARE(form->Memo1->document()->blockCount(), lineCount);
        QCOMPARE(Line(*form, 29), line29);
        QCOMPARE(Line(*form, 28), QStringLiteral("BIT9 :Set Error 3"));
        QCOMPARE(Line(*form, 30), QStringLiteral("BIT11:Flush_ROM ERROR"));
        QVERIFY(Line(*form, 47).endsWith(QLatin1Char(' ')));
        QVERIFY(Line(*form, lineCount - 1).isEmpty() == japaneseWindow);
        QVERIFY(form->Memo1->isReadOnly());
        QCOMPARE(form->Memo1->lineWrapMode(), QPlainTextEdit::NoWrap);
        QCOMPARE(form->Memo1->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(form->Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        // The long line 48 scrolls instead of wrapping.
        QVERIFY(form->Memo1->horizontalScrollBar()->maximum() > 0);

        auto *subWindow = qobject_cast<QMdiSubWindow *>(form->parentWidget());
        QVERIFY(subWindow);
        QCOMPARE(subWindow->size(), QSize(217, 550));
        QCOMPARE(subWindow->minimumSize(), subWindow->maximumSize());
        QVERIFY(!(subWindow->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(subWindow->isVisible());
        // The text's controls fit into the frame.
        QVERIFY(form->rect().contains(form->Button1->geometry()));
        QVERIFY(
            subWindow->rect().contains(QRect(form->mapTo(subWindow, QPoint(0, 0)), form->size())));

        // Typing changes nothing.
        QTest::keyClicks(form->Memo1, "x");
        QCOMPARE(form->Memo1->document()->blockCount(), lineCount);
    }

    void languageAtTheMomentOfOpening() {
        Language = '1';
        TFlagForm *first = OpenFlagWindow();
        QVERIFY(Form7 == first);
        Form1->FormKeyPress(12); // now English; the open window keeps Japanese
        QCOMPARE(Language, int('2'));
        QVERIFY(!Form1->Flag1->isEnabled());
        QCOMPARE(first->Memo1->document()->blockCount(), 58);
        // A drive type read meanwhile shows only after reopening.
        DriveTypeE = 1;
        QCOMPARE(Line(*first, 29), QStringLiteral("BIT10:予備"));

        first->Button1->click();
        QTRY_VERIFY(Form7 == nullptr);
        QVERIFY(Form1->Flag1->isEnabled());

        TFlagForm *second = OpenFlagWindow();
        QVERIFY(Form8 == second);
        QVERIFY(Form7 == nullptr);
        QCOMPARE(Line(*second, 29), QStringLiteral("BIT10:PG Error"));
        auto *subWindow = qobject_cast<QMdiSubWindow *>(second->parentWidget());
        subWindow->close();
        QTRY_VERIFY(Form8 == nullptr);
        QVERIFY(Form1->Flag1->isEnabled());

        Form1->FormKeyPress(12);
        QVERIFY(Form7 == OpenFlagWindow());
    }

    void handlersCalledDirectly() {
        // Created outside the menu, the window still gives Flag1 back when it closes, and
        // FormCreate puts line 29 as the drive type is then.
        Form1->Flag1->setEnabled(false);
        auto *form = new TForm7;
        form->show();
        DriveTypeE = 1;
        form->FormCreate();
        QCOMPARE(form->Memo1->document()->blockCount(), 58);
        QCOMPARE(Line(*form, 29), QStringLiteral("BIT10:PG Error"));
        form->Button1Click();
        QTRY_VERIFY(Form7 == nullptr);
        QVERIFY(Form1->Flag1->isEnabled());
    }

private:
    std::unique_ptr<TForm1> frame;
};

QTEST_MAIN(tst_FlagWindows)
#include "tst_FlagWindows.moc"
