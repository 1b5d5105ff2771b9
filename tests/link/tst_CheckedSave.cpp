// The checked writer on a really full disk, and on targets that are not regular files. (File
// size limits are met through the window and vandrel-trace.)

#include "CheckedSave.h"
#include "FileFaults.h"
#include "TraceRecord.h"

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
        const bool saved = SaveFileChecked(path, NewContents(), &error, LanguageEnglish);
        const bool created =
            SaveFileChecked(dir.filePath("new.vnx"), NewContents(), nullptr, LanguageEnglish);
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
        QVERIFY(!SaveFileChecked(path, NewContents(), &error, LanguageEnglish));
        QVERIFY2(error.contains("Not a regular file"), qPrintable(error));
        QCOMPARE(NotRegularFileReason(path, LanguageEnglish), error);
        QCOMPARE(FileKindAt(path), kind);
        QVERIFY(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size() <= 1);
        QCOMPARE(NotRegularFileReason(dir.filePath("missing.vnx"), LanguageEnglish), QString());
    }
};

QTEST_GUILESS_MAIN(tst_CheckedSave)
#include "tst_CheckedSave.moc"
