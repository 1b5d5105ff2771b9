// vandrel-monitor --help and --version answer on a machine without any display.

#include <QProcess>
#include <QRegularExpression>
#include <QTest>

namespace {

// "Git revision: " and the source's commit as git abbreviates it now: a build that kept an
// old revision, or none, does not pass.
QString RevisionLine() {
    QProcess git;
    git.start(QStringLiteral("git"), {"-C", VANDREL_SOURCE_DIR, "rev-parse", "--short", "HEAD"});
    if (!git.waitForFinished(30000) || git.exitStatus() != QProcess::NormalExit ||
        git.exitCode() != 0)
        return QStringLiteral("Git revision: unknown");
    const QString commit = QString::fromLatin1(git.readAllStandardOutput()).trimmed();
    return QStringLiteral("Git revision: ") + commit;
}

} // namespace

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
        // The product line alone on the first line, the revision on the second.
        const QStringList version = {"^Norvex Vandrel Monitor Version 2\\.30\n" +
                                     QRegularExpression::escape(RevisionLine()) + "(-dirty)?\n$"};
        QTest::newRow("--version") << QStringList{"--version"} << version;
        QTest::newRow("-v") << QStringList{"-v"} << version;
        QTest::newRow("--version with a file") << QStringList{"TRIP.VNX", "--version"} << version;
        // Answered by the widgets' application object, which alone knows -platform.
        QTest::newRow("--version with -platform")
            << QStringList{"-platform", "offscreen", "--version"} << version;
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
            QVERIFY2(text.startsWith(QLatin1Char('^'))
                         ? QRegularExpression(text).match(out).hasMatch()
                         : out.contains(text),
                     qPrintable(out));
        QVERIFY2(err.isEmpty(), qPrintable(err));
    }
};

QTEST_GUILESS_MAIN(tst_MonitorOptions)
#include "tst_MonitorOptions.moc"
