// vandrel-monitor --help and --version answer on a machine without any display.

#include <QProcess>
#include <QTest>

class tst_MonitorOptions : public QObject {
    Q_OBJECT
private slots:
    void answersWithoutADisplay_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("expected");
        const QStringList help = {"Usage: ",       "[options] FILE",       "-h, --help",
                                  "-v, --version", "--attach <COMn=PATH>", "FILE"};
        QTest::newRow("--help") << QStringList{"--help"} << help;
        QTest::newRow("-h") << QStringList{"-h"} << help;
        QTest::newRow("--version")
            << QStringList{"--version"} << QStringList{"Vandrel Monitor 2.30\n"};
        QTest::newRow("-v") << QStringList{"-v"} << QStringList{"Vandrel Monitor 2.30\n"};
        QTest::newRow("--help after a file")
            << QStringList{"run1.vnx", "--help"} << QStringList{"Usage: "};
    }
    void answersWithoutADisplay() {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, expected);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            environment.remove(QString::fromLatin1(name));
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(VANDREL_BIN_DIR "/vandrel-monitor"), arguments);
        QVERIFY(process.waitForFinished(30000));
        const QString out = QString::fromLocal8Bit(process.readAllStandardOutput());
        const QString err = QString::fromLocal8Bit(process.readAllStandardError());
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QVERIFY2(process.exitCode() == 0, qPrintable(err));
        for (const QString &text : expected)
            QVERIFY2(out.contains(text), qPrintable(out));
        QVERIFY2(err.isEmpty(), qPrintable(err));
    }
};

QTEST_GUILESS_MAIN(tst_MonitorOptions)
#include "tst_MonitorOptions.moc"
