// The main frame's trace-file actions: File / Open and Save, the reference trace, the fault
// report, and trace files dropped on the frame.

#include "TForm1.h"

#include "Caption.h"
#include "Dialogs.h"
#include "FaultReportPdf.h"
#include "HistoryIndex.h"
#include "LastFolder.h"
#include "TraceFile.h"
#include "TraceFileIO.h"

#include <QAction>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>

namespace {

// File dialogs: captions, and the endings that decide what a file holds (compared exactly,
// case included).
constexpr Caption OpenDialogCaption = {"開く", "Open"};
constexpr Caption SaveDialogCaption = {"保存", "Save"};
constexpr Caption ReferenceDialogCaption = {"参照波形を開く", "Open Reference"};
constexpr Caption FileErrorTitle = {"ファイルエラー", "File Error"};
const QString RawEnding = QStringLiteral(".vnx");
const QString NormalizedEnding = QStringLiteral(".vnb");
const QString RawFilter = QStringLiteral("DataFile(*.vnx)");
const QString NormalizedFilter = QStringLiteral("DataFile(*.vnb)");
// Opening offers both kinds at once first, then each alone.
const QString OpenFilters = QStringLiteral("Trace files (*.vnx *.vnb);;") + RawFilter +
                            QStringLiteral(";;") + NormalizedFilter;

// The fault report.
constexpr Caption ReportDialogCaption = {"故障解析レポート", "Fault Report"};
constexpr Caption ReportFailedText = {"レポートを保存できませんでした: %1\n%2",
                                      "The report could not be saved to %1:\n%2"};
constexpr Caption ReportOpenQuestion = {"レポートを保存しました: %1\n開きますか?",
                                        "The report was saved to %1.\nOpen it now?"};
constexpr Caption ReportOpenFailedText = {"レポートを開けませんでした: %1",
                                          "The report could not be opened: %1"};
const QString ReportEnding = QStringLiteral(".pdf");
const QString ReportFilter = QStringLiteral("PDF(*.pdf)");

// The first local trace file among dropped URLs, by the ending rule that File, Open uses.
QString DroppedTraceFile(const QMimeData *data) {
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl &url : data->urls()) {
        const QString path = url.toLocalFile();
        if (!path.isEmpty() && TraceFileKindOfName(path.toStdString()) != TraceFileKind::Other)
            return path;
    }
    return {};
}

} // namespace

void TForm1::open01Click() {
    const QString path = Dialogs::Current().OpenFileName(this, Pick(OpenDialogCaption),
                                                         FileDialogFolder(), OpenFilters);
    if (path.isEmpty())
        return;
    OpenTraceFile(path);
}

bool TForm1::PutInTraceFile(const QString &path, bool normalized, const QString &source,
                            QString *error) {
    TTraceRecord loaded = Record;
    std::int32_t loadedDriveType = DriveTypeE;
    if (!LoadTraceFile(path, loaded, loadedDriveType, error, Language))
        return false;
    Document->ReplaceTrace(loaded, loadedDriveType, normalized, source);
    Document->SetTraceFile(path);
    return true;
}

bool TForm1::ReadTraceFile(const QString &path, QString *error) {
    return PutInTraceFile(path, IsNormalized != 0, Document->Source(), error);
}

bool TForm1::WriteTraceFile(const QString &path, QString *error) {
    return SaveTraceFile(path, Record, DriveTypeE, IsNormalized != 0, error, Language);
}

bool TForm1::OpenTraceFile(const QString &path) {
    // All or nothing: the record, the flags and the caption change only after a full read.
    // Endings of any case: a .VNB file holds engineering units as much as a .vnb file does.
    QString error;
    if (!PutInTraceFile(path, NormalizedByName(path.toStdString(), IsNormalized != 0),
                        QFileInfo(path).fileName(), &error)) {
        Dialogs::Current().Message(this, Pick(FileErrorTitle), error);
        return false;
    }
    ShowTraceName();
    RememberLastFolder(path);
    return true;
}

bool TForm1::OpenReferenceFile(const QString &path) {
    // The reference keeps its own units: its drive type's factors and the kind of its file. A
    // name of neither kind is taken as File, Open takes it: in the units of the record now.
    TraceUnits loaded;
    QString error;
    if (!LoadTraceUnits(path, loaded, IsNormalized != 0, &error, Language)) {
        Dialogs::Current().Message(this, Pick(FileErrorTitle), error);
        return false;
    }
    RememberLastFolder(path);
    Document->SetReference(std::move(loaded), QFileInfo(path).fileName());
    return true;
}

void TForm1::OpenReference1Click() {
    const QString path = Dialogs::Current().OpenFileName(this, Pick(ReferenceDialogCaption),
                                                         FileDialogFolder(), OpenFilters);
    if (path.isEmpty())
        return;
    OpenReferenceFile(path);
}

void TForm1::UseAsReference1Click() {
    Document->SetReference(Document->Units(), Document->Source());
}

void TForm1::ClearReference1Click() {
    Document->SetReference(std::nullopt);
}

void TForm1::saveS1Click() {
    // A record in engineering units is saved as such; written as raw values, the next load
    // would scale it a second time.
    const bool normalized = IsNormalized != 0;
    const QString &ending = normalized ? NormalizedEnding : RawEnding;
    QString path =
        Dialogs::Current().SaveFileName(this, Pick(SaveDialogCaption), FileDialogFolder(),
                                        normalized ? NormalizedFilter : RawFilter);
    if (path.isEmpty())
        return;
    if (!path.endsWith(ending, Qt::CaseSensitive))
        path += ending;
    QString reason;
    if (!WriteTraceFile(path, &reason)) {
        const auto text = TraceFileSaveFailedText(QDir::toNativeSeparators(path).toStdString(),
                                                  reason.toStdString(), Language);
        Dialogs::Current().Message(this, Pick(FileErrorTitle), QString::fromStdString(text));
        return;
    }
    Document->SetSource(QFileInfo(path).fileName());
    ShowTraceName();
    RememberLastFolder(path);
}

void TForm1::dragEnterEvent(QDragEnterEvent *event) {
    if (!DroppedTraceFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent *event) {
    const QString path = DroppedTraceFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // Opened once the drop is over: a message box must not block the source of the drag.
    QMetaObject::invokeMethod(
        this, [this, path] { OpenTraceFile(path); }, Qt::QueuedConnection);
}

FaultReportInput TForm1::ReportInput() const {
    FaultReportInput input;
    input.Trace = Document->Units();
    input.Japanese = Document->Japanese();
    input.Source = Document->Source().toStdString();
    input.Note = HistoryIndex().NoteOf(Document->TraceFile()).toStdString();
    // The charts as the graph window shows them, bottom one first.
    input.Channels = Document->ChartedChannels();
    // A report without charts explains nothing: with no channel ticked, or the graph window
    // closed, it charts the default ones.
    if (input.Channels.empty())
        input.Channels = DefaultReportChannels;
    return input;
}

bool TForm1::WriteReport(const QString &path, QString *error) {
    return WriteFaultReport(path, ReportInput(), error);
}

void TForm1::Report1Click() {
    QString path = Dialogs::Current().SaveFileName(this, Pick(ReportDialogCaption),
                                                   FileDialogFolder(), ReportFilter);
    if (path.isEmpty())
        return;
    if (!path.endsWith(ReportEnding, Qt::CaseInsensitive))
        path += ReportEnding;
    const QString shown = QDir::toNativeSeparators(path);
    QString reason;
    if (!WriteReport(path, &reason)) {
        Dialogs::Current().Message(this, Pick(FileErrorTitle),
                                   Pick(ReportFailedText).arg(shown, reason));
        return;
    }
    RememberLastFolder(path);
    if (!Dialogs::Current().Question(this, Pick(ReportDialogCaption),
                                     Pick(ReportOpenQuestion).arg(shown)))
        return;
    if (!Dialogs::Current().OpenDocument(path))
        Dialogs::Current().Message(this, Pick(ReportDialogCaption),
                                   Pick(ReportOpenFailedText).arg(shown));
}
