// File, Open and File, Save of the main frame, and opening a file dropped onto it.

#include "FakeDialogs.h"
#include "FileFaults.h"
#include "Platform.h"
#include "TForm1.h"
#include "Likeness.h"
#include "THistoryForm.h"
#include "TraceFile.h"
#include "WindowState.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <memory>
#include <thread>
#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

const QString DataDir = QStringLiteral(VANDREL_TEST_DATA);

TTraceRecord SomeRecord() {
    TTraceRecord record;
    ResetRecord(record);
    for (int i = 0; i < SampleCount; ++i) {
        record.SampleNo[i] = 200 + i;
        for (int c = 0; c < ChannelCount; ++c)
            record.Value[i][c] = float((i * 37 + c * 101) % 65536 - 32768);
        for (int w = 0; w < FlagWordCount; ++w)
            record.Flag[i][w] = (i * 1009 + w * 7) & 0xFFFF;
    }
    for (int j = 0; j < HeaderCount; ++j)
        record.Header[j] = j * 20;
    return record;
}

void WriteFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray ReadFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray ValidText(int driveType = 0) {
    return QByteArray::fromStdString(WriteTraceFile(SomeRecord(), driveType, false));
}

QString Caption(const QString &fileName) {
    return BaseTitle + QStringLiteral("   ") + fileName;
}

// Keeps a test from hanging on a FIFO that the program wrongly opens for reading: a writer
// waits for that reader and ends the read at once; otherwise it is let go at the end.
class FifoWriter {
public:
    explicit FifoWriter(const QString &path) : path_(QFile::encodeName(path)) {
#ifdef Q_OS_UNIX
        writer_ = std::thread([this] {
            const int fd = ::open(path_.constData(), O_WRONLY);
            if (fd >= 0)
                ::close(fd);
        });
#endif
    }
    ~FifoWriter() {
#ifdef Q_OS_UNIX
        const int fd = ::open(path_.constData(), O_RDONLY | O_NONBLOCK);
        writer_.join();
        if (fd >= 0)
            ::close(fd);
#endif
    }

private:
    QByteArray path_;
    std::thread writer_;
};

} // namespace

class tst_FileMenu : public QObject {
    Q_OBJECT
private slots:
    void init() {
        // Every test starts in an empty folder.
        QVERIFY(dir.isValid());
        QVERIFY(QDir(dir.path()).removeRecursively());
        QVERIFY(QDir().mkpath(dir.path()));
        QDir::setCurrent(dir.path());
    }

    void saveThenOpenGivesTheRecordBack() {
        FakeDialogs dialogs;
        TForm1 form;
        form.Record = SomeRecord();
        DriveTypeE = 1;
        const TTraceRecord saved = form.Record;
        dialogs.saveAnswer = dir.filePath("run1");
        form.saveS1->trigger();
        QCOMPARE(dialogs.filters, QStringList{"DataFile(*.vnx)"});
        QVERIFY(QFile::exists(dir.filePath("run1.vnx")));
        QCOMPARE(form.windowTitle(), Caption("run1.vnx"));

        ResetRecord(form.Record);
        DriveTypeE = 0;
        IsNormalized = 1;
        dialogs.openAnswer = dir.filePath("run1.vnx");
        form.open01->trigger();
        QCOMPARE(dialogs.filters.last(),
                 QStringLiteral("Trace files (*.vnx *.vnb);;DataFile(*.vnx);;DataFile(*.vnb)"));
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(DriveTypeE, 1);
        QCOMPARE(IsNormalized, quint8(0));
        TTraceRecord expected = saved;
        ApplyTypeScales(expected, 1); // the factors follow the loaded drive type
        QVERIFY(form.Record == expected);
    }

    void saveNames_data() {
        QTest::addColumn<int>("normalized");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("filter");
        QTest::newRow("raw, plain name") << 0 << "run1"
                                         << "run1.vnx"
                                         << "DataFile(*.vnx)";
        QTest::newRow("raw, ending given") << 0 << "run1.vnx"
                                           << "run1.vnx"
                                           << "DataFile(*.vnx)";
        QTest::newRow("raw, upper case ending") << 0 << "DATA.VNX"
                                                << "DATA.VNX.vnx"
                                                << "DataFile(*.vnx)";
        QTest::newRow("raw, other kind's ending") << 0 << "run1.vnb"
                                                  << "run1.vnb.vnx"
                                                  << "DataFile(*.vnx)";
        QTest::newRow("normalized, plain name") << 1 << "run1"
                                                << "run1.vnb"
                                                << "DataFile(*.vnb)";
        QTest::newRow("normalized, ending given") << 1 << "run1.vnb"
                                                  << "run1.vnb"
                                                  << "DataFile(*.vnb)";
        QTest::newRow("normalized, raw ending") << 1 << "run1.vnx"
                                                << "run1.vnx.vnb"
                                                << "DataFile(*.vnb)";
    }
    void saveNames() {
        QFETCH(int, normalized);
        QFETCH(QString, typed);
        QFETCH(QString, written);
        QFETCH(QString, filter);
        FakeDialogs dialogs;
        TForm1 form;
        IsNormalized = quint8(normalized);
        dialogs.saveAnswer = dir.filePath(typed);
        form.saveS1->trigger();
        QCOMPARE(dialogs.filters, QStringList{filter});
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{written});
        QCOMPARE(form.windowTitle(), Caption(written));
        QVERIFY(dialogs.messages.isEmpty());
    }

    void openEndings_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        QTest::newRow(".vnb sets") << "run.vnb" << 0 << 1;
        QTest::newRow(".vnx clears") << "run.vnx" << 1 << 0;
        // Endings in any case: a name written by another system holds the same kind of values.
        QTest::newRow(".VNX clears") << "DATA.VNX" << 1 << 0;
        QTest::newRow(".VNB sets") << "TRIP.VNB" << 0 << 1;
        QTest::newRow(".Vnb sets") << "trip.Vnb" << 0 << 1;
        QTest::newRow("other ending keeps") << "trace.txt" << 1 << 1;
    }
    void openEndings() {
        QFETCH(QString, name);
        QFETCH(int, before);
        QFETCH(int, after);
        FakeDialogs dialogs;
        TForm1 form;
        WriteFile(dir.filePath(name), ValidText());
        IsNormalized = quint8(before);
        dialogs.openAnswer = dir.filePath(name);
        form.open01->trigger();
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(int(IsNormalized), after);
        QCOMPARE(form.windowTitle(), Caption(name));
        QCOMPARE(form.Record.SampleNo[5], 205);
    }

    void cancelledDialogsChangeNothing() {
        FakeDialogs dialogs;
        TForm1 form;
        const TTraceRecord before = form.Record;
        form.open01->trigger();
        form.saveS1->trigger();
        QCOMPARE(dialogs.filters.size(), 2);
        QVERIFY(form.Record == before);
        QCOMPARE(form.windowTitle(), BaseTitle);
        QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());
        QVERIFY(dialogs.messages.isEmpty());
    }

    void failedOpenChangesNothing_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("source"); // a file in tests/data, or empty: no file at all
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("expected");
        const int en = LanguageEnglish, ja = LanguageJapanese;
        QTest::newRow("missing file") << "gone.vnb"
                                      << "" << en << QStringList{"cannot be opened", "gone.vnb"};
        QTest::newRow("missing file, Japanese")
            << "gone.vnb"
            << "" << ja << QStringList{"を開けません", "gone.vnb"};
        QTest::newRow("50-line file")
            << "short.vnb"
            << "short50.vnx" << en
            << QStringList{"cannot be loaded", "short.vnb", "Line 51:", "missing"};
        QTest::newRow("50-line file, Japanese")
            << "short.vnb"
            << "short50.vnx" << ja << QStringList{"を読み込めません", "short.vnb", "51行目:"};
        QTest::newRow("bad field on line 7")
            << "bad.vnb"
            << "badline7.vnx" << en
            << QStringList{"bad.vnb", "Line 7: the value of channel 1 is not a number: \"-4x0\""};
        QTest::newRow("a folder") << "folder.vnb"
                                  << "/" << en << QStringList{"folder.vnb", "cannot be opened"};
        QTest::newRow("a FIFO") << "pipe.vnb"
                                << "fifo" << en
                                << QStringList{"pipe.vnb", "cannot be opened",
                                               "Not a regular file"};
        QTest::newRow("a device, Japanese")
            << ""
            << "device" << ja << QStringList{"を開けません", "通常のファイルではありません"};
    }
    void failedOpenChangesNothing() {
        QFETCH(QString, name);
        QFETCH(QString, source);
        QFETCH(int, language);
        QFETCH(QStringList, expected);
        FakeDialogs dialogs;
        TForm1 form;
        QString path = dir.filePath(name);
        std::unique_ptr<FifoWriter> writer;
        if (source == "/") {
            QVERIFY(QDir().mkpath(path));
        } else if (source == "fifo") {
            QVERIFY(MakeFifo(path));
            writer = std::make_unique<FifoWriter>(path);
        } else if (source == "device") {
            path = WriteRefusingDevice(dir.path());
        } else if (!source.isEmpty())
            WriteFile(path, ReadFile(DataDir + "/" + source));
        Language = language;
        form.Record = SomeRecord();
        const TTraceRecord before = form.Record;
        DriveTypeE = 0;
        IsNormalized = 0;
        form.setWindowTitle(Caption("previous.vnx"));

        dialogs.openAnswer = path;
        form.open01->trigger();
        QVERIFY(form.Record == before);
        QCOMPARE(DriveTypeE, 0);
        QCOMPARE(IsNormalized, quint8(0)); // a .vnb name, yet nothing was loaded
        QCOMPARE(form.windowTitle(), Caption("previous.vnx"));
        QCOMPARE(dialogs.messages.size(), 1);
        for (const QString &part : expected)
            QVERIFY2(dialogs.messages[0].contains(part), qPrintable(dialogs.messages[0]));
    }

    void loadFollowsTheDriveType() {
        FakeDialogs dialogs;
        TForm1 form;
        QCOMPARE(form.Record.Scale[11], ChannelFactor(11, 0));
        dialogs.openAnswer = DataDir + "/typeE.vnx";
        form.open01->trigger();
        QCOMPARE(DriveTypeE, 1);
        for (int c = 9; c < ChannelCount; ++c)
            QCOMPARE(form.Record.Scale[c], ChannelFactor(c, 1));
        dialogs.openAnswer = DataDir + "/standard.vnb";
        form.open01->trigger();
        QCOMPARE(DriveTypeE, 0);
        for (int c = 9; c < ChannelCount; ++c)
            QCOMPARE(form.Record.Scale[c], ChannelFactor(c, 0));
        // Factors that lag behind the drive type are put right by a load of the same type too.
        DriveTypeE = 1;
        dialogs.openAnswer = DataDir + "/typeE.vnx";
        form.open01->trigger();
        for (int c = 9; c < ChannelCount; ++c)
            QCOMPARE(form.Record.Scale[c], ChannelFactor(c, 1));
        QVERIFY(dialogs.messages.isEmpty());
    }

    void normalizedRecordIsSavedAsNormalized() {
        FakeDialogs dialogs;
        TForm1 form;
        dialogs.openAnswer = DataDir + "/standard.vnb";
        form.open01->trigger();
        QCOMPARE(IsNormalized, quint8(1));
        QCOMPARE(form.Record.Value[1][0], -9.75f);
        form.Record.Value[2][3] = 0.1f; // needs all its digits to come back
        const TTraceRecord loaded = form.Record;

        dialogs.saveAnswer = dir.filePath("copy");
        form.saveS1->trigger();
        QCOMPARE(dialogs.filters.last(), QStringLiteral("DataFile(*.vnb)"));
        QCOMPARE(form.windowTitle(), Caption("copy.vnb"));
        QVERIFY(!QFile::exists(dir.filePath("copy.vnx")));

        ResetRecord(form.Record);
        dialogs.openAnswer = dir.filePath("copy.vnb");
        form.open01->trigger();
        QVERIFY(dialogs.messages.isEmpty());
        QVERIFY(form.Record == loaded);
        QCOMPARE(IsNormalized, quint8(1));
    }

    void failedSaveTellsAndKeepsTheCaption_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("expected");
        QTest::newRow("English") << int(LanguageEnglish) << "cannot be saved";
        QTest::newRow("Japanese") << int(LanguageJapanese) << "を保存できません";
    }
    void failedSaveTellsAndKeepsTheCaption() {
        QFETCH(int, language);
        QFETCH(QString, expected);
        FakeDialogs dialogs;
        TForm1 form;
        Language = language;
        dialogs.saveAnswer = dir.filePath("no-such-folder/run1");
        form.saveS1->trigger();
        QCOMPARE(form.windowTitle(), BaseTitle);
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY2(dialogs.messages[0].contains(expected), qPrintable(dialogs.messages[0]));
        QVERIFY(dialogs.messages[0].contains(
            QDir::toNativeSeparators(dir.filePath("no-such-folder/run1.vnx"))));
        // The reason from the system follows the file name.
        QVERIFY(dialogs.messages[0].split('\n').size() >= 2);
        QVERIFY(!dialogs.messages[0].split('\n')[1].isEmpty());
    }

    void failedSaveLeavesTheOldFile() {
#ifdef Q_OS_UNIX
        if (geteuid() == 0)
            QSKIP("permissions do not stop the super-user");
#else
        QSKIP("folder permissions are a Unix test");
#endif
        FakeDialogs dialogs;
        TForm1 form;
        const QString folder = dir.filePath("locked");
        QVERIFY(QDir().mkpath(folder));
        WriteFile(folder + "/run1.vnx", "old contents");
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        dialogs.saveAnswer = folder + "/run1.vnx";
        form.saveS1->trigger();
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(ReadFile(folder + "/run1.vnx"), QByteArray("old contents"));
        QCOMPARE(form.windowTitle(), BaseTitle);
    }

    void failedWriteShowsTheReasonAndKeepsTheFile_data() {
        QTest::addColumn<QString>("target"); // "existing", "new" or "fifo"
        QTest::addColumn<long long>("sizeLimit");
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("expected");
        const int en = LanguageEnglish, ja = LanguageJapanese;
        QTest::newRow("existing file, size limit")
            << "existing" << 4096LL << en << QStringList{"cannot be saved", "File too large"};
        QTest::newRow("existing file, nothing fits, Japanese")
            << "existing" << 0LL << ja << QStringList{"を保存できません"};
        QTest::newRow("new file, size limit")
            << "new" << 1024LL << en << QStringList{"cannot be saved", "File too large"};
        QTest::newRow("FIFO") << "fifo" << -1LL << en
                              << QStringList{"cannot be saved", "Not a regular file"};
    }
    void failedWriteShowsTheReasonAndKeepsTheFile() {
        QFETCH(QString, target);
        QFETCH(long long, sizeLimit);
        QFETCH(int, language);
        QFETCH(QStringList, expected);
        const QString path = dir.filePath("run1.vnx");
        const QByteArray old = ValidText(1);
        if (target == "existing")
            WriteFile(path, old);
        else if (target == "fifo")
            QVERIFY(MakeFifo(path));
        // The save runs in a child whose file size is limited; it answers 0 when the window
        // told the failure with all expected parts and kept its caption.
        const int answer = RunInChild([&] {
            FakeDialogs dialogs;
            TForm1 form;
            form.Record = SomeRecord();
            Language = language;
            if (sizeLimit >= 0 && !LimitFileSize(sizeLimit))
                return 9;
            dialogs.saveAnswer = dir.filePath("run1");
            form.saveS1->trigger();
            if (dialogs.messages.size() != 1)
                return 1;
            const QString &text = dialogs.messages[0];
            if (!text.contains(QDir::toNativeSeparators(path)) ||
                text.split('\n').value(1).isEmpty())
                return 2;
            for (const QString &part : expected)
                if (!text.contains(part))
                    return 3;
            return form.windowTitle() == BaseTitle ? 0 : 4;
        });
        QCOMPARE(answer, 0);
        const QStringList files =
            QDir(dir.path())
                .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
        QCOMPARE(files, target == "new" ? QStringList{} : QStringList{"run1.vnx"});
        if (target == "existing")
            QCOMPARE(ReadFile(path), old);
        else if (target == "fifo")
            QCOMPARE(FileKindAt(path), target);
    }

    void existingFileIsReplacedWithoutQuestion() {
        FakeDialogs dialogs;
        TForm1 form;
        WriteFile(dir.filePath("run1.vnx"), "old contents");
        dialogs.saveAnswer = dir.filePath("run1.vnx");
        form.saveS1->trigger();
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(ReadFile(dir.filePath("run1.vnx")),
                 QByteArray::fromStdString(WriteTraceFile(form.Record, DriveTypeE, false)));
    }

    void droppedFileOpens_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("normalized");
        QTest::newRow(".vnx") << "drop.vnx" << true << 0;
        QTest::newRow(".vnb") << "drop.vnb" << true << 1;
        QTest::newRow(".VNX") << "DROP.VNX" << true << 0;
        QTest::newRow(".VNB") << "TRIP.VNB" << true << 1;
        QTest::newRow("other file") << "drop.txt" << false << 0;
    }
    void droppedFileOpens() {
        QFETCH(QString, name);
        QFETCH(bool, accepted);
        QFETCH(int, normalized);
        FakeDialogs dialogs;
        TForm1 form;
        IsNormalized = 0;
        form.show();
        const QString path = dir.filePath(name);
        WriteFile(path, ValidText(1));
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});

        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(&form, &enter);
        QCOMPARE(enter.isAccepted(), accepted);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&form, &drop);
        if (accepted) {
            QTRY_COMPARE(form.windowTitle(), Caption(name));
            QCOMPARE(int(IsNormalized), normalized);
            QCOMPARE(DriveTypeE, 1);
            QCOMPARE(form.Record.SampleNo[1], 201);
        } else {
            QTest::qWait(20);
            QCOMPARE(form.windowTitle(), BaseTitle);
            QCOMPARE(DriveTypeE, 0);
        }
    }

    void openTraceFileIsWhatOpenDoes() {
        // The path the program is started with goes through the same code as File, Open.
        FakeDialogs dialogs;
        TForm1 form;
        QVERIFY(form.OpenTraceFile(DataDir + "/standard.vnb"));
        QCOMPARE(IsNormalized, quint8(1));
        QCOMPARE(form.windowTitle(), Caption("standard.vnb"));
        QVERIFY(!form.OpenTraceFile(DataDir + "/short50.vnx"));
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(form.windowTitle(), Caption("standard.vnb"));
    }

    // A reference comes with its own units and leaves the record, its units and the caption
    // alone; a copy of the record is a copy, not a view of it.
    void referenceKeepsItsOwnUnits() {
        FakeDialogs dialogs;
        TForm1 form;
        QSignalSpy changed(form.Document, &TraceDocument::ReferenceChanged);
        QVERIFY(!form.ClearReference1->isEnabled());
        form.Record = SomeRecord();
        const TTraceRecord current = form.Record;
        DriveTypeE = 0;
        IsNormalized = 1;
        form.setWindowTitle(Caption("now.vnb"));

        dialogs.openAnswer = DataDir + "/typeE.vnx";
        form.OpenReference1->trigger();
        QCOMPARE(dialogs.filters.last(),
                 QStringLiteral("Trace files (*.vnx *.vnb);;DataFile(*.vnx);;DataFile(*.vnb)"));
        QVERIFY(dialogs.messages.isEmpty());
        QVERIFY(form.Document->Reference().has_value());
        QCOMPARE(form.Document->Reference()->DriveTypeE, 1);
        QVERIFY(!form.Document->Reference()->Normalized);
        for (int c = 9; c < ChannelCount; ++c)
            QCOMPARE(form.Document->Reference()->Record.Scale[c], ChannelFactor(c, 1));
        QVERIFY(form.Record == current);
        QCOMPARE(DriveTypeE, 0);
        QCOMPARE(IsNormalized, quint8(1));
        QCOMPARE(form.windowTitle(), Caption("now.vnb"));
        QVERIFY(form.ClearReference1->isEnabled());
        QCOMPARE(changed.size(), 1);

        dialogs.openAnswer = DataDir + "/standard.vnb";
        form.OpenReference1->trigger();
        QCOMPARE(form.Document->Reference()->DriveTypeE, 0);
        QVERIFY(form.Document->Reference()->Normalized);

        form.UseAsReference1->trigger();
        QVERIFY(form.Document->Reference()->Record == current);
        QCOMPARE(form.Document->Reference()->DriveTypeE, 0);
        QVERIFY(form.Document->Reference()->Normalized);
        form.Record.Value[3][4] += 1.0f;
        IsNormalized = 0;
        QVERIFY(form.Document->Reference()->Record == current);
        QVERIFY(form.Document->Reference()->Normalized);
        QCOMPARE(changed.size(), 3);

        form.ClearReference1->trigger();
        QVERIFY(!form.Document->Reference().has_value());
        QVERIFY(!form.ClearReference1->isEnabled());
        QCOMPARE(changed.size(), 4);
    }

    // A bad reference file tells exactly what File, Open tells and keeps the reference there is.
    void failedReferenceTellsAsOpenDoes_data() {
        failedOpenChangesNothing_data();
    }
    void failedReferenceTellsAsOpenDoes() {
        QFETCH(QString, name);
        QFETCH(QString, source);
        QFETCH(int, language);
        if (source == "fifo")
            QSKIP("a FIFO is read once only; File, Open covers it");
        FakeDialogs dialogs;
        TForm1 form;
        QString path = dir.filePath(name);
        if (source == "/")
            QVERIFY(QDir().mkpath(path));
        else if (source == "device")
            path = WriteRefusingDevice(dir.path());
        else if (!source.isEmpty())
            WriteFile(path, ReadFile(DataDir + "/" + source));
        Language = language;
        form.Record = SomeRecord();
        form.UseAsReference1->trigger();
        const TTraceRecord before = form.Document->Reference()->Record;
        QSignalSpy changed(form.Document, &TraceDocument::ReferenceChanged);

        dialogs.openAnswer = path;
        form.open01->trigger();
        form.OpenReference1->trigger();
        QCOMPARE(dialogs.messages.size(), 2);
        QCOMPARE(dialogs.messages[1], dialogs.messages[0]);
        QVERIFY(form.Document->Reference()->Record == before);
        QVERIFY(form.ClearReference1->isEnabled());
        QCOMPARE(changed.size(), 0);
    }

    void readAndWriteTraceFileLeaveFlagsCaptionAndDialogsAlone() {
        FakeDialogs dialogs;
        TForm1 form;
        form.Record = SomeRecord();
        DriveTypeE = 1;
        QVERIFY(form.WriteTraceFile(dir.filePath("plain")));
        QCOMPARE(ReadFile(dir.filePath("plain")), ValidText(1));

        ResetRecord(form.Record);
        DriveTypeE = 0;
        IsNormalized = 1;
        QVERIFY(form.ReadTraceFile(dir.filePath("plain")));
        QCOMPARE(DriveTypeE, 1);
        QCOMPARE(IsNormalized, quint8(1));
        for (int c = 9; c < ChannelCount; ++c)
            QCOMPARE(form.Record.Scale[c], ChannelFactor(c, 1));
        QCOMPARE(QByteArray::fromStdString(WriteTraceFile(form.Record, 1, false)), ValidText(1));

        const TTraceRecord before = form.Record;
        QString error;
        QVERIFY(!form.ReadTraceFile(DataDir + "/short50.vnx", &error));
        QVERIFY2(error.contains("51"), qPrintable(error));
        QVERIFY(form.Record == before);
        QVERIFY(!form.WriteTraceFile(dir.filePath("no-such-folder/x.vnx"), &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(form.windowTitle(), BaseTitle);
        QVERIFY(dialogs.messages.isEmpty());
    }

    void dialogsStartInTheFolderOfTheLastFile() {
        OpenUserSettings()->clear();
        FakeDialogs dialogs;
        const QString first = dir.filePath("first");
        const QString second = dir.filePath("second");
        QVERIFY(QDir().mkpath(first) && QDir().mkpath(second));
        WriteFile(first + "/run1.vnx", ValidText());
        {
            TForm1 form;
            // Nothing opened or saved yet: the working folder.
            form.open01->trigger();
            QCOMPARE(dialogs.folders, QStringList{QDir::currentPath()});

            dialogs.openAnswer = first + "/run1.vnx";
            form.open01->trigger();
            form.saveS1->trigger(); // cancelled
            QCOMPARE(dialogs.folders.last(), first);

            // A file that could not be read is not a file opened.
            WriteFile(second + "/bad.vnx", "garbage");
            QVERIFY(!form.OpenTraceFile(second + "/bad.vnx"));
            dialogs.openAnswer.clear();
            form.open01->trigger();
            QCOMPARE(dialogs.folders.last(), first);

            dialogs.saveAnswer = second + "/run2";
            form.saveS1->trigger();
            QVERIFY(QFile::exists(second + "/run2.vnx"));
            dialogs.saveAnswer.clear();
            form.saveS1->trigger();
            QCOMPARE(dialogs.folders.last(), second);
        }
        // Remembered for the next run, as long as the folder is there.
        TForm1 again;
        again.open01->trigger();
        QCOMPARE(dialogs.folders.last(), second);
        QVERIFY(QDir(second).removeRecursively());
        again.open01->trigger();
        QCOMPARE(dialogs.folders.last(), QDir::currentPath());
    }

    // The history lists the trace files of its folder; the filter narrows the rows, Enter opens
    // one as File / Open does, and Similar to Current shows how far each is from the trace.
    void historyWindowListsFiltersAndOpens() {
        QTemporaryDir folder;
        QVERIFY(QFile::copy(DataDir + "/typeE.vnx", folder.filePath("pump.vnx")));
        QVERIFY(QFile::copy(DataDir + "/standard.vnb", folder.filePath("fan.vnb")));
        TForm1 form;
        form.Document->SetHistoryFolder(folder.path());
        form.History1->trigger();
        QVERIFY(HistoryForm);
        QAbstractItemModel *rows = HistoryForm->HistoryGrid->model();
        QTRY_COMPARE(rows->rowCount(), 2);
        HistoryForm->FilterEdit->setText(QStringLiteral("pump"));
        QCOMPARE(rows->rowCount(), 1);
        HistoryForm->HistoryGrid->setFocus();
        HistoryForm->HistoryGrid->setCurrentIndex(rows->index(0, 0));
        QTest::keyClick(HistoryForm->HistoryGrid, Qt::Key_Return);
        QVERIFY(form.windowTitle().endsWith(QStringLiteral("pump.vnx")));
        HistoryForm->FilterEdit->clear();
        HistoryForm->SimilarButton->click();
        QCOMPARE(rows->rowCount(), 2);
        QVERIFY(!HistoryForm->HistoryGrid->isColumnHidden(
            static_cast<int>(HistoryColumn::Distance)));
    }

    // The listing runs beside the window: Similar to Current asked for meanwhile ranks the rows
    // that the listing brings, and the window closed during a listing waits for it.
    void historyListsBesideTheWindow() {
        QTemporaryDir folder;
        for (int i = 0; i < 150; ++i)
            QVERIFY(QFile::copy(DataDir + "/typeE.vnx", folder.filePath(QString("t%1.vnx").arg(i))));
        TForm1 form;
        form.Document->SetHistoryFolder(folder.path());
        form.History1->trigger();
        QVERIFY(HistoryForm && HistoryForm->Listing());
        HistoryForm->SimilarButton->click();
        QAbstractItemModel *rows = HistoryForm->HistoryGrid->model();
        QTRY_COMPARE(rows->rowCount(), 150);
        QTRY_VERIFY(!HistoryForm->Listing());
        QVERIFY(!HistoryForm->HistoryGrid->isColumnHidden(
            static_cast<int>(HistoryColumn::Distance)));
        HistoryForm->FillHistory();
        QVERIFY(HistoryForm->Listing());
        delete HistoryForm;
        QVERIFY(!HistoryForm);
    }

private:
    QTemporaryDir dir;
};

QTEST_MAIN(tst_FileMenu)
#include "tst_FileMenu.moc"
