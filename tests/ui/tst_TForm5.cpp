// Communication window: port remembered, device field, captions, Clear, reading and closing.

#include "FakeDialogs.h"
#include "Platform.h"
#include "PortNames.h"
#include "ReadSession.h"
#include "TForm1.h"
#include "TForm5.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

QVariant StoredPort() {
    return OpenUserSettings()->value(QStringLiteral("COM"));
}

[[maybe_unused]] QStringList MemoLines(const TForm5 &form) {
    const QString text = form.Memo1->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

// Opens the communication window from the frame's menu, as the user does.
TForm5 *OpenFromMenu(TForm1 &frame) {
    frame.N4->trigger();
    return Form5;
}

bool WaitUntilClosed(TForm1 &frame) {
    return QTest::qWaitFor([&frame] { return Form5 == nullptr && frame.N4->isEnabled(); });
}

} // namespace

class tst_TForm5 : public QObject {
    Q_OBJECT
private slots:
    void init() {
        QDir::setCurrent(workDir.path());
        OpenUserSettings()->clear();
    }

    // What a stored "COM" value chooses when the window opens, and what closing stores back.
    void restoresPortOnCreation_data() {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("first run") << QVariant() << "COM1";
        QTest::newRow("COM4") << QVariant(QStringLiteral("COM4")) << "COM4";
        QTest::newRow("COM9") << QVariant(QStringLiteral("COM9")) << "COM9";
        QTest::newRow("lowercase") << QVariant(QStringLiteral("com4")) << "COM1";
        QTest::newRow("beyond the list") << QVariant(QStringLiteral("COM10")) << "COM1";
        QTest::newRow("blank around") << QVariant(QStringLiteral(" COM4")) << "COM1";
        QTest::newRow("empty") << QVariant(QString()) << "COM1";
        QTest::newRow("bytes, not text") << QVariant(QByteArray("COM4")) << "COM1";
        QTest::newRow("list, not text") << QVariant(QStringList{"COM4", "COM5"}) << "COM1";
    }
    void restoresPortOnCreation() {
        QFETCH(QVariant, stored);
        QFETCH(QString, chosen);
        if (stored.isValid())
            OpenUserSettings()->setValue(QStringLiteral("COM"), stored);

        TForm1 frame;
        TForm5 *form = OpenFromMenu(frame);
        QVERIFY(form);
        QCOMPARE(form->PortText(), chosen);
        const auto items = form->RadioGroup1->findChildren<QRadioButton *>();
        QCOMPARE(items.size(), 9);
        int checked = 0;
        for (const auto *item : items)
            checked += item->isChecked() ? 1 : 0;
        QCOMPARE(checked, 1);
        QCOMPARE(form->DataIndex(), 0);
        QVERIFY(!frame.N4->isEnabled());

        form->Button1->click();
        QVERIFY(WaitUntilClosed(frame));
        QCOMPARE(StoredPort(), QVariant(chosen));
    }

    // Both ways of closing store the chosen port; "Old" is never remembered.
    void closingStoresPort_data() {
        QTest::addColumn<bool>("byCloseBox");
        QTest::newRow("close button") << false;
        QTest::newRow("close box") << true;
    }
    void closingStoresPort() {
        QFETCH(bool, byCloseBox);
        TForm1 frame;
        TForm5 *form = OpenFromMenu(frame);
        QTest::mouseClick(form->RadioGroup1->findChild<QRadioButton *>("PortItem6"),
                          Qt::LeftButton);
        form->SetDataIndex(1);
        QCOMPARE(form->PortText(), QStringLiteral("COM7"));
        if (byCloseBox) {
            auto *subWindow = qobject_cast<QMdiSubWindow *>(form->parentWidget());
            QVERIFY(subWindow);
            subWindow->close();
        } else {
            QTest::mouseClick(form->Button1, Qt::LeftButton);
        }
        QVERIFY(WaitUntilClosed(frame));
        QVERIFY(frame.ClientArea()->subWindowList().isEmpty());
        QCOMPARE(StoredPort(), QVariant(QStringLiteral("COM7")));

        form = OpenFromMenu(frame);
        QCOMPARE(form->PortText(), QStringLiteral("COM7"));
        QCOMPARE(form->DataIndex(), 0);
    }

    void captionsFollowLanguageAtCreation_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("fontName");
        QTest::addColumn<QString>("closeCaption");
        QTest::addColumn<QString>("readCaption");
        QTest::newRow("Japanese") << int(LanguageJapanese) << "ＭＳ ゴシック"
                                  << "閉じる"
                                  << "データ読取り";
        QTest::newRow("English") << int(LanguageEnglish) << "Courier New"
                                 << "Close"
                                 << "Data Read";
    }
    void captionsFollowLanguageAtCreation() {
        QFETCH(int, language);
        QFETCH(QString, fontName);
        QFETCH(QString, closeCaption);
        QFETCH(QString, readCaption);
        TForm1 frame;
        Language = language;
        TForm5 *form = OpenFromMenu(frame);
        QCOMPARE(form->windowTitle(), QStringLiteral("Communication Form"));
        QCOMPARE(form->parentWidget()->windowTitle(), QStringLiteral("Communication Form"));
        QCOMPARE(form->font().family(), fontName);
        QCOMPARE(form->Button1->text(), closeCaption);
        QCOMPARE(form->Button2->text(), readCaption);
        QCOMPARE(form->Button3->text(), QStringLiteral("Clear"));
        QCOMPARE(form->RadioGroup1->title(), QStringLiteral("Port select"));
        QCOMPARE(form->RadioGroup2->title(), QStringLiteral("Data select"));
        QCOMPARE(form->Label1->text(), QStringLiteral("Message"));
        for (QWidget *own :
             {static_cast<QWidget *>(form->RadioGroup1), static_cast<QWidget *>(form->Label1)}) {
            QCOMPARE(own->font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
            QCOMPARE(own->font().pixelSize(), 13);
        }
        QCOMPARE(form->RadioGroup2->font().family(), fontName);
        QCOMPARE(form->size(), QSize(442, 253));
        QCOMPARE(form->Button2->geometry(), QRect(352, 64, 75, 25));
        QCOMPARE(form->Memo1->geometry(), QRect(144, 160, 290, 81));
        QVERIFY(form->Memo1->toPlainText().isEmpty());
        QVERIFY(!form->ProgressBar1->isVisibleTo(form));
        const auto flags = form->parentWidget()->windowFlags();
        QVERIFY(flags & Qt::WindowMinimizeButtonHint);
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));

        // A later switch leaves the open window as it is.
        Language = language == LanguageJapanese ? LanguageEnglish : LanguageJapanese;
        QCOMPARE(form->Button2->text(), readCaption);
    }

    void clearEmptiesMessagesOnly() {
        TForm1 frame;
        TForm5 *form = OpenFromMenu(frame);
        form->SetPortIndex(2);
        form->SetDataIndex(1);
        form->Memo1->appendPlainText(QStringLiteral("Communicating..."));
        form->Memo1->appendPlainText(QStringLiteral("ERROR :  TimeOut Error"));
        QTest::mouseClick(form->Button3, Qt::LeftButton);
        QVERIFY(form->Memo1->toPlainText().isEmpty());
        QCOMPARE(form->PortText(), QStringLiteral("COM3"));
        QCOMPARE(form->DataIndex(), 1);
        QVERIFY(form->Button2->isEnabled());
    }

    // The device a port item stands for is kept per item in the settings.
    void deviceFieldRoundTrip() {
        if (DefaultDevicePath(QStringLiteral("COM1")) == QStringLiteral("COM1"))
            QSKIP("port items are device names on this system");
        TForm1 frame;
        TForm5 *form = OpenFromMenu(frame);
        QVERIFY(form->DeviceEdit->isVisibleTo(form));
        QCOMPARE(form->DeviceEdit->text(), DefaultDevicePath(QStringLiteral("COM1")));

        // Typed and confirmed with Enter.
        form->DeviceEdit->setFocus();
        form->DeviceEdit->selectAll();
        QTest::keyClicks(form->DeviceEdit, QStringLiteral("/dev/ttyUSB0"));
        QTest::keyClick(form->DeviceEdit, Qt::Key_Return);
        QCOMPARE(DevicePathFor(QStringLiteral("COM1")), QStringLiteral("/dev/ttyUSB0"));

        // Each item shows its own device.
        form->SetPortIndex(1);
        QCOMPARE(form->DeviceEdit->text(), DefaultDevicePath(QStringLiteral("COM2")));
        // Changed without Enter, then another item chosen: the change is kept for COM2.
        form->DeviceEdit->setText(QStringLiteral("/dev/ttyACM0"));
        form->SetPortIndex(0);
        QCOMPARE(form->DeviceEdit->text(), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(DevicePathFor(QStringLiteral("COM2")), QStringLiteral("/dev/ttyACM0"));

        // Changed, then the window closed: kept as well, and shown again next time.
        form->SetPortIndex(2);
        form->DeviceEdit->setText(QStringLiteral("  /dev/ttyUSB3 "));
        form->Button1->click();
        QVERIFY(WaitUntilClosed(frame));
        form = OpenFromMenu(frame);
        QCOMPARE(form->PortText(), QStringLiteral("COM3"));
        QCOMPARE(form->DeviceEdit->text(), QStringLiteral("/dev/ttyUSB3"));
        form->SetPortIndex(0);
        QCOMPARE(form->DeviceEdit->text(), QStringLiteral("/dev/ttyUSB0"));

        // An emptied field goes back to the default device.
        form->DeviceEdit->clear();
        emit form->DeviceEdit->editingFinished();
        QCOMPARE(form->DeviceEdit->text(), DefaultDevicePath(QStringLiteral("COM1")));
        QCOMPARE(DevicePathFor(QStringLiteral("COM1")), DefaultDevicePath(QStringLiteral("COM1")));
        QCOMPARE(StoredPort(), QVariant(QStringLiteral("COM3")));
    }

    // A device attached for one run (the simulated drive) is shown but never stored.
    void attachedDeviceIsNotStored() {
        if (DefaultDevicePath(QStringLiteral("COM1")) == QStringLiteral("COM1"))
            QSKIP("port items are device names on this system");
        AttachDevicePath(QStringLiteral("COM1"), QStringLiteral("/dev/pts/77"));
        TForm1 frame;
        TForm5 *form = OpenFromMenu(frame);
        QCOMPARE(form->DeviceEdit->text(), QStringLiteral("/dev/pts/77"));
        form->Button1->click();
        QVERIFY(WaitUntilClosed(frame));
        QVERIFY(!OpenUserSettings()->contains(QStringLiteral("Devices/COM1")));

        // The user's own choice replaces the attachment and is kept.
        form = OpenFromMenu(frame);
        form->DeviceEdit->setText(QStringLiteral("/dev/ttyUSB1"));
        emit form->DeviceEdit->editingFinished();
        QCOMPARE(DevicePathFor(QStringLiteral("COM1")), QStringLiteral("/dev/ttyUSB1"));
        QCOMPARE(OpenUserSettings()->value(QStringLiteral("Devices/COM1")),
                 QVariant(QStringLiteral("/dev/ttyUSB1")));
    }

    void monitorRefusesABadAttachOption_data() {
        QTest::addColumn<QString>("value");
        QTest::newRow("no path") << "COM1=";
        QTest::newRow("no item") << "/dev/pts/3";
        QTest::newRow("not an item") << "COM10=/dev/pts/3";
    }
    void monitorRefusesABadAttachOption() {
        QFETCH(QString, value);
        QProcess monitor;
        monitor.start(QStringLiteral(VANDREL_BIN_DIR "/vandrel-monitor"),
                      {QStringLiteral("--attach"), value});
        QVERIFY(monitor.waitForFinished(20000));
        QCOMPARE(monitor.exitCode(), 2);
        QVERIFY(monitor.readAllStandardError().contains("COMn=PATH"));
    }

private:
    QTemporaryDir workDir;
};

QTEST_MAIN(tst_TForm5)
#include "tst_TForm5.moc"
