// The fault report written as the command-line tool writes it: no application object, no
// display.

#include "FaultReportPdf.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class tst_ReportWithoutWindows : public QObject {
    Q_OBJECT
private slots:
    void reportOfATraceFileWithoutAnApplication() {
        QVERIFY(!QCoreApplication::instance());
        // Even a platform that cannot start here does not stop the report.
        qputenv("QT_QPA_PLATFORM", "xcb");
        qunsetenv("DISPLAY");
        QTemporaryDir dir;
        const QString out = dir.filePath("report.pdf");
        QString error;
        QVERIFY2(WriteFaultReportOfFile(QStringLiteral(VANDREL_TEST_DATA "/typeE.vnx"), out, true,
                                        &error),
                 qPrintable(error));
        QVERIFY(!QCoreApplication::instance());
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {out, QStringLiteral("-")});
        QVERIFY(text.waitForFinished(60000));
        const QString shown = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(shown.contains(QStringLiteral("故障解析レポート")), qPrintable(shown));
        QVERIFY(shown.contains(QStringLiteral("typeE.vnx")));
    }
};

QTEST_APPLESS_MAIN(tst_ReportWithoutWindows)
#include "tst_ReportWithoutWindows.moc"
