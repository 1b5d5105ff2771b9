// The fault report (File, Fault Report...) read back as text, and the events window.

#include "ChannelChart.h"
#include "FakeDialogs.h"
#include "FaultReportPdf.h"
#include "FileFaults.h"
#include "TEventsForm.h"
#include "TForm1.h"
#include "TGraghForm.h"
#include "TimeViewState.h"
#include "WindowState.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

namespace {

// Trigger at sample 70; over current rises at 67 (T-3), before a second-word fault at 80;
// the status word is set from the start and the command word toggles, so that there are more
// events than the report lists.
TTraceRecord TrippedRecord() {
    TTraceRecord record;
    ResetRecord(record);
    record.Header[0] = 30;
    const std::int32_t stamps[] = {9, 8, 5, 7, 3, 12, 11, 30, 23, 59};
    for (int j = 0; j < 10; ++j)
        record.Header[j + 1] = stamps[j];
    for (int i = 0; i < SampleCount; ++i) {
        record.Value[i][0] = float(i * 10);
        // The DC voltage steps up at sample 60 (T-10), before the fault.
        record.Value[i][3] = i >= 60 ? 700.0f : 600.0f;
        record.Flag[i][0] = i >= 67 ? 0x0001 : 0;
        record.Flag[i][1] = i >= 80 ? 0x0010 : 0;
        record.Flag[i][2] = 0x0002;
        record.Flag[i][3] = i >= 10 && i < 50 && i % 2 == 0 ? 0x0001 : 0;
    }
    return record;
}

// Runs a poppler tool and returns what it wrote; fails the test when it did not run.
QString Poppler(const QString &tool, const QStringList &arguments) {
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return QStringLiteral("<%1 failed: %2>")
            .arg(tool, QString::fromLocal8Bit(process.readAllStandardError()));
    return QString::fromUtf8(process.readAllStandardOutput());
}

// pdftotext's text with every run of white space made one space.
QString PdfText(const QString &path) {
    return Poppler(QStringLiteral("pdftotext"), {path, QStringLiteral("-")}).simplified();
}

} // namespace

class tst_FaultReport : public QObject {
    Q_OBJECT
private slots:
    void init() {
        QVERIFY(dir.isValid());
        ResetGlobals();
        Language = LanguageEnglish;
    }

    void reportIsOnePageOfText_data() {
        QTest::addColumn<bool>("japanese");
        QTest::addColumn<QStringList>("expected");
        const QStringList stamps = {QStringLiteral("SETNVOP: 2009/08/05 07:03"),
                                    QStringLiteral("2012/11/30 23:59"), QStringLiteral("70")};
        QTest::newRow("en") << false
                            << (QStringList{"Fault Report", "Source: run7.vnx",
                                            "First fault: sample 67 (T-3) word 0 bit 0 BIT0 "
                                            ":Over Current",
                                            "PLC: 2012/11/30 23:59", "more events",
                                            "Diagnosis Likely cause:", "Moved first", "|I|(%)"} +
                                stamps);
        QTest::newRow("ja") << true
                            << (QStringList{"故障解析レポート", "データ元: run7.vnx",
                                            "最初の故障: サンプル 67 (T-3) ワード 0 ビット 0 "
                                            "BIT0 :Over Current",
                                            "上位CPU: 2012/11/30 23:59", "件のイベント",
                                            "診断 推定原因:", "最初に動いた信号",
                                            "電流ベクトル(%)"} +
                                stamps);
    }
    void reportIsOnePageOfText() {
        QFETCH(bool, japanese);
        QFETCH(QStringList, expected);
        FaultReportInput input;
        input.Trace.Record = TrippedRecord();
        input.Japanese = japanese;
        input.Source = "run7.vnx";
        input.Channels.push_back(CurrentVectorChoice);
        const QString path = dir.filePath(japanese ? "ja.pdf" : "en.pdf");
        QString error;
        QVERIFY2(WriteFaultReport(path, input, &error), qPrintable(error));
        QVERIFY(Poppler(QStringLiteral("pdfinfo"), {path})
                    .contains(QRegularExpression(QStringLiteral("^Pages:\\s+1$"),
                                                 QRegularExpression::MultilineOption)));
        const QString text = PdfText(path);
        for (const QString &part : expected)
            QVERIFY2(text.contains(part), qPrintable(part + QStringLiteral(" not in: ") + text));
    }

    void reportOfATraceFile() {
        const QString out = dir.filePath("typeE.pdf");
        QString error;
        QVERIFY2(WriteFaultReportOfFile(QStringLiteral(VANDREL_TEST_DATA "/typeE.vnx"), out, false,
                                        &error),
                 qPrintable(error));
        const QString text = PdfText(out);
        QVERIFY2(text.contains(QStringLiteral("Source: typeE.vnx Drive type: E")),
                 qPrintable(text));

        // A trace that cannot be read gives its reason and no report.
        const QString none = dir.filePath("none.pdf");
        QVERIFY(!WriteFaultReportOfFile(dir.filePath("missing.vnx"), none, true, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!QFile::exists(none));
    }

    void reportThroughTheMenu() {
        FakeDialogs dialogs;
        TForm1 form;
        Language = LanguageEnglish;
        form.Record = TrippedRecord();
        form.Document->SetSource(QStringLiteral("COM3 Old"));

        // A FIFO is refused: a message, and the FIFO is all the folder holds.
        QTemporaryDir folder;
        const QString fifo = folder.filePath("report.pdf");
        QVERIFY(MakeFifo(fifo));
        dialogs.saveAnswer = fifo;
        form.Report1->trigger();
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY2(dialogs.messages[0].contains(QStringLiteral("could not be saved")),
                 qPrintable(dialogs.messages[0]));
        QCOMPARE(FileKindAt(fifo), QStringLiteral("fifo"));
        QCOMPARE(
            QDir(folder.path())
                .entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System | QDir::Hidden),
            QStringList{"report.pdf"});
        QVERIFY(dialogs.questions.isEmpty());

        // Saved: the ending is added, the user is offered to open it, and it opens on Yes.
        dialogs.saveAnswer = folder.filePath("trip");
        dialogs.questionAnswer = true;
        form.Report1->trigger();
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.filters.last(), QStringLiteral("PDF(*.pdf)"));
        QCOMPARE(dialogs.questions.size(), 1);
        QCOMPARE(dialogs.openedDocuments, QStringList{folder.filePath("trip.pdf")});
        const QString text = PdfText(folder.filePath("trip.pdf"));
        QVERIFY2(text.contains(QStringLiteral("Source: COM3 Old")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("First fault: sample 67 (T-3)")));
    }

    void eventsWindowListsAndPlacesCursorA() {
        FakeDialogs dialogs;
        TForm1 form;
        Language = LanguageJapanese;
        form.Record = TrippedRecord();
        form.Events1->trigger();
        QVERIFY(EventsForm);
        QVERIFY(!form.Events1->isEnabled());
        TEventsForm *window = EventsForm;
        QCOMPARE(window->windowTitle(), QStringLiteral("イベント"));
        QCOMPARE(
            window->FirstFaultLabel->text(),
            QStringLiteral("最初の故障: サンプル 67 (T-3) ワード 0 ビット 0 BIT0 :Over Current"));
        QAccessibleInterface *label =
            QAccessible::queryAccessibleInterface(window->FirstFaultLabel);
        QVERIFY(label);
        QCOMPARE(label->text(QAccessible::Description), window->FirstFaultLabel->text());
        const int row = window->FirstFaultRow();
        QVERIFY(row > 0); // the command word's earlier changes come first
        // Shown, the window has the first fault's row wholly in view, and the meaning takes
        // the rest of the table's width.
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QTRY_VERIFY(window->EventGrid->viewport()->rect().contains(
            window->EventGrid->visualItemRect(window->EventGrid->item(row, 5))));
        QCOMPARE(window->EventGrid->horizontalHeader()->length(),
                 window->EventGrid->viewport()->width());
        QStringList cells;
        for (int col = 0; col < window->EventGrid->columnCount(); ++col)
            cells << window->EventGrid->item(row, col)->text();
        QCOMPARE(cells, (QStringList{"67", "T-3", "0", "0", "立上り", "BIT0 :Over Current"}));
        QCOMPARE(window->EventGrid->currentRow(), row);
        // The status word's bit set from sample 0 stands apart; the table starts with a change.
        QCOMPARE(window->EventGrid->item(0, 4)->text(), QStringLiteral("立上り"));
        QCOMPARE(window->StartList->count(), 1);
        QCOMPARE(window->StartList->item(0)->text(), QStringLiteral("ワード 2 ビット 1  BIT1 :運転中"));

        // A click without a chart open leaves cursor A alone; with the graph open it moves it.
        Form1->Document->TimeView().ClearCursors();
        const int last = window->EventGrid->rowCount() - 1;
        auto click = [&](int r) {
            window->EventGrid->scrollToItem(window->EventGrid->item(r, 1));
            const QRect shown = window->EventGrid->visualItemRect(window->EventGrid->item(r, 1));
            QTest::mouseClick(window->EventGrid->viewport(), Qt::LeftButton, {}, shown.center());
        };
        click(last);
        QVERIFY(!Form1->Document->TimeView().View().A);
        QCOMPARE(form.ReportInput().Channels, (std::vector<int>{1, 2, 3, 4, 6}));
        form.N1->trigger();
        QVERIFY(GraghForm);
        click(last);
        QCOMPARE(Form1->Document->TimeView().View().A, std::optional<int>(80));
        click(row);
        QCOMPARE(Form1->Document->TimeView().View().A, std::optional<int>(67));

        // The diagnosis above the events, whole to a screen reader; a click on a signal's line
        // places cursor A at its onset.
        QAccessibleInterface *diagnosis =
            QAccessible::queryAccessibleInterface(window->DiagnosisText);
        QCOMPARE(diagnosis->text(QAccessible::Name), QStringLiteral("Diagnosis"));
        QAccessibleTextInterface *read = diagnosis->textInterface();
        const QStringList lines = read->text(0, read->characterCount()).split('\n');
        QVERIFY2(lines[0].startsWith(QStringLiteral("推定原因: ")), qPrintable(lines.join('\n')));
        // Earliest first: the ramp of phase U from sample 10, then the DC voltage's step.
        const int movedFirst = int(lines.indexOf(QStringLiteral("最初に動いた信号:")));
        QVERIFY(movedFirst > 0 && movedFirst + 2 < lines.size());
        QCOMPARE(lines[movedFirst + 1], QStringLiteral("  電流ベクトル(%): サンプル10 (T-60)"));
        QVERIFY2(lines[movedFirst + 2].endsWith(QStringLiteral(": サンプル60 (T-10)")),
                 qPrintable(lines[movedFirst + 2]));
        const QTextBlock onset =
            window->DiagnosisText->document()->findBlockByNumber(movedFirst + 2);
        window->DiagnosisText->setTextCursor(QTextCursor(onset));
        window->DiagnosisText->ensureCursorVisible();
        const QPoint at = window->DiagnosisText->cursorRect().center() + QPoint(4, 0);
        QTest::mouseClick(window->DiagnosisText->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(Form1->Document->TimeView().View().A, std::optional<int>(60));

        // The report charts what the graph window shows, its default channels while it shows
        // none, the computed charts too; they show what they compute, and with A and B set the
        // readout gives their statistics.
        QCOMPARE(form.ReportInput().Channels, DefaultReportChannels);
        GraghForm->CheckBox3->click();
        GraghForm->CheckBox7->click();
        GraghForm->PhaseSumBox->click();
        QCOMPARE(form.ReportInput().Channels, (std::vector<int>{3, 7, PhaseSumChoice}));
        QCOMPARE(GraghForm->PhaseSumBox->accessibleName(), QStringLiteral("相電流和(%)"));
        QCOMPARE(GraghForm->Chart[3]->Title(), QStringLiteral("相電流和(%)"));
        // Phase U alone carries current here: the sum is its 640 / 50 %.
        QCOMPARE(float(GraghForm->Chart[3]->Series()->at(64).y()), 12.8f);
        Form1->Document->TimeView().PlaceB(64);
        QVERIFY2(
            GraghForm->CursorReadout->toPlainText().contains(
                "\nA..B 5 samples\n相電流和(%): min 12.00  max 12.80  mean 12.40  rms 12.40\n"),
            qPrintable(GraghForm->CursorReadout->toPlainText()));

        // Another trace: its events replace the shown ones.
        TTraceRecord fresh;
        ResetRecord(fresh);
        form.Document->ReplaceTrace(fresh, 0, false, QString());
        QCOMPARE(window->EventGrid->rowCount(), 0);
        QCOMPARE(window->FirstFaultLabel->text(), QStringLiteral("最初の故障: なし"));
        QCOMPARE(window->HintList->count(), 1);
        QCOMPARE(window->HintList->item(0)->text(), QStringLiteral("ヒントなし"));

        window->CloseButton->click();
        QTRY_VERIFY(!EventsForm);
        QVERIFY(form.Events1->isEnabled());
    }

private:
    QTemporaryDir dir;
};

QTEST_MAIN(tst_FaultReport)
#include "tst_FaultReport.moc"
