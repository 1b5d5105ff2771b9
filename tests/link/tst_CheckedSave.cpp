// The checked writer: a failed write or a target that is not a regular file changes nothing.

#include "CheckedSave.h"
#include "FileFaults.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#ifdef Q_OS_LINUX
#include <sys/mount.h>
#include <unistd.h>
#endif

namespace {

QByteArray ReadFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// About the size of a trace file, with no two lines alike.
QByteArray NewContents() {
    QByteArray bytes;
    for (int i = 0; bytes.size() < 11000; ++i)
        bytes += QByteArray::number(i * 7919) + "\r\n";
    return bytes;
}

} // namespace

class tst_CheckedSave : public QObject {
    Q_OBJECT
private slots:
    void writesExactlyTheBytes() {
        QTemporaryDir dir;
        const QString path = dir.filePath("out.vnx");
        QVERIFY(WriteFile(path, "old"));
        QString error = "untouched";
        QVERIFY(SaveFileChecked(path, NewContents(), &error));
        QCOMPARE(ReadFile(path), NewContents());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"out.vnx"});
        QVERIFY(SaveFileChecked(path, QByteArray(), nullptr));
        QCOMPARE(QFileInfo(path).size(), 0);
    }

    void failedWriteChangesNothing_data() {
        QTest::addColumn<bool>("existing");
        QTest::addColumn<long long>("limit");
        // Limit 0 fails the first write; 4096 cuts a write short, as a disk that fills midway.
        QTest::newRow("existing file, nothing fits") << true << 0LL;
        QTest::newRow("existing file, part fits") << true << 4096LL;
        QTest::newRow("new file, nothing fits") << false << 0LL;
        QTest::newRow("new file, part fits") << false << 4096LL;
    }
    void failedWriteChangesNothing() {
#ifndef Q_OS_UNIX
        QSKIP("file size limits are a Unix test");
#endif
        QFETCH(bool, existing);
        QFETCH(long long, limit);
        QTemporaryDir dir;
        const QString path = dir.filePath("trace.vnx");
        const QByteArray old = NewContents().left(9000) + "old";
        if (existing)
            QVERIFY(WriteFile(path, old));
        // 1: reported as written, 2: failed without the system's reason.
        const int result = RunInChild([&] {
            if (!LimitFileSize(limit))
                return 3;
            QString error;
            if (SaveFileChecked(path, NewContents(), &error))
                return 1;
            return error.contains("File too large") ? 0 : 2;
        });
        QCOMPARE(result, 0);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 existing ? QStringList{"trace.vnx"} : QStringList{});
        if (existing)
            QCOMPARE(ReadFile(path), old);
    }

    void fullDiskChangesNothing() {
#ifdef Q_OS_LINUX
        if (::geteuid() != 0)
            QSKIP("mounting a small file system needs the super-user");
        QTemporaryDir dir;
        const QByteArray mountPoint = QFile::encodeName(dir.path());
        if (::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=64k") != 0)
            QSKIP("no tmpfs may be mounted here");
        const QString path = dir.filePath("trace.vnx");
        const QByteArray old = NewContents().left(9000) + "old";
        const bool written = WriteFile(path, old);
        QFile fill(dir.filePath("fill"));
        if (fill.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            while (fill.write(QByteArray(4096, 'x')) > 0) {
            }
        fill.close();
        QString error;
        const bool saved = SaveFileChecked(path, NewContents(), &error);
        const bool created = SaveFileChecked(dir.filePath("new.vnx"), NewContents(), nullptr);
        const QByteArray after = ReadFile(path);
        const QStringList files = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        QVERIFY(::umount(mountPoint.constData()) == 0);
        QVERIFY(written);
        QVERIFY(!saved);
        QVERIFY(!created);
        QVERIFY2(error.contains("No space left on device"), qPrintable(error));
        QCOMPARE(after, old);
        QCOMPARE(files, (QStringList{"fill", "trace.vnx"}));
#else
        QSKIP("a small tmpfs is a Linux test");
#endif
    }

    void refusesWhatIsNotARegularFile_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("FIFO") << "fifo";
        QTest::newRow("device") << "device";
        QTest::newRow("folder") << "folder";
    }
    void refusesWhatIsNotARegularFile() {
#ifndef Q_OS_UNIX
        QSKIP("FIFOs and devices are a Unix test");
#endif
        QFETCH(QString, kind);
        QTemporaryDir dir;
        QString path = dir.filePath("target.vnx");
        if (kind == "fifo")
            QVERIFY(MakeFifo(path));
        else if (kind == "device")
            path = WriteRefusingDevice(dir.path());
        else
            QVERIFY(QDir().mkpath(path));
        QString error;
        QVERIFY(!SaveFileChecked(path, NewContents(), &error));
        QVERIFY2(error.contains("Not a regular file"), qPrintable(error));
        QCOMPARE(NotRegularFileReason(path), error);
        QCOMPARE(FileKindAt(path), kind);
        QVERIFY(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size() <= 1);
        QCOMPARE(NotRegularFileReason(dir.filePath("missing.vnx")), QString());
    }
};

QTEST_GUILESS_MAIN(tst_CheckedSave)
#include "tst_CheckedSave.moc"
