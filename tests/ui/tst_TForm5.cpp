// Communication window: port remembered, device field, captions, Clear, reading and closing.

#include "DriveSim.h"
#include "FakeDialogs.h"
#include "Platform.h"
#include "PortNames.h"
#include "ReadSession.h"
#include "TEventsForm.h"
#include "TForm1.h"
#include "TForm5.h"
#include "WindowState.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <algorithm>
#include <cstring>
#include <memory>

namespace {

QVariant StoredPort() {
    return OpenUserSettings()->value(QStringLiteral("COM"));
}

QStringList MemoLines(const TForm5 &form) {
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

// A trace with every kind of value the link must carry: negative, extreme, all flag bits.
struct TestTrace {
    float value[SampleCount][ChannelCount];
    std::int32_t flag[SampleCount][FlagWordCount];
    std::int32_t header[HeaderCount] = {37, 24, 5, 17, 13, 45, 24, 5, 17, 13, 40};

    TestTrace() {
        for (int i = 0; i < SampleCount; ++i) {
            for (int c = 0; c < ChannelCount; ++c)
                value[i][c] = static_cast<float>((i * 1031 + c * 4093) % 65536 - 32768);
            for (int w = 0; w < FlagWordCount; ++w)
                flag[i][w] = (i * 4099 + w * 257) & 0xFFFF;
        }
        value[0][0] = -32768.0f;
        value[0][1] = 32767.0f;
        flag[99][3] = 0xFFFF;
    }

    // The text trace layout the simulated drive serves: per sample its number, twelve values
    // and four hexadecimal flag words; then the header in hexadecimal and the drive type.
    bool Write(const QString &path, int driveTypeE) const {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
            return false;
        QTextStream out(&file);
        for (int i = 0; i < SampleCount; ++i) {
            out << i;
            for (int c = 0; c < ChannelCount; ++c)
                out << ' ' << value[i][c];
            for (int w = 0; w < FlagWordCount; ++w)
                out << ' ' << QString::number(flag[i][w], 16).toUpper();
            out << '\n';
        }
        for (int j = 0; j < HeaderCount; ++j)
            out << QString::number(header[j], 16).toUpper() << '\n';
        out << driveTypeE << '\n';
        return true;
    }

    bool Matches(const TTraceRecord &record) const {
        return std::memcmp(record.Value, value, sizeof value) == 0 &&
               std::memcmp(record.Flag, flag, sizeof flag) == 0 &&
               std::memcmp(record.Header, header, sizeof header) == 0;
    }
};

// How many descriptors of this process have path open (Linux); -1 where that is unknown.
int OpenDescriptorsOf(const QString &path) {
    QDir fds(QStringLiteral("/proc/self/fd"));
    if (!fds.exists())
        return -1;
    const QString target = QFileInfo(path).canonicalFilePath();
    int count = 0;
    for (const QFileInfo &fd : fds.entryInfoList(QDir::Files | QDir::System))
        count += fd.symLinkTarget() == target ? 1 : 0;
    return count;
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
        QCOMPARE(form->RadioGroup1->font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
        QCOMPARE(form->RadioGroup1->font().pixelSize(), 13);
        // The port items and the message heading are drawn in the window's font.
        for (QWidget *own : {static_cast<QWidget *>(form->RadioGroup1->findChild<QRadioButton *>()),
                             static_cast<QWidget *>(form->Label1)})
            QCOMPARE(own->font().family(), fontName);
        QCOMPARE(form->RadioGroup2->font().family(), fontName);
        QCOMPARE(form->size(), QSize(442, 253));
        QCOMPARE(form->Button2->pos(), QPoint(352, 64));
        QVERIFY(form->Button2->width() >= 75);
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

    // Every control at its place and size, so nothing covers another or clips its text.
    void controlsAtTheirPlaces_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::newRow("Button1") << "Button1" << QRect(352, 13, 75, 25);
        QTest::newRow("Button2") << "Button2" << QRect(352, 64, 75, 25);
        QTest::newRow("Button3") << "Button3" << QRect(384, 144, 49, 17);
        QTest::newRow("RadioGroup1") << "RadioGroup1" << QRect(16, 8, 105, 153);
        QTest::newRow("RadioGroup2") << "RadioGroup2" << QRect(16, 168, 105, 73);
        QTest::newRow("Label1") << "Label1" << QRect(152, 144, 48, 13);
        QTest::newRow("Memo1") << "Memo1" << QRect(144, 160, 290, 81);
        QTest::newRow("ListBox1") << "ListBox1" << QRect(184, 32, 113, 41);
    }
    void controlsAtTheirPlaces() {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        TForm1 frame;
        TForm5 *form = OpenFromMenu(frame);
        auto *control = form->findChild<QWidget *>(name);
        QVERIFY(control);
        QCOMPARE(control->parentWidget(), form);
        // At its place, at least its designed size; a caption may need more in this font.
        QCOMPARE(control->pos(), geometry.topLeft());
        QVERIFY(control->width() >= geometry.width());
        QVERIFY(control->height() >= geometry.height());
        if (auto *label = qobject_cast<QLabel *>(control)) // its text is not cut off
            QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->width());
    }

    // The hidden result table: index 0 empty, then the text of result -1 .. -12.
    void resultTableIsHidden() {
        TForm1 frame;
        TForm5 *form = OpenFromMenu(frame);
        auto *list = form->findChild<QListWidget *>(QStringLiteral("ListBox1"));
        QVERIFY(list);
        QVERIFY(!list->isVisibleTo(form));
        QCOMPARE(list->count(), 13);
        QCOMPARE(list->item(0)->text(), QString());
        QCOMPARE(list->item(1)->text(), QStringLiteral("ERROR :  TimeOut Error"));
        QCOMPARE(list->item(4)->text(), QStringLiteral("ERROR :  Flaming Error"));
        QCOMPARE(list->item(12)->text(), QStringLiteral("ERROR :  Addres Error"));
        const auto ports = form->RadioGroup1->findChildren<QRadioButton *>();
        QStringList texts;
        for (const auto *port : ports)
            texts << port->text();
        QCOMPARE(texts, QStringList({"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8",
                                     "COM9"}));
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

    // A port that cannot be opened: one message box with the reason under the fixed text, the
    // same in the message area once the box is gone, no success line, record untouched.
    void portThatCannotBeOpened() {
        FakeDialogs dialogs;
        TForm1 frame;
        Language = LanguageEnglish;
        frame.Record.Value[5][3] = 123.0f;
        const TTraceRecord before = frame.Record;
        TForm5 *form = OpenFromMenu(frame);
        StoreDevicePath(QStringLiteral("COM2"), workDir.filePath("no-such-device"));
        form->SetPortIndex(1);
        form->Session->SetSettleWait(false);
        form->Button2->click();
        QVERIFY(QTest::qWaitFor([form] { return !form->IsReading(); }, 15000));
        const QString device = workDir.filePath("no-such-device");
        const QString reason = device + ": No such file or directory (the device does not exist)";
        QCOMPARE(dialogs.messages, QStringList{"CreateFile Error!\n" + reason});
        QCOMPARE(MemoLines(*form), (QStringList{"Communicating...", "CreateFile Error!", reason}));
        QVERIFY(form->ReadFailed);
        QVERIFY(form->Button2->isEnabled());
        QVERIFY(!form->ProgressBar1->isVisibleTo(form));
        QVERIFY(frame.Record == before);
    }

    // OpenPort and ClosePort outside a read: the chosen item's device, the failure boxes, and a
    // port that a following read can open again.
    void openPortOutsideARead_data() {
        QTest::addColumn<QString>("device"); // empty: the simulated drive
        QTest::addColumn<QStringList>("boxes");
        QTest::newRow("drive") << QString() << QStringList{};
        QTest::newRow("missing device")
            << "/dev/vandrel-no-such-port"
            << QStringList{"CreateFile Error!\n/dev/vandrel-no-such-port: No such file or "
                           "directory (the device does not exist)"};
        QTest::newRow("not a serial line") << "/dev/null" << QStringList{"GetCommState Error!"};
    }
    void openPortOutsideARead() {
        QFETCH(QString, device);
        QFETCH(QStringList, boxes);
        DriveSim drive;
        QVERIFY(drive.Start({}));
        StoreDevicePath(QStringLiteral("COM2"), device.isEmpty() ? drive.path : device);
        FakeDialogs dialogs;
        TForm1 frame;
        Language = LanguageEnglish;
        TForm5 *form = OpenFromMenu(frame);
        form->SetPortIndex(1);
        QCOMPARE(form->OpenPort(), boxes.isEmpty());
        QCOMPARE(dialogs.messages, boxes);
        QCOMPARE(form->Session->IsPortOpen(), boxes.isEmpty());
        if (OpenDescriptorsOf(drive.path) >= 0)
            QCOMPARE(OpenDescriptorsOf(drive.path), boxes.isEmpty() ? 1 : 0);
        form->ClosePort();
        QVERIFY(!form->Session->IsPortOpen());
        if (OpenDescriptorsOf(drive.path) >= 0)
            QCOMPARE(OpenDescriptorsOf(drive.path), 0);
        QVERIFY(MemoLines(*form).isEmpty());

        // A port left open does not stand in the way of a read.
        form->DeviceEdit->setText(drive.path);
        QVERIFY(form->OpenPort());
        form->Session->SetSettleWait(false);
        form->Button2->click();
        QVERIFY(QTest::qWaitFor([form] { return !form->IsReading(); }, 30000));
        QCOMPARE(MemoLines(*form), (QStringList{"Communicating...", "Normally End!"}));
        QVERIFY(!form->ReadFailed);
        QVERIFY(!form->Session->IsPortOpen());
    }

    // Whole reads over a pseudo-terminal against the simulated drive: the exact lines, and the
    // record filled completely or not at all.
    void readFromDrive_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<bool>("oldTrace");
        QTest::addColumn<QStringList>("driveOptions");
        QTest::addColumn<bool>("settleWait");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("filled");
        QTest::addColumn<int>("driveTypeE");
        const int ja = LanguageJapanese;
        const int en = LanguageEnglish;
        QTest::newRow("Japanese, new trace, with the settle wait")
            << ja << false << QStringList{} << true << QStringList{"通信中", "通信正常終了！"}
            << true << 1;
        QTest::newRow("English, new trace")
            << en << false << QStringList{} << false
            << QStringList{"Communicating...", "Normally End!"} << true << 1;
        QTest::newRow("English, old trace")
            << en << true << QStringList{"--status", "2"} << false
            << QStringList{"Communicating...", "Normally End!"} << true << 1;
        QTest::newRow("ROM 'V'") << en << false << QStringList{"--rom", "V"} << false
                                 << QStringList{"Communicating...", "Normally End!"} << true << 0;
        QTest::newRow("ROM 'X', Japanese")
            << ja << false << QStringList{"--rom", "X"} << false
            << QStringList{"通信中", "Frash Rom Warnning!!", "通信正常終了！"} << true << 0;
        QTest::newRow("ROM 'X', English")
            << en << false << QStringList{"--rom", "X"} << false
            << QStringList{"Communicating...", "Frash Rom Warnning!!", "Normally End!"} << true
            << 0;
        QTest::newRow("old trace, status 1")
            << en << true << QStringList{"--status", "1"} << false
            << QStringList{"Communicating...", "Old Data does not exist!"} << false << 1;
        QTest::newRow("old trace, status 1, Japanese")
            << ja << true << QStringList{"--status", "1"} << false
            << QStringList{"通信中", "Old Dataはありません！"} << false << 1;
        QTest::newRow("new trace, status 0")
            << ja << false << QStringList{"--status", "0"} << false
            << QStringList{"通信中", "New Dataはありません！"} << false << 1;
        QTest::newRow("bad sum check in a block")
            << en << false << QStringList{"--fault", "9:badsum"} << false
            << QStringList{"Communicating...", "ERROR :  SumCheck Error"} << false << 1;
        QTest::newRow("refused header")
            << en << false << QStringList{"--fault", "17:nak:88"} << false
            << QStringList{"Communicating...", "ERROR :  BLK or WAT Error"} << false << 1;
    }
    void readFromDrive() {
        QFETCH(int, language);
        QFETCH(bool, oldTrace);
        QFETCH(QStringList, driveOptions);
        QFETCH(bool, settleWait);
        QFETCH(QStringList, lines);
        QFETCH(bool, filled);
        QFETCH(int, driveTypeE);

        const TestTrace trace;
        const QString file = workDir.filePath("drive.vnx");
        QVERIFY(trace.Write(file, 1));
        DriveSim drive;
        QVERIFY(drive.Start(QStringList{oldTrace ? "--old" : "--new", file} + driveOptions));
        StoreDevicePath(QStringLiteral("COM3"), drive.path);

        FakeDialogs dialogs;
        TForm1 frame;
        Language = language;
        DriveTypeE = 1 - driveTypeE; // so that a read that sets it shows
        const TTraceRecord before = frame.Record;
        const std::int32_t driveTypeBefore = DriveTypeE;
        TForm5 *form = OpenFromMenu(frame);
        form->SetPortIndex(2);
        form->SetDataIndex(oldTrace ? 1 : 0);
        form->Session->SetSettleWait(settleWait);
        QTest::mouseClick(form->Button2, Qt::LeftButton);
        QVERIFY(form->IsReading());
        QVERIFY(!form->Button2->isEnabled());
        QVERIFY(QTest::qWaitFor([form] { return !form->IsReading(); }, 30000));

        QCOMPARE(MemoLines(*form), lines);
        QCOMPARE(form->ReadFailed, !filled);
        QVERIFY(dialogs.messages.isEmpty());
        QVERIFY(form->Button2->isEnabled());
        // The next read is one key away, whatever became of this one.
        QCOMPARE(form->focusWidget(), form->Button2);
        QVERIFY(!form->ProgressBar1->isVisibleTo(form));
        QCOMPARE(OpenDescriptorsOf(drive.path) > 0, false);
        if (filled) {
            QVERIFY(trace.Matches(frame.Record));
            QCOMPARE(DriveTypeE, driveTypeE);
            QCOMPARE(int(IsNormalized), 0);
            QCOMPARE(frame.Document->Source(), oldTrace ? QStringLiteral("COM3 Old") : "COM3 New");
        } else {
            QVERIFY(frame.Record == before);
            QCOMPARE(DriveTypeE, driveTypeBefore);
            QVERIFY(frame.Document->Source().isEmpty());
        }
    }

    // After a read the events window comes forward with the new trace, opened if need be,
    // unless View / Show Events After a Read is off; the caption names the read.
    void eventsAfterARead_data() {
        QTest::addColumn<bool>("showEvents");
        QTest::addColumn<bool>("openBefore");
        QTest::newRow("closed") << true << false;
        QTest::newRow("open behind the others") << true << true;
        QTest::newRow("turned off") << false << false;
    }
    void eventsAfterARead() {
        QFETCH(bool, showEvents);
        QFETCH(bool, openBefore);
        DriveSim drive;
        QVERIFY(drive.Start({}));
        StoreDevicePath(QStringLiteral("COM1"), drive.path);
        TForm1 frame;
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        Language = LanguageEnglish;
        QVERIFY(frame.ShowEventsAfterRead1->isChecked());
        frame.ShowEventsAfterRead1->setChecked(showEvents);
        if (openBefore)
            frame.Events1->trigger();
        TForm5 *form = OpenFromMenu(frame);
        QCOMPARE(frame.ClientArea()->activeSubWindow()->widget(), form);
        form->Session->SetSettleWait(false);
        form->Button2->click();
        QVERIFY(QTest::qWaitFor([form] { return !form->IsReading(); }, 30000));
        QVERIFY(!form->ReadFailed);
        QVERIFY(frame.windowTitle().startsWith(BaseTitle + "   COM1 new trace read at "));
        QCOMPARE(EventsForm != nullptr, showEvents || openBefore);
        if (!showEvents) {
            QCOMPARE(frame.ClientArea()->activeSubWindow()->widget(), form);
            return;
        }
        QCOMPARE(frame.ClientArea()->activeSubWindow()->widget(), EventsForm);
        QVERIFY(EventsForm->FirstFaultRow() >= 0);
        QCOMPARE(EventsForm->EventGrid->currentRow(), EventsForm->FirstFaultRow());
    }

    // A drive that does not answer: the time-out line, then what to check, in the window's
    // language.
    void timeOutSaysWhatToCheck_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("advice");
        QTest::newRow("English")
            << int(LanguageEnglish)
            << "Check the cable and the port, that the drive is powered, and the Device field";
        QTest::newRow("Japanese")
            << int(LanguageJapanese)
            << "ケーブルとポート、ドライブの電源が入っているか、Device 欄を確認してください";
    }
    void timeOutSaysWhatToCheck() {
        QFETCH(int, language);
        QFETCH(QString, advice);
        DriveSim drive;
        QVERIFY(drive.Start({"--fault", "2:timeout"}));
        StoreDevicePath(QStringLiteral("COM1"), drive.path);
        TForm1 frame;
        Language = language;
        TForm5 *form = OpenFromMenu(frame);
        // The messages of the moment are English; the advice keeps the window's language. The
        // clock runs 11 s at each exchange begun after the first.
        Language = LanguageEnglish;
        form->Session->SetSettleWait(false);
        std::int64_t now = 1000;
        form->Session->SetClock([&now] { return now; });
        connect(form->Session, &ReadSession::Progress, form, [&now](int, int) { now += 11; });
        form->Button2->click();
        QVERIFY(QTest::qWaitFor([form] { return !form->IsReading(); }, 9000));
        QCOMPARE(MemoLines(*form),
                 (QStringList{"Communicating...", "ERROR :  TimeOut Error", advice}));
        QVERIFY(!EventsForm);
    }

    // Lines follow the language at the moment they are written, not the window's captions.
    void linesFollowLanguageOfTheMoment() {
        DriveSim drive;
        QVERIFY(drive.Start({}));
        StoreDevicePath(QStringLiteral("COM1"), drive.path);
        TForm1 frame;
        Language = LanguageEnglish;
        TForm5 *form = OpenFromMenu(frame);
        form->Session->SetSettleWait(false);
        Language = LanguageJapanese;
        form->Button2->click();
        QVERIFY(QTest::qWaitFor([form] { return !form->IsReading(); }, 30000));
        QCOMPARE(form->Button2->text(), QStringLiteral("Data Read"));
        QCOMPARE(MemoLines(*form), (QStringList{"通信中", "通信正常終了！"}));

        // A second read appends; nothing is replaced.
        Language = LanguageEnglish;
        form->Button2->click();
        QVERIFY(QTest::qWaitFor([form] { return !form->IsReading(); }, 30000));
        QCOMPARE(MemoLines(*form),
                 (QStringList{"通信中", "通信正常終了！", "Communicating...", "Normally End!"}));
    }

    // During a read: no second read, the progress of the 17 exchanges is shown.
    void readShowsProgressAndAllowsNoSecondRead() {
        DriveSim drive;
        QVERIFY(drive.Start({}));
        StoreDevicePath(QStringLiteral("COM1"), drive.path);
        TForm1 frame;
        Language = LanguageEnglish;
        TForm5 *form = OpenFromMenu(frame);
        form->Session->SetSettleWait(false);
        QList<int> shown;
        bool busyWhileShown = true;
        connect(form->Session, &ReadSession::Progress, form, [&](int, int) {
            shown << form->ProgressBar1->value();
            busyWhileShown = busyWhileShown && form->ProgressBar1->isVisibleTo(form) &&
                             !form->Button2->isEnabled() && form->ProgressBar1->maximum() == 17;
        });
        form->Button2->click();
        QTest::mouseClick(form->Button2, Qt::LeftButton);
        form->Button2Click();
        QVERIFY(QTest::qWaitFor([form] { return !form->IsReading(); }, 30000));
        QVERIFY(busyWhileShown);
        QVERIFY(!shown.isEmpty());
        QCOMPARE(shown.last(), 17);
        QVERIFY(std::is_sorted(shown.begin(), shown.end()));
        QCOMPARE(MemoLines(*form), (QStringList{"Communicating...", "Normally End!"}));
    }

    // Closing the window, or the whole program, while the drive is still being asked.
    void closingDuringRead_data() {
        QTest::addColumn<int>("how");
        QTest::newRow("close button") << 0;
        QTest::newRow("close box") << 1;
        QTest::newRow("program quits") << 2;
    }
    void closingDuringRead() {
        QFETCH(int, how);
        DriveSim drive;
        // The drive stays silent at the fourth request, so the read is certainly under way.
        QVERIFY(drive.Start({"--fault", "4:timeout"}));
        StoreDevicePath(QStringLiteral("COM5"), drive.path);
        FakeDialogs dialogs;
        auto frame = std::make_unique<TForm1>();
        Language = LanguageEnglish;
        frame->Record.Header[0] = 42;
        const TTraceRecord before = frame->Record;
        const std::int32_t driveTypeBefore = DriveTypeE;
        TForm5 *form = OpenFromMenu(*frame);
        form->SetPortIndex(4);
        form->Session->SetSettleWait(false);
        form->Button2->click();
        QVERIFY(QTest::qWaitFor([form] { return form->ProgressBar1->value() >= 3; }, 10000));
        QVERIFY(form->IsReading());
        if (OpenDescriptorsOf(drive.path) >= 0)
            QCOMPARE(OpenDescriptorsOf(drive.path), 1);

        if (how == 0) {
            QTest::mouseClick(form->Button1, Qt::LeftButton);
        } else if (how == 1) {
            qobject_cast<QMdiSubWindow *>(form->parentWidget())->close();
        } else {
            frame.reset();
            QCOMPARE(Form5, nullptr);
        }
        if (OpenDescriptorsOf(drive.path) >= 0)
            QCOMPARE(OpenDescriptorsOf(drive.path), 0);
        QCOMPARE(StoredPort(), QVariant(QStringLiteral("COM5")));
        if (frame) {
            QVERIFY(WaitUntilClosed(*frame));
            QTest::qWait(300); // nothing arrives late
            QVERIFY(frame->Record == before);
            QCOMPARE(DriveTypeE, driveTypeBefore);
        }
        QVERIFY(dialogs.messages.isEmpty());
    }

private:
    QTemporaryDir workDir;
};

QTEST_MAIN(tst_TForm5)
#include "tst_TForm5.moc"
