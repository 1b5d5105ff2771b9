// The trace history on real files: keeping a read once, a full disk while keeping, a spoilt
// index, a renamed file with a note, two processes writing one index.

#include "ContentHash.h"
#include "DriveScenarios.h"
#include "FileFaults.h"
#include "HistoryIndex.h"
#include "TraceFileIO.h"
#include "TraceHistory.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A distinct trip per n: a scenario with its first value moved by n.
TTraceRecord Trip(int n) {
    TDriveModel drive;
    FillScenarioTrace(drive, ScenarioNames()[std::size_t(n) % ScenarioNames().size()]);
    TTraceRecord record;
    ResetRecord(record);
    DecodeTraceImage(drive.newImage, record.Value, record.Flag);
    for (int i = 0; i < HeaderCount; ++i)
        record.Header[i] = drive.newHeader[std::size_t(i)];
    record.Value[0][0] += float(n);
    return record;
}

// n trace files trip0.vnx .. in folder.
void WriteTrips(const QString &folder, int n) {
    QDir().mkpath(folder);
    for (int i = 0; i < n; ++i) {
        QString error;
        QVERIFY2(SaveTraceFile(folder + QStringLiteral("/trip%1.vnx").arg(i), Trip(i), 1, false,
                               &error, LanguageEnglish),
                 qPrintable(error));
    }
}

QStringList Entries(const QString &folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class tst_TraceHistory : public QObject {
    Q_OBJECT
private slots:
    void keepsOnceAndFailsWhole() {
        QTemporaryDir dir;
        const QString folder = dir.filePath("kept");
        const QDateTime first(QDate(2025, 6, 12), QTime(10, 15, 30));
        const KeptTrace a = KeepTrace(folder, Trip(1), 1, false, first, LanguageEnglish);
        const KeptTrace b = KeepTrace(folder, Trip(1), 1, true, first.addSecs(60), LanguageEnglish);
        QVERIFY2(a.Kept && !a.Earlier, qPrintable(a.Error));
        QVERIFY(b.Kept && b.Earlier);
        QCOMPARE(b.Path, a.Path);
        QVERIFY(a.Path.endsWith("_new_20250612-101530.vnx"));
        // Another trip read in the same second gets a name of its own.
        TTraceRecord other = Trip(1);
        other.Value[5][5] += 1;
        const KeptTrace c = KeepTrace(folder, other, 1, false, first, LanguageEnglish);
        QVERIFY(c.Kept && !c.Earlier && c.Path.endsWith("_new_20250612-101530_2.vnx"));
        QCOMPARE(Entries(folder).size(), 2);

        // A full disk: nothing is left behind and the reason is the system's.
        const QString full = dir.filePath("full");
        const int status = RunInChild([&] {
            if (!LimitFileSize(4096))
                return 2;
            const KeptTrace k = KeepTrace(full, Trip(2), 1, false, first, LanguageEnglish);
            return !k.Kept && k.Error.contains("File too large") ? 0 : 1;
        });
        QCOMPARE(status, 0);
        QCOMPARE(Entries(full), QStringList());
        // A folder that cannot be made.
        QFile blocker(dir.filePath("blocker"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        const KeptTrace d = KeepTrace(blocker.fileName() + "/h", Trip(3), 1, false, first,
                                      LanguageEnglish);
        QVERIFY(!d.Kept && d.Error.contains("cannot make folder"));
    }

    void rebuildsSpoiltIndex_data() {
        QTest::addColumn<QString>("spoil");
        QTest::newRow("not a database") << "garbage";
        QTest::newRow("truncated") << "truncate";
        QTest::newRow("damaged pages") << "pages";
        QTest::newRow("other tables") << "tables";
    }
    void rebuildsSpoiltIndex() {
        QFETCH(QString, spoil);
        QTemporaryDir dir;
        const QString folder = dir.filePath("trips");
        const QString db = dir.filePath("index.sqlite");
        WriteTrips(folder, 12);
        std::vector<HistoryRow> rows;
        QString error;
        {
            HistoryIndex index(db);
            QVERIFY2(index.List({folder}, &rows, &error), qPrintable(error));
        }
        QFile file(db);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QByteArray bytes = file.readAll();
        if (spoil == "garbage")
            bytes = QByteArray(8192, 'x');
        else if (spoil == "truncate")
            bytes.truncate(bytes.size() / 2);
        else if (spoil == "pages")
            bytes.replace(1024, bytes.size() - 1024, QByteArray(bytes.size() - 1024, '\x55'));
        file.resize(0);
        file.write(bytes);
        file.close();
        if (spoil == "tables") {
            QFile::remove(db);
            QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "other");
            other.setDatabaseName(db);
            QVERIFY(other.open());
            QVERIFY(QSqlQuery(other).exec("CREATE TABLE files (x INTEGER)"));
            other.close();
        }
        QSqlDatabase::removeDatabase("other");
        HistoryIndex index(db);
        QVERIFY2(index.List({folder}, &rows, &error), qPrintable(error));
        QCOMPARE(rows.size(), std::size_t(12));
        QVERIFY2(index.Notice().contains("built again"), qPrintable(index.Notice()));
        QCOMPARE(QDir(dir.path()).entryList({"index.sqlite.spoilt-*[0-9]"}).size(), 1);
    }

    // Notes are keyed by the SHA-256 of the contents, however it is computed: every length
    // of the last block, a whole trace file, and bytes of every value.
    void contentHashIsSha256() {
        QByteArray bytes;
        for (int n = 0; n <= 11072; n += n < 200 ? 1 : 1000) {
            while (bytes.size() < n)
                bytes.append(char(bytes.size() * 131 % 256));
            QCOMPARE(ContentHash(bytes),
                     QString(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex()));
        }
    }

    // Listing reads many files at once: every row says what its file says, hidden and other
    // files stay out, and names are matched without regard to case.
    void listedRowsSayWhatTheFilesSay() {
        QTemporaryDir dir;
        const QString folder = dir.filePath("trips");
        WriteTrips(folder, 70);
        QVERIFY(QDir().mkpath(folder + "/.hidden"));
        QVERIFY(QDir().mkpath(folder + "/sub"));
        for (const char *copy : {"/.hidden/trip.vnx", "/.trip.vnx", "/sub/UPPER.VNX", "/notes.txt"})
            QVERIFY(QFile::copy(folder + "/trip5.vnx", folder + copy));
        QFile broken(folder + "/broken.vnx");
        QVERIFY(broken.open(QIODevice::WriteOnly) && broken.write("not a trace") > 0);
        broken.close();
        HistoryIndex index(dir.filePath("index.sqlite"));
        std::vector<HistoryRow> rows;
        QString error;
        QVERIFY2(index.List({folder}, &rows, &error), qPrintable(error));
        QCOMPARE(rows.size(), std::size_t(71));
        for (const HistoryRow &row : rows) {
            const QString file = QString::fromStdString(row.File);
            QVERIFY2(!file.contains("/.") && file.startsWith(folder + "/"), qPrintable(file));
            TraceUnits trace;
            QVERIFY2(LoadTraceUnits(file, trace, false, &error, LanguageEnglish), qPrintable(error));
            const HistorySummary want = SummarizeTrace(trace);
            QCOMPARE(row.Summary.TripTime, want.TripTime);
            QCOMPARE(row.Summary.LikelyCause, want.LikelyCause);
            QCOMPARE(row.Summary.FirstFaultWord, want.FirstFaultWord);
            QCOMPARE(row.Summary.FirstFaultBit, want.FirstFaultBit);
            QCOMPARE(row.Summary.PeakCurrent, want.PeakCurrent);
        }
    }

    // The note belongs to the contents: a renamed and moved file keeps it, and a rewritten one
    // is read again.
    void renamedFileKeepsNote() {
        QTemporaryDir dir;
        const QString folder = dir.filePath("trips");
        WriteTrips(folder, 3);
        HistoryIndex index(dir.filePath("index.sqlite"));
        QString error;
        QVERIFY2(index.SetNote(folder + "/trip1.vnx", "motor cable", &error), qPrintable(error));
        QVERIFY(QDir().mkpath(folder + "/sub"));
        QVERIFY(QFile::rename(folder + "/trip1.vnx", folder + "/sub/renamed.vnx"));
        std::vector<HistoryRow> rows;
        QVERIFY2(index.List({folder}, &rows, &error), qPrintable(error));
        QCOMPARE(rows.size(), std::size_t(3));
        for (const HistoryRow &row : rows)
            QCOMPARE(row.Note, std::string(QByteArray(row.File.c_str()).endsWith("/sub/renamed.vnx")
                                               ? "motor cable"
                                               : ""));
        QVERIFY(!index.SetNote(dir.filePath("missing.vnx"), "x", &error));
    }

    // Two processes setting notes and listing one index at once: every note lands, and the
    // database stays whole.
    void twoProcessesShareTheIndex() {
        QTemporaryDir dir;
        const QString folder = dir.filePath("trips");
        const QString db = dir.filePath("index.sqlite");
        constexpr int Files = 40;
        WriteTrips(folder, Files);
        const int status = RunInChild(
            [&] {
                const pid_t other = ::fork();
                const int part = other == 0 ? 1 : 0;
                int failed = 0;
                {
                    HistoryIndex index(db);
                    std::vector<HistoryRow> rows;
                    QString error;
                    for (int i = part; i < Files; i += 2) {
                        const bool noted =
                            index.SetNote(folder + QStringLiteral("/trip%1.vnx").arg(i),
                                          QStringLiteral("note %1").arg(i), &error);
                        const bool listed = noted && index.List({folder}, &rows, &error);
                        if (!listed) {
                            ++failed;
                            std::fprintf(stderr, "process %d, file %d: %s\n", part, i,
                                         qPrintable(error));
                        }
                    }
                }
                if (other == 0)
                    ::_exit(failed == 0 ? 0 : 1);
                int childStatus = 0;
                ::waitpid(other, &childStatus, 0);
                return failed == 0 && WIFEXITED(childStatus) && WEXITSTATUS(childStatus) == 0
                           ? 0
                           : 1;
            },
            120000);
        QCOMPARE(status, 0);
        HistoryIndex index(db);
        std::vector<HistoryRow> rows;
        QString error;
        QVERIFY2(index.List({folder}, &rows, &error), qPrintable(error));
        QCOMPARE(rows.size(), std::size_t(Files));
        for (const HistoryRow &row : rows) {
            const QString name = QString::fromStdString(row.File).section('/', -1);
            QCOMPARE(QString::fromStdString(row.Note), "note " + name.mid(4).chopped(4));
        }
        QVERIFY(index.Notice().isEmpty());
        {
            QSqlDatabase check = QSqlDatabase::addDatabase("QSQLITE", "check");
            check.setDatabaseName(db);
            QVERIFY(check.open());
            QSqlQuery q(check);
            QVERIFY(q.exec("PRAGMA integrity_check") && q.next());
            QCOMPARE(q.value(0).toString(), QString("ok"));
        }
        QSqlDatabase::removeDatabase("check");
    }
};

QTEST_GUILESS_MAIN(tst_TraceHistory)
#include "tst_TraceHistory.moc"
