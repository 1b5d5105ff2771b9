// Taking data and pictures out of the windows: the data table as CSV in a locale with a decimal
// comma, the charts as PNG and PDF read back, and a save that cannot happen.

#include "FakeDialogs.h"
#include "FileFaults.h"
#include "PreviousTraceLabel.h"
#include "TForm1.h"
#include "TForm3.h"
#include "TForm4.h"
#include "TGraghForm.h"
#include "WindowState.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLocale>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString Run(const QString &program, const QStringList &arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QStringLiteral("<%1 failed>").arg(program);
    return QString::fromUtf8(process.readAllStandardOutput());
}

QPushButton *SaveImageButton(const QString &window) {
    if (window == "graph") {
        Form1->N1->trigger();
        GraghForm->CheckBox[1]->click();
        GraghForm->Button1->click();
        return GraghForm->SaveImageButton;
    }
    Form1->N2->trigger();
    return Form4->SaveImageButton;
}

ChartsArea Charts(const QString &window) {
    return window == "graph" ? GraghForm->ChartsPicture() : Form4->ChartsPicture();
}

} // namespace

class tst_WindowExports : public QObject {
    Q_OBJECT
private slots:
    void init() {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        frame = std::make_unique<TForm1>();
        frame->resize(1100, 800);
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
        ResetGlobals();
    }
    void cleanup() {
        frame.reset();
        QLocale::setDefault(QLocale::c());
    }

    void dataTableAsShown_data() {
        QTest::addColumn<bool>("original");
        QTest::addColumn<bool>("stale"); // another trace loaded since the table was drawn
        QTest::addColumn<QByteArray>("row");
        const QByteArray normalised("5,1.23,0.00,0.00,0.00,0.00,0.00,-0.50,0.00,"
                                    "0.00,0.00,0.00,0.00,0x00A5,0x0000,0x0000,0xBEEF");
        const QByteArray raw("5,12,0,0,0,0,0,-5,0,0,0,0,0,0x00A5,0x0000,0x0000,0xBEEF");
        QTest::newRow("normalised") << false << false << normalised;
        QTest::newRow("original") << true << false << raw;
        QTest::newRow("normalised, another trace loaded") << false << true << normalised;
        QTest::newRow("original, another trace loaded") << true << true << raw;
    }
    void dataTableAsShown() {
        QFETCH(bool, original);
        QFETCH(bool, stale);
        QFETCH(QByteArray, row);
        TTraceRecord &record = Form1->Record;
        record.Value[5][0] = 12.345f;
        record.Scale[0] = 0.1f;
        record.Value[5][6] = -5.0f;
        record.Scale[6] = 0.1f;
        record.Flag[5][0] = 0xA5;
        record.Flag[5][3] = 0xBEEF;
        Form1->N3->trigger();
        TForm3 *table = Form3;
        QVERIFY(table);
        QCOMPARE(table->ExportButton->accessibleName(), QStringLiteral("Export CSV..."));
        // The table itself shows the user's decimal comma.
        QCOMPARE(table->Cells(1, 6), QStringLiteral("1,23"));
        if (original)
            table->RadioButton2->click();
        if (stale) {
            TTraceRecord other;
            ResetRecord(other, 1);
            Form1->Document->ReplaceTrace(other, 1, true, QStringLiteral("other.vnb"));
            QVERIFY(table->PreviousTrace->isVisible());
        }

        FakeDialogs dialogs;
        QTemporaryDir dir;
        dialogs.saveAnswer = dir.filePath("table");
        table->ExportButton->click();
        QVERIFY(dialogs.messages.isEmpty());
        QFile file(dir.filePath("table.csv"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.size(), 102); // header, 100 samples, nothing after the last LF
        QCOMPARE(lines[0], QByteArray("sample,ch1,ch2,ch3,ch4,ch5,ch6,ch7,ch8,ch9,ch10,ch11,ch12,"
                                      "ch13,ch14,ch15,ch16"));
        QCOMPARE(lines[6], row);
        QCOMPARE(lines[101], QByteArray());
    }

    void chartsReadBack_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("ending");
        for (const char *window : {"graph", "bit graph"})
            for (const char *ending : {"png", "pdf"})
                QTest::addRow("%s %s", window, ending) << window << ending;
    }
    void chartsReadBack() {
        QFETCH(QString, window);
        QFETCH(QString, ending);
        Form1->Record.Value[10][0] = 500;
        Form1->Record.Header[0] = 30;
        Form1->Document->SetSource(QStringLiteral("trip.vnx"));
        Form1->Document->SetReference(Form1->Document->Units(), QStringLiteral("ref.vnx"));
        QPushButton *button = SaveImageButton(window);
        QVERIFY(button);
        QCOMPARE(button->accessibleName(), QStringLiteral("Save Image..."));
        QVERIFY(QTest::qWaitForWindowExposed(button->window()));
        const ChartsArea charts = Charts(window);
        QVERIFY(charts.Area.width() > 100 && charts.Area.height() > 100);

        FakeDialogs dialogs;
        QTemporaryDir dir;
        const QString path = dir.filePath("charts." + ending);
        dialogs.saveAnswer = path;
        button->click();
        QVERIFY(dialogs.messages.isEmpty());
        if (ending == "png") {
            // The charts as on screen, below a line that names the trace and, in grey, the
            // reference.
            const QImage image(path);
            const QImage shown = charts.Widget->grab(charts.Area).toImage();
            const int line = image.height() - shown.height();
            QVERIFY(line > 8);
            QCOMPARE(image.copy(0, line, shown.width(), shown.height()),
                     shown.convertToFormat(image.format()));
            bool grey = false;
            for (int y = 0; y < line; ++y)
                for (int x = 0; x < image.width(); ++x)
                    grey = grey || image.pixelColor(x, y) == QColor(128, 128, 128);
            QVERIFY(grey);
            return;
        }
        QVERIFY(Run("pdfinfo", {path}).contains(QRegularExpression("Pages: +1\n")));
        // Drawn as vectors: the chart title and the bit labels are text in the file.
        const QString text = Run("pdftotext", {path, "-"}).simplified();
        QVERIFY2(text.contains(window == "graph" ? "Curr.-U(%)" : "bit15"), qPrintable(text));
        QVERIFY2(text.contains("trip.vnx 0000/00/00 00:00 Reference: ref.vnx"), qPrintable(text));
    }

    // A graph that still shows the trace before names that one in its pictures, not the one
    // loaded since; after Redraw it names the new one.
    void staleChartsNameTheTraceShown() {
        Form1->Document->SetSource(QStringLiteral("trip.vnx"));
        SaveImageButton("graph");
        Form1->Document->ReplaceTrace(Form1->Record, 0, false, QStringLiteral("next.vnx"));
        QVERIFY2(Charts("graph").Caption.startsWith("trip.vnx"),
                 qPrintable(Charts("graph").Caption));
        GraghForm->Button1->click();
        QVERIFY(Charts("graph").Caption.startsWith("next.vnx"));
    }

    void copyPutsThePictureOnTheClipboard() {
        SaveImageButton("bit graph");
        QVERIFY(QTest::qWaitForWindowActive(Form1));
        const ChartsArea charts = Charts("bit graph");
        QGuiApplication::clipboard()->clear();
        Form4->SaveImageButton->setFocus();
        QTest::keyClick(Form4->SaveImageButton, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->image(), ChartsImage(charts));
    }

    void unsavableTargetIsLeftAlone_data() {
        QTest::addColumn<QString>("window");
        QTest::newRow("data table") << "table";
        QTest::newRow("graph") << "graph";
    }
    void unsavableTargetIsLeftAlone() {
        QFETCH(QString, window);
        QTemporaryDir dir;
        const QString fifo = dir.filePath("target.png");
        QVERIFY(MakeFifo(fifo));
        FakeDialogs dialogs;
        dialogs.saveAnswer = fifo;
        if (window == "table") {
            Form1->N3->trigger();
            dialogs.saveAnswer = dir.filePath("target.csv");
            QVERIFY(MakeFifo(dialogs.saveAnswer));
            Form3->ExportButton->click();
        } else {
            SaveImageButton(window)->click();
        }
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY2(dialogs.messages[0].contains(QFileInfo(dialogs.saveAnswer).fileName()),
                 qPrintable(dialogs.messages[0]));
        QCOMPARE(FileKindAt(dialogs.saveAnswer), QStringLiteral("fifo"));
        QCOMPARE(
            QDir(dir.path()).entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot).size(),
            window == "table" ? 2 : 1);
    }

private:
    std::unique_ptr<TForm1> frame;
};

QTEST_MAIN(tst_WindowExports)
#include "tst_WindowExports.moc"
