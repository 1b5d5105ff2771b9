// Channel configuration window: what it shows when created and what "OK" and the close box do.

#include "FakeDialogs.h"
#include "TForm1.h"
#include "TForm6.h"
#include "TGraghForm.h"
#include "WindowState.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <memory>

namespace {
QString Text(const char *utf8) {
    return QString::fromUtf8(utf8);
}

// The next widget the Tab key reaches.
QWidget *NextTabStop(QWidget *from) {
    QWidget *next = from->nextInFocusChain();
    while (next != from && !(next->focusPolicy() & Qt::TabFocus))
        next = next->nextInFocusChain();
    return next;
}
} // namespace

class tst_TForm6 : public QObject {
    Q_OBJECT

    std::unique_ptr<TForm1> frame;

    TGraghForm *OpenGraph() {
        frame->N1->trigger();
        return GraghForm;
    }

private slots:
    void init() {
        frame = std::make_unique<TForm1>();
        Language = LanguageEnglish;
        frame->resize(1000, 700);
        frame->show();
    }
    void cleanup() { frame.reset(); }

    void startState_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("driveTypeE");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QStringList>("defaults"); // channels 1, 10, 11, 12
        QTest::addColumn<QString>("font");
        QTest::newRow("Japanese") << int(LanguageJapanese) << 0 << Text("Ch表示")
                                  << QStringList{Text("Ｕ相電流(%)"), Text("滑り周波数(%)"),
                                                 Text("磁束指令(%)"), Text("モータ温度(℃)")}
                                  << Text("ＭＳ ゴシック");
        QTest::newRow("English type E")
            << int(LanguageEnglish) << 1 << "Ch Name"
            << QStringList{"Curr.-U(%)", "Id-ref.(%)", "Iq-ref.(%)", "Control phase(degree)"}
            << "Courier New";
    }
    void startState() {
        QFETCH(int, language);
        QFETCH(int, driveTypeE);
        Language = language;
        DriveTypeE = driveTypeE;
        OwnNameFlag[7] = 1;
        OwnName[7] = "Blower";
        TGraghForm *graph = OpenGraph();
        TForm6 *names = graph->ChannelWindow();
        QVERIFY(names->isHidden());
        QVERIFY(names->isWindow());
        QCOMPARE(names->windowTitle(), QStringLiteral("Ch/Default select"));
        QCOMPARE(names->size(), QSize(413, 428));
        QCOMPARE(names->pos(), QPoint(238, 135));
        QTEST(names->Label14->text(), "heading");
        QCOMPARE(names->Label13->text(), QStringLiteral("Ch.No."));
        QFETCH(QStringList, defaults);
        const QStringList shown = {names->DefaultItem[1]->text(), names->DefaultItem[10]->text(),
                                   names->DefaultItem[11]->text(), names->DefaultItem[12]->text()};
        QCOMPARE(shown, defaults);
        for (int k = 1; k <= 12; ++k) {
            QCOMPARE(names->Label[k]->text(), QStringLiteral("ch%1").arg(k));
            QCOMPARE(names->OwnItem[k]->text(), QString());
            QCOMPARE(names->DefaultItem[k]->isChecked(), k != 7);
            QCOMPARE(names->OwnItem[k]->isChecked(), k == 7);
            QCOMPARE(names->Edit[k]->text(),
                     k == 7 ? QStringLiteral("Blower") : QStringLiteral("ch%1").arg(k));
            // A default name wider than its column (English channel 12) moves the second
            // button and its text box right by what it needs; every other row is as designed.
            const int shift = names->Edit[k]->x() - 224;
            QCOMPARE(shift > 0, names->DefaultItem[k]->width() > 130);
            QCOMPARE(names->Edit[k]->geometry(), QRect(224 + shift, 8 + 32 * k, 97, 20));
            QCOMPARE(names->OwnItem[k]->x(), 142 + shift);
            QCOMPARE(names->RadioGroup[k]->geometry(), QRect(64, 32 * k, 273 + shift, 33));
            QVERIFY(names->RadioGroup[k]->geometry().right() < names->width());
            QCOMPARE(names->Label[k]->pos(), QPoint(16, 8 + 32 * k));
            // Found by their layout names.
            QCOMPARE(names->findChild<QLineEdit *>(QStringLiteral("Edit%1").arg(k)),
                     names->Edit[k]);
            QCOMPARE(names->findChild<QGroupBox *>(QStringLiteral("RadioGroup%1").arg(k)),
                     names->RadioGroup[k]);
            QCOMPARE(names->findChild<QLabel *>(QStringLiteral("Label%1").arg(k)), names->Label[k]);
        }
        QCOMPARE(names->findChild<QPushButton *>(QStringLiteral("Button1")), names->Button1);
        QCOMPARE(names->Button1->geometry(), QRect(348, 40, 57, 25));
        QCOMPARE(names->Button1->text(), QStringLiteral("OK"));
        QCOMPARE(names->findChild<QLabel *>(QStringLiteral("Label14")), names->Label14);
        QCOMPARE(names->Label14->pos(), QPoint(104, 16));
        QTEST(names->font().family(), "font");
        // The text box covers the right-hand column of its row, beside the second button.
        QVERIFY(names->OwnItem[3]->mapTo(names, QPoint(0, 0)).x() < 224);
        QVERIFY(names->OwnItem[3]->mapTo(names, QPoint(names->OwnItem[3]->width(), 0)).x() <= 224);
    }

    // Per row: which item is chosen and what was typed; then what OK leaves behind.
    void confirm_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("driveTypeE");
        QTest::addColumn<int>("channel");
        QTest::addColumn<bool>("own");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("flag");
        QTest::addColumn<QString>("caption");
        const int ja = LanguageJapanese, en = LanguageEnglish;
        QTest::newRow("default ch10 English E")
            << en << 1 << 10 << false << "x" << 0 << "Id-ref.(%)";
        QTest::newRow("default ch11 English E")
            << en << 1 << 11 << false << "x" << 0 << "Iq-ref.(%)";
        QTest::newRow("default ch12 English E")
            << en << 1 << 12 << false << "x" << 0 << "Control phase(degree)";
        QTest::newRow("default ch10 Japanese")
            << ja << 0 << 10 << false << "x" << 0 << Text("滑り周波数(%)");
        QTest::newRow("default ch11 Japanese")
            << ja << 0 << 11 << false << "x" << 0 << Text("磁束指令(%)");
        QTest::newRow("default ch12 Japanese")
            << ja << 0 << 12 << false << "x" << 0 << Text("モータ温度(℃)");
        QTest::newRow("own name") << en << 0 << 3 << true << Text("冷却ファン") << 1
                                  << Text("冷却ファン");
        QTest::newRow("own name, empty") << en << 0 << 4 << true << "" << 1 << "";
    }
    void confirm() {
        QFETCH(int, language);
        QFETCH(int, driveTypeE);
        QFETCH(int, channel);
        QFETCH(bool, own);
        QFETCH(QString, typed);
        Language = language;
        DriveTypeE = driveTypeE;
        OwnNameFlag[channel] = own ? 0 : 1; // start from the other choice
        TGraghForm *graph = OpenGraph();
        TForm6 *names = graph->ChannelWindow();
        graph->Button3->click();
        names->Edit[channel]->setText(typed);
        (own ? names->OwnItem[channel] : names->DefaultItem[channel])->click();
        names->Button1->click();

        QVERIFY(names->isHidden());
        QTEST(OwnNameFlag[channel], "flag");
        QTEST(graph->CheckBox[channel]->text(), "caption");
        // The typed text is kept whichever item was chosen.
        QCOMPARE(QString::fromStdString(OwnName[channel]), typed);
        // Untouched rows are confirmed with their defaults.
        const int other = channel == 1 ? 2 : 1;
        QCOMPARE(OwnNameFlag[other], 0);
        QCOMPARE(OwnName[other], "ch" + std::to_string(other));
    }

    void closeBoxAppliesNothing() {
        TGraghForm *graph = OpenGraph();
        TForm6 *names = graph->ChannelWindow();
        graph->Button3->click();
        names->Edit[2]->setText(QStringLiteral("Changed"));
        names->OwnItem[2]->click();
        names->close();
        QVERIFY(names->isHidden());
        QCOMPARE(OwnNameFlag[2], 0);
        QCOMPARE(OwnName[2], std::string("ch2"));
        QCOMPARE(graph->CheckBox[2]->text(), QStringLiteral("Curr.-V(%)"));
        // Shown again, it still holds what the user left.
        graph->Button3->click();
        QCOMPARE(graph->ChannelWindow(), names);
        QCOMPARE(names->Edit[2]->text(), QStringLiteral("Changed"));
        QVERIFY(names->OwnItem[2]->isChecked());
    }

    // The radio texts stay as created; OK names the boxes in the language of that moment.
    void okUsesTheLanguageOfTheMoment() {
        TGraghForm *graph = OpenGraph();
        TForm6 *names = graph->ChannelWindow();
        Language = LanguageJapanese;
        names->Button1->click();
        QCOMPARE(graph->CheckBox[1]->text(), Text("Ｕ相電流(%)"));
        QCOMPARE(names->DefaultItem[1]->text(), QStringLiteral("Curr.-U(%)"));
    }

    // The controls of every row as members under their layout names, and by object name.
    void rowsByName() {
        TForm6 *names = OpenGraph()->ChannelWindow();
        const QList<QLabel *> labels = {names->Label1,  names->Label2,  names->Label3,
                                        names->Label4,  names->Label5,  names->Label6,
                                        names->Label7,  names->Label8,  names->Label9,
                                        names->Label10, names->Label11, names->Label12};
        const QList<QGroupBox *> groups = {
            names->RadioGroup1, names->RadioGroup2,  names->RadioGroup3,  names->RadioGroup4,
            names->RadioGroup5, names->RadioGroup6,  names->RadioGroup7,  names->RadioGroup8,
            names->RadioGroup9, names->RadioGroup10, names->RadioGroup11, names->RadioGroup12};
        const QList<QLineEdit *> edits = {
            names->Edit1, names->Edit2, names->Edit3, names->Edit4,  names->Edit5,  names->Edit6,
            names->Edit7, names->Edit8, names->Edit9, names->Edit10, names->Edit11, names->Edit12};
        for (int k = 1; k <= 12; ++k) {
            QCOMPARE(labels[k - 1], names->Label[k]);
            QCOMPARE(groups[k - 1], names->RadioGroup[k]);
            QCOMPARE(edits[k - 1], names->Edit[k]);
            QCOMPARE(names->findChild<QLineEdit *>(QStringLiteral("Edit%1").arg(k)), edits[k - 1]);
            QCOMPARE(names->findChild<QGroupBox *>(QStringLiteral("RadioGroup%1").arg(k)),
                     groups[k - 1]);
        }
    }

    void tabOrder() {
        TGraghForm *graph = OpenGraph();
        TForm6 *names = graph->ChannelWindow();
        QCOMPARE(NextTabStop(names->DefaultItem[1]), names->OwnItem[1]);
        QCOMPARE(NextTabStop(names->OwnItem[1]), names->DefaultItem[2]);
        QCOMPARE(NextTabStop(names->OwnItem[12]), names->Button1);
        QCOMPARE(NextTabStop(names->Button1), names->Edit[1]);
        QCOMPARE(NextTabStop(names->Edit[11]), names->Edit[12]);
    }

    // The program keeps one configuration window, whichever graph window uses it: a name
    // confirmed after its graph window closed survives the next window's "OK", a hidden window
    // starts afresh (names and language as they are now), and one left open keeps its text.
    void oneChannelWindowForAllGraphWindows() {
        TGraghForm *graph = OpenGraph();
        QPointer<TForm6> names = graph->ChannelWindow();
        QCOMPARE(names.data(), Form6);
        names->Edit[1]->setText(QStringLiteral("unsaved"));
        graph->Button4->click();
        QTRY_VERIFY(frame->N1->isEnabled());
        Language = LanguageJapanese;
        graph = OpenGraph();
        QCOMPARE(graph->ChannelWindow(), names.data());
        QVERIFY(names->isHidden());
        QCOMPARE(names->Edit[1]->text(), QStringLiteral("ch1"));
        QCOMPARE(names->Label14->text(), Text("Ch表示"));

        // Left open while its graph window closes, then confirmed.
        graph->Button3->click();
        names->Edit[2]->setText(QStringLiteral("Pump"));
        graph->Button4->click();
        QTRY_VERIFY(frame->N1->isEnabled());
        QVERIFY(names && names->isVisible());
        names->OwnItem[2]->click();
        names->Button1->click();
        QCOMPARE(OwnNameFlag[2], 1);
        QCOMPARE(OwnName[2], std::string("Pump"));

        graph = OpenGraph();
        QCOMPARE(graph->CheckBox[2]->text(), QStringLiteral("Pump"));
        graph->Button3->click();
        QCOMPARE(names->Edit[2]->text(), QStringLiteral("Pump"));
        QVERIFY(names->OwnItem[2]->isChecked());
        names->Button1->click();
        QCOMPARE(OwnNameFlag[2], 1);
        QCOMPARE(OwnName[2], std::string("Pump"));

        // Still open when the next graph window comes: what is typed stays and relabels it.
        graph->Button3->click();
        names->Edit[3]->setText(QStringLiteral("Fan"));
        names->OwnItem[3]->click();
        graph->Button4->click();
        QTRY_VERIFY(frame->N1->isEnabled());
        graph = OpenGraph();
        QCOMPARE(names->Edit[3]->text(), QStringLiteral("Fan"));
        names->Button1->click();
        QCOMPARE(graph->CheckBox[3]->text(), QStringLiteral("Fan"));
        QCOMPARE(OwnName[3], std::string("Fan"));
    }
};

QTEST_MAIN(tst_TForm6)
#include "tst_TForm6.moc"
