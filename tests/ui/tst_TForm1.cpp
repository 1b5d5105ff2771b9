// Main frame: caption, menu in both languages, Ctrl+L, child windows, language file.

#include "FakeDialogs.h"
#include "FileFaults.h"
#include "Platform.h"
#include "TAboutBox.h"
#include "TForm1.h"
#include "TForm3.h"
#include "TForm5.h"
#include "TForm6.h"
#include "TGraghForm.h"
#include "WindowState.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

namespace {

QStringList MenuCaptions(const TForm1 &form) {
    return {form.File1->title(), form.open01->text(), form.saveS1->text(), form.Exit1->text(),
            form.View1->title(), form.N1->text(),     form.N2->text(),     form.N3->text(),
            form.Comm1->title(), form.N4->text(),     form.Help1->title(), form.About1->text(),
            form.Flag1->text()};
}

const QStringList JapaneseCaptions = {
    "ファイル(&F)",   "開く(&O)",           "保存(&S)",      "終了(&X)", "表示(&V)",
    "数字グラフ(&G)", "ビットグラフ(&B)",   "データ表(&D)",  "通信(&R)", "通信設定(&C)",
    "ヘルプ(&H)",     "バージョン情報(&A)", "フラグ説明(&L)"};
const QStringList EnglishCaptions = {
    "&File",       "&Open",          "&Save",      "End(&X)",           "&View",
    "&Graph Form", "&Bit-Data Form", "&Data Form", "Communication(&R)", "&Communication",
    "&Help",       "&Version",       "Flag(&L)"};

// The language the system reports to this test run (ctest runs it once per language).
bool SystemIsJapanese() {
    return qgetenv("VANDREL_EXPECT_LANGUAGE") == "1";
}

} // namespace

class tst_TForm1 : public QObject {
    Q_OBJECT
private slots:
    void init() { QDir::setCurrent(workDir.path()); }

    // The menus read like the bar above them, and the File menu's separator is a plain line.
    void menusAsDrawn() {
        TForm1 form;
        form.resize(600, 400);
        form.show();
        for (QMenu *menu : {form.File1, form.View1, form.Comm1, form.Help1}) {
            const QFontInfo shown(menu->font()), bar(form.menuBar()->font());
            QCOMPARE(shown.family(), bar.family());
            QCOMPARE(shown.pixelSize(), bar.pixelSize());
        }
        form.File1->popup(form.mapToGlobal(QPoint(0, 0)));
        QVERIFY(QTest::qWaitForWindowExposed(form.File1));
        const QImage image = form.File1->grab().toImage();
        // Inside the menu's own frame.
        const QRect separator = form.File1->actionGeometry(form.printeP1).adjusted(2, 0, -2, 0);
        QVERIFY(separator.isValid());
        const QRgb background = image.pixel(separator.right() - 1, separator.top());
        int lines = 0;
        for (int y = separator.top(); y <= separator.bottom(); ++y) {
            int first = -1, last = -1, count = 0;
            for (int x = separator.left(); x <= separator.right(); ++x)
                if (qGray(image.pixel(x, y)) < qGray(background) - 24) {
                    if (first < 0)
                        first = x;
                    last = x;
                    ++count;
                }
            if (count == 0)
                continue;
            // One unbroken line across the menu; no glyph before it.
            QCOMPARE(count, last - first + 1);
            QVERIFY(last - first > separator.width() / 2);
            ++lines;
        }
        QVERIFY(lines > 0);
        form.File1->close();
    }

    // View / Follow New Traces starts off, Show Events After a Read on; both last between runs.
    void viewChoicesAreKept() {
        OpenUserSettings()->clear();
        {
            TForm1 form;
            QVERIFY(!form.FollowNewTraces1->isChecked());
            QVERIFY(form.ShowEventsAfterRead1->isChecked());
            form.FollowNewTraces1->trigger();
            form.ShowEventsAfterRead1->trigger();
        }
        TForm1 form;
        QVERIFY(form.FollowNewTraces1->isChecked());
        QVERIFY(form.Document->FollowNewTraces());
        QVERIFY(!form.ShowEventsAfterRead1->isChecked());
    }

    void startState() {
        // Whatever an earlier frame of this process left behind.
        DriveTypeE = 1;
        IsNormalized = 1;
        TForm1 form;
        QCOMPARE(Form1, &form);
        QCOMPARE(form.windowTitle(), QStringLiteral("Norvex Vandrel Monitor Version 2.30"));
        QCOMPARE(BaseTitle, form.windowTitle());
        QCOMPARE(Language, SystemIsJapanese() ? int('1') : int('2'));
        QCOMPARE(MenuCaptions(form), SystemIsJapanese() ? JapaneseCaptions : EnglishCaptions);
        QCOMPARE(form.font().family(), SystemIsJapanese() ? QStringLiteral("ＭＳ ゴシック")
                                                          : QStringLiteral("Courier New"));
        QVERIFY(form.printeP1->isSeparator());
        QCOMPARE(form.Record.SampleNo[99], 99);
        QCOMPARE(form.Record.Header[0], 100);
        QCOMPARE(DriveTypeE, 0);
        QCOMPARE(IsNormalized, quint8(0));
        QCOMPARE(form.Record.Scale[9], 0.005f);
        QCOMPARE(form.Record.Scale[10], 0.09765625f);
        QCOMPARE(form.Record.Scale[11], 0.1f);
        for (int ch = 1; ch <= 12; ++ch) {
            QCOMPARE(QString::fromStdString(OwnName[ch]), QStringLiteral("ch%1").arg(ch));
            QCOMPARE(OwnNameFlag[ch], 0);
        }
        QCOMPARE(form.SettingsPath, workDir.filePath("Vandrel.fil"));
        // Maximized however it is first shown, not only by the program entry.
        form.show();
        QVERIFY(form.isMaximized());
    }

    // Other windows and tests reach the frame's parts by their layout names.
    void partsCarryTheirNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");
        for (const char *menu : {"File1", "View1", "Comm1", "Help1"})
            QTest::newRow(menu) << menu << "QMenu";
        for (const char *item :
             {"open01", "saveS1", "printeP1", "Exit1", "N1", "N2", "N3", "N4", "About1", "Flag1"})
            QTest::newRow(item) << item << "QAction";
        QTest::newRow("MainMenu1") << "MainMenu1"
                                   << "QMenuBar";
        QTest::newRow("StatusBar1") << "StatusBar1"
                                    << "QStatusBar";
    }
    void partsCarryTheirNames() {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        TForm1 form;
        QCOMPARE(form.objectName(), QStringLiteral("Form1"));
        const QObject *part = form.findChild<QObject *>(name);
        QVERIFY2(part, qPrintable(name));
        QVERIFY(part->inherits(kind.toLatin1().constData()));
        if (name == QLatin1String("MainMenu1"))
            QCOMPARE(part, form.menuBar());
        if (name == QLatin1String("StatusBar1"))
            QCOMPARE(part, form.statusBar());
    }

    void recordOperationsOnTheFrame() {
        TForm1 form;
        form.Record.Value[0][0] = 5000.0f;
        QVERIFY(qAbs(form.NormalizedValue(0, 0) - 100.0f) < 1e-3f);
        DriveTypeE = 1;
        form.ApplyTypeScales();
        QCOMPARE(form.Record.Scale[11], 360.0f / 65536.0f);
        DriveTypeE = 0;
        form.Record.Header[0] = 7;
        form.ResetRecord();
        QCOMPARE(form.Record.Header[0], 100);
        QCOMPARE(form.Record.Value[0][0], 0.0f);
        QCOMPARE(form.Record.Scale[11], 0.1f);
    }

    void ctrlLTogglesMenuOnly() {
        TForm1 form;
        form.show();
        const QString fontBefore = form.font().family();
        const auto first = SystemIsJapanese() ? JapaneseCaptions : EnglishCaptions;
        const auto second = SystemIsJapanese() ? EnglishCaptions : JapaneseCaptions;

        QTest::keyClick(&form, Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(MenuCaptions(form), second);
        QTest::keyClick(&form, Qt::Key_A); // other keys change nothing
        QCOMPARE(MenuCaptions(form), second);
        QTest::keyClick(&form, Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(MenuCaptions(form), first);
        QCOMPARE(form.font().family(), fontBefore);
    }

    // Ctrl+L works wherever the focus is, in a child window, a control that takes keys
    // itself or another top-level window of the program, and acts once per press.
    void ctrlLTogglesOnceWhereverTheFocusIs_data() {
        QTest::addColumn<QString>("where");
        for (const char *where : {"frame", "line edit in a child", "data table grid",
                                  "communication messages", "channel names window"})
            QTest::newRow(where) << QString::fromLatin1(where);
    }
    void ctrlLTogglesOnceWhereverTheFocusIs() {
        QFETCH(QString, where);
        TForm1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QWidget *target = &form;
        if (where == QLatin1String("line edit in a child")) {
            auto *child = new QWidget;
            target = new QLineEdit(child);
            form.OpenChild(form.N3, child);
        } else if (where == QLatin1String("data table grid")) {
            form.N3->trigger();
            target = Form3->StringGrid1;
        } else if (where == QLatin1String("communication messages")) {
            form.N4->trigger();
            target = Form5->Memo1;
        } else if (where == QLatin1String("channel names window")) {
            form.N1->trigger();
            GraghForm->Button3->click();
            TForm6 *names = GraghForm->ChannelWindow();
            QVERIFY(QTest::qWaitForWindowActive(names));
            target = names->Edit1;
        }
        target->setFocus();
        const int before = Language;
        for (int press = 1; press <= 4; ++press) {
            QTest::keyClick(target, Qt::Key_L, Qt::ControlModifier);
            QCOMPARE(Language != before, press % 2 == 1);
            QCOMPARE(MenuCaptions(form), Language == '1' ? JapaneseCaptions : EnglishCaptions);
        }
    }

    // A key held down repeats its press; the language must not flip with every repeat,
    // whether the shortcut or the key preview takes the key.
    void ctrlLHeldDownActsOnce_data() {
        QTest::addColumn<bool>("active");
        QTest::newRow("window active") << true;
        QTest::newRow("no window active") << false;
    }
    void ctrlLHeldDownActsOnce() {
        QFETCH(bool, active);
        TForm1 form;
        form.show();
        if (active)
            QVERIFY(QTest::qWaitForWindowActive(&form));
        else
            QApplication::setActiveWindow(nullptr);
        QWindow *window = form.windowHandle();
        const int before = Language;
        const QString text(QChar(12));
        for (const bool repeat : {false, true, true, true})
            qt_handleKeyEvent(window, QEvent::KeyPress, Qt::Key_L, Qt::ControlModifier, text,
                              repeat);
        qt_handleKeyEvent(window, QEvent::KeyRelease, Qt::Key_L, Qt::ControlModifier, text);
        QVERIFY(Language != before);
        QCOMPARE(MenuCaptions(form), Language == '1' ? JapaneseCaptions : EnglishCaptions);
    }

    void ctrlLFromOutOfRangeLanguage() {
        TForm1 form;
        Language = '7';
        form.FormKeyPress(12);
        QCOMPARE(Language, int('2'));
        QCOMPARE(MenuCaptions(form), EnglishCaptions);
    }

    void childItemDisabledWhileOpen() {
        TForm1 form;
        form.show();
        auto *child = new QWidget;
        QPointer<QMdiSubWindow> frame = form.OpenChild(form.N1, child);
        QVERIFY(!form.N1->isEnabled());
        QCOMPARE(form.ClientArea()->subWindowList().size(), 1);
        frame->close();
        QTRY_VERIFY(frame.isNull());
        QVERIFY(form.N1->isEnabled());

        // A window that closes itself takes its frame with it.
        auto *second = new QWidget;
        frame = form.OpenChild(form.N1, second);
        second->close();
        QTRY_VERIFY(form.N1->isEnabled());
        QTRY_VERIFY(frame.isNull());
        QVERIFY(form.ClientArea()->subWindowList().isEmpty());
    }

    // Every menu and item can be chosen from the keyboard, by a key of its own in its menu.
    void everyMenuItemHasItsOwnAccessKey() {
        TForm1 form;
        for (const int language : {'1', '2'}) {
            Language = language;
            form.ApplyLanguage();
            QList<QList<QAction *>> menus = {form.menuBar()->actions()};
            for (QAction *title : form.menuBar()->actions())
                menus << title->menu()->actions();
            for (const auto &items : menus) {
                QStringList keys;
                for (QAction *item : items) {
                    const auto key = QRegularExpression("&([^&])").match(item->text());
                    if (item->isSeparator())
                        continue;
                    QVERIFY2(key.hasMatch(), qPrintable(item->text()));
                    QVERIFY2(!keys.contains(key.captured(1).toUpper()), qPrintable(item->text()));
                    keys << key.captured(1).toUpper();
                }
            }
        }
    }

    // The Window menu lists the open windows and brings the chosen one forward; the client
    // area scrolls to a window larger than itself.
    void windowMenu() {
        TForm1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        for (QAction *item : {form.N1, form.N3, form.Events1})
            item->trigger();
        auto titles = [&form] {
            QStringList texts;
            for (QAction *item : form.WindowItems())
                texts << item->text();
            return texts;
        };
        QCOMPARE(titles(), (QStringList{"&1 Graph Form", "&2 Data Form",
                                        Language == '1' ? "&3 イベント" : "&3 Events"}));
        QVERIFY(form.WindowItems().at(2)->isChecked());
        form.WindowItems().at(0)->trigger();
        QCOMPARE(form.ClientArea()->activeSubWindow()->widget(), GraghForm);
        QVERIFY(form.WindowItems().at(0)->isChecked());
        form.ClientArea()->activeSubWindow()->resize(800, form.ClientArea()->height() * 2);
        QTRY_VERIFY(form.ClientArea()->verticalScrollBar()->isVisible());
        Form3->Button1->click();
        QTRY_COMPARE(titles().size(), 2);
    }

    void aboutBoxIsModal() {
        FakeDialogs dialogs;
        TForm1 form;
        form.About1->trigger();
        QCOMPARE(dialogs.execTitles, QStringList{QStringLiteral("Version")});
    }

    void aboutBoxTexts() {
        TForm1 form;
        TAboutBox box(&form);
        QCOMPARE(AboutBox, &box);
        QCOMPARE(box.objectName(), QStringLiteral("AboutBox"));
        QCOMPARE(box.windowTitle(), QStringLiteral("Version"));
        QCOMPARE(box.size(), QSize(392, 253));
        QCOMPARE(box.ProductName->text(), QStringLiteral("Norvex Vandrel Monitor\n\nVersion 2.30"));
        QCOMPARE(box.ProductName->font().family(),
                 Language == '1' ? QStringLiteral("ＭＳ ゴシック") : QStringLiteral("Courier New"));
        QCOMPARE(box.ProductName->font().pointSize(), 9);
        QVERIFY(!box.ProgramIcon->pixmap().isNull());
        QVERIFY(box.OKButton->isDefault());
        box.show();
        QTest::mouseClick(box.OKButton, Qt::LeftButton);
        QCOMPARE(box.result(), int(QDialog::Accepted));
    }

    void languageFileWrittenOnClose() {
        QFile::remove(workDir.filePath("Vandrel.fil"));
        {
            TForm1 form;
            form.show();
            form.FormKeyPress(12);
            const int closingLanguage = Language;
            form.Exit1->trigger();
            QFile file(workDir.filePath("Vandrel.fil"));
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), QByteArray(1, char(closingLanguage)));
        }
        // The next start follows the system again, not the file.
        TForm1 again;
        QCOMPARE(Language, SystemIsJapanese() ? int('1') : int('2'));
    }

    void formCloseWritesTheLanguageFile() {
        TForm1 form;
        Language = LanguageJapanese;
        form.FormClose();
        QFile file(form.SettingsPath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("1"));
    }

    void unwritableLanguageFileIsSilent() {
        FakeDialogs dialogs;
        TForm1 form;
        form.SettingsPath = workDir.filePath("missing-dir/Vandrel.fil");
        form.close();
        QVERIFY(!QFile::exists(form.SettingsPath));
        QVERIFY(dialogs.messages.isEmpty());
    }

    void failedLanguageFileKeepsTheOldOne() {
        const QString path = workDir.filePath("Vandrel.fil");
        QFile::remove(path);
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("2");
        }
        // Closed in a child that may write no file at all: silent, and the old byte stays.
        const int answer = RunInChild([] {
            FakeDialogs dialogs;
            TForm1 form;
            Language = LanguageJapanese;
            if (!LimitFileSize(0))
                return 9;
            form.FormClose();
            return dialogs.messages.isEmpty() ? 0 : 1;
        });
        QCOMPARE(answer, 0);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("2"));
        QCOMPARE(QDir(workDir.path()).entryList({"Vandrel.fil*"}, QDir::Files | QDir::Hidden),
                 QStringList{"Vandrel.fil"});
    }

private:
    QTemporaryDir workDir;
};

QTEST_MAIN(tst_TForm1)
#include "tst_TForm1.moc"
