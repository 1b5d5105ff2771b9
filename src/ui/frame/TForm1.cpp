#include "TForm1.h"

#include "Caption.h"
#include "CheckedSave.h"
#include "ChildWindow.h"
#include "Dialogs.h"
#include "FaultReportPdf.h"
#include "Fonts.h"
#include "LastFolder.h"
#include "Platform.h"
#include "TAboutBox.h"
#include "TEventsForm.h"
#include "TForm3.h"
#include "TForm4.h"
#include "TForm5.h"
#include "TForm7.h"
#include "TForm8.h"
#include "TGraghForm.h"
#include "TimeViewState.h"
#include "TraceFile.h"
#include "TraceFileIO.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QIcon>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QStatusBar>
#include <QStyleOptionMenuItem>

TForm1 *Form1 = nullptr;
QString BaseTitle;

namespace {

// Menu captions.
constexpr Caption File1Caption = {"ファイル(&F)", "&File"};
constexpr Caption open01Caption = {"開く(&O)", "&Open"};
constexpr Caption saveS1Caption = {"保存(&S)", "&Save"};
constexpr Caption OpenReference1Caption = {"参照波形を開く...", "Open Reference..."};
constexpr Caption UseAsReference1Caption = {"現在の波形を参照にする", "Use Current as Reference"};
constexpr Caption ClearReference1Caption = {"参照波形をクリア", "Clear Reference"};
constexpr Caption Exit1Caption = {"終了(&X)", "End(&X)"};
constexpr Caption View1Caption = {"表示(&V)", "&View"};
constexpr Caption N1Caption = {"数字グラフ", "Graph Form"};
constexpr Caption N2Caption = {"ビットグラフ", "Bit-Data Form"};
constexpr Caption N3Caption = {"データ表", "Data Form"};
constexpr Caption Events1Caption = {"イベント", "Events"};
constexpr Caption Report1Caption = {"故障解析レポート...", "Fault Report..."};
constexpr Caption Comm1Caption = {"通信(&R)", "Communication(&R)"};
constexpr Caption N4Caption = {"通信設定", "Communication"};
constexpr Caption Help1Caption = {"ヘルプ(&H)", "&Help"};
constexpr Caption About1Caption = {"バージョン情報", "Version"};
constexpr Caption Flag1Caption = {"フラグ説明(&L)", "Flag(&L)"};

constexpr int CtrlL = 12;

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

QString FileCaption(const QString &path) {
    return BaseTitle + QStringLiteral("   ") + QFileInfo(path).fileName();
}

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

// A menu that draws a separator as a plain line, whatever caption the separator carries.
class LineSeparatorMenu : public QMenu {
public:
    using QMenu::QMenu;

protected:
    void initStyleOption(QStyleOptionMenuItem *option, const QAction *action) const override {
        QMenu::initStyleOption(option, action);
        if (action->isSeparator())
            option->text.clear();
    }
};

} // namespace

TForm1::TForm1(QWidget *parent) : QMainWindow(parent) {
    Form1 = this;
    TimeView1 = new TimeViewState(this);
    // The icons live in the ui library's resources; a static library must register them.
    Q_INIT_RESOURCE(resources);
    setObjectName(QStringLiteral("Form1"));
    setWindowIcon(QIcon(QStringLiteral(":/icon32.png")));
    resize(536, 312);
    // The frame fills the screen from its first show on, however it is shown.
    setWindowState(Qt::WindowMaximized);
    mdiArea = new QMdiArea(this);
    mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setCentralWidget(mdiArea);
    setAcceptDrops(true);
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    setStatusBar(StatusBar1);
    CreateMenu();
    // Ctrl+L switches the language whichever window or control has the focus, the channel
    // names window and the controls that take keys themselves included, once per press: a
    // key held down does not flip it back and forth.
    LanguageSwitch = new QAction(this);
    LanguageSwitch->setObjectName(QStringLiteral("LanguageSwitch"));
    LanguageSwitch->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    LanguageSwitch->setShortcutContext(Qt::ApplicationShortcut);
    LanguageSwitch->setAutoRepeat(false);
    addAction(LanguageSwitch);
    connect(LanguageSwitch, &QAction::triggered, this, [this] { FormKeyPress(CtrlL); });
    FormCreate();
    // Key preview: the frame sees every key typed in any of its windows first.
    qApp->installEventFilter(this);
}

TForm1::~TForm1() {
    qApp->removeEventFilter(this);
    if (Form1 == this)
        Form1 = nullptr;
}

void TForm1::CreateMenu() {
    auto *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    File1 = new LineSeparatorMenu(bar);
    bar->addMenu(File1);
    File1->setObjectName(QStringLiteral("File1"));
    open01 = File1->addAction(QString(), this, &TForm1::open01Click);
    saveS1 = File1->addAction(QString(), this, &TForm1::saveS1Click);
    OpenReference1 = File1->addAction(QString(), this, &TForm1::OpenReference1Click);
    UseAsReference1 = File1->addAction(QString(), this, &TForm1::UseAsReference1Click);
    ClearReference1 = File1->addAction(QString(), this, &TForm1::ClearReference1Click);
    ClearReference1->setEnabled(false);
    Report1 = File1->addAction(QString(), this, &TForm1::Report1Click);
    printeP1 = File1->addSeparator();
    Exit1 = File1->addAction(QString(), this, &TForm1::Exit1Click);
    View1 = bar->addMenu(QString());
    N1 = View1->addAction(QString(), this, &TForm1::N1Click);
    N2 = View1->addAction(QString(), this, &TForm1::N2Click);
    N3 = View1->addAction(QString(), this, &TForm1::N3Click);
    Events1 = View1->addAction(QString(), this, &TForm1::Events1Click);
    Comm1 = bar->addMenu(QString());
    N4 = Comm1->addAction(QString(), this, &TForm1::N4Click);
    Help1 = bar->addMenu(QString());
    About1 = Help1->addAction(QString(), this, &TForm1::About1Click);
    Flag1 = Help1->addAction(QString(), this, &TForm1::Flag1Click);

    const std::pair<QObject *, const char *> names[] = {{open01, "open01"},
                                                        {saveS1, "saveS1"},
                                                        {printeP1, "printeP1"},
                                                        {Exit1, "Exit1"},
                                                        {View1, "View1"},
                                                        {N1, "N1"},
                                                        {N2, "N2"},
                                                        {N3, "N3"},
                                                        {Comm1, "Comm1"},
                                                        {N4, "N4"},
                                                        {Help1, "Help1"},
                                                        {About1, "About1"},
                                                        {Flag1, "Flag1"},
                                                        {Report1, "Report1"},
                                                        {Events1, "Events1"},
                                                        {OpenReference1, "OpenReference1"},
                                                        {UseAsReference1, "UseAsReference1"},
                                                        {ClearReference1, "ClearReference1"}};
    for (const auto &[object, name] : names)
        object->setObjectName(QString::fromLatin1(name));
    printeP1->setText(QStringLiteral("-"));
}

void TForm1::FormCreate() {
    SettingsPath = SettingsFilePathFor(QDir::currentPath());
    Language = SystemDefaultLanguage();
    setFont(WindowFont(font()));
    // The menus open as windows of their own and would not take the frame's font by themselves;
    // the bar and its menus read alike.
    menuBar()->setFont(font());
    for (QMenu *menu : {File1, View1, Comm1, Help1})
        menu->setFont(font());
    BaseTitle =
        QStringLiteral("Norvex Vandrel Monitor Version ") + QString::number(ProgramVersion, 'f', 2);
    setWindowTitle(BaseTitle);
    ApplyLanguage();
    // The application-wide values start afresh first: the factors of channels 10-12 that
    // ResetRecord picks must be those of DriveTypeE 0, whatever an earlier frame left.
    ResetGlobals();
    ResetRecord();
}

void TForm1::ApplyLanguage() {
    File1->setTitle(Pick(File1Caption));
    open01->setText(Pick(open01Caption));
    saveS1->setText(Pick(saveS1Caption));
    OpenReference1->setText(Pick(OpenReference1Caption));
    UseAsReference1->setText(Pick(UseAsReference1Caption));
    ClearReference1->setText(Pick(ClearReference1Caption));
    Report1->setText(Pick(Report1Caption));
    Exit1->setText(Pick(Exit1Caption));
    View1->setTitle(Pick(View1Caption));
    N1->setText(Pick(N1Caption));
    N2->setText(Pick(N2Caption));
    N3->setText(Pick(N3Caption));
    Events1->setText(Pick(Events1Caption));
    Comm1->setTitle(Pick(Comm1Caption));
    N4->setText(Pick(N4Caption));
    Help1->setTitle(Pick(Help1Caption));
    About1->setText(Pick(About1Caption));
    Flag1->setText(Pick(Flag1Caption));
}

void TForm1::FormKeyPress(int key) {
    if (key == CtrlL) {
        --Language;
        if (Language < LanguageJapanese || Language > LanguageEnglish)
            Language = LanguageEnglish;
    }
    ApplyLanguage();
}

bool TForm1::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    // The program's windows: the frame with its children and the windows it owns.
    const QWidget *window = static_cast<QWidget *>(watched)->window();
    while (window && window != this)
        window = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    if (!window)
        return false;
    const auto *keyEvent = static_cast<QKeyEvent *>(event);
    const auto modifiers = keyEvent->modifiers() & ~Qt::KeypadModifier;
    if (keyEvent->key() == Qt::Key_L && modifiers == Qt::ControlModifier) {
        // Ctrl+L normally arrives through LanguageSwitch and never gets here. When it does (no
        // window of the program active yet, or a control claimed the key), it is taken here and
        // stops, so that it acts once and, as through the shortcut, goes no further.
        if (!keyEvent->isAutoRepeat())
            FormKeyPress(CtrlL);
        return true;
    }
    // Any other key only sets the menu captions again, which gives the same result however
    // often an unaccepted key climbs the parent chain.
    FormKeyPress(keyEvent->text().isEmpty() ? 0 : keyEvent->text().at(0).unicode());
    return false; // the key goes on unchanged
}

QMdiSubWindow *TForm1::OpenChild(QAction *item, QWidget *window) {
    window->setAttribute(Qt::WA_DeleteOnClose);
    QMdiSubWindow *frame = mdiArea->addSubWindow(window);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    if (item) {
        item->setEnabled(false);
        connect(window, &QObject::destroyed, item, [item] { item->setEnabled(true); });
    }
    // A window that frees itself takes its frame along; queued, because the frame may itself
    // be the one being destroyed right now. Then it is no longer a sub-window, only a plain
    // object on its way out, so it is neither converted nor called directly here: a queued
    // call by name is dropped if the frame is gone by the time it would run.
    connect(window, &QObject::destroyed, this, [frame = QPointer<QObject>(frame)] {
        if (frame)
            QMetaObject::invokeMethod(frame.get(), "close", Qt::QueuedConnection);
    });
    window->show();
    frame->show();
    return frame;
}

void TForm1::open01Click() {
    const QString path = Dialogs::Current().OpenFileName(
        this, Pick(OpenDialogCaption), FileDialogFolder(), RawFilter + ";;" + NormalizedFilter);
    if (path.isEmpty())
        return;
    OpenTraceFile(path);
}

bool TForm1::ReadTraceFile(const QString &path, QString *error) {
    TTraceRecord loaded = Record;
    std::int32_t loadedDriveType = DriveTypeE;
    if (!LoadTraceFile(path, loaded, loadedDriveType, error, Language))
        return false;
    Record = loaded;
    DriveTypeE = loadedDriveType;
    TimeView1->TraceReplaced();
    // Channels 10-12 mean what the loaded drive type says; their factors must match at once.
    ApplyTypeScales();
    return true;
}

bool TForm1::WriteTraceFile(const QString &path, QString *error) {
    return SaveTraceFile(path, Record, DriveTypeE, IsNormalized != 0, error, Language);
}

bool TForm1::OpenTraceFile(const QString &path) {
    // All or nothing: the record, the flags and the caption change only after a full read.
    QString error;
    if (!ReadTraceFile(path, &error)) {
        Dialogs::Current().Message(this, Pick(FileErrorTitle), error);
        return false;
    }
    // Endings of any case: a .VNB file holds engineering units as much as a .vnb file does.
    IsNormalized = NormalizedByName(path.toStdString(), IsNormalized != 0) ? 1 : 0;
    setWindowTitle(FileCaption(path));
    RecordSource = QFileInfo(path).fileName();
    RememberLastFolder(path);
    return true;
}

TraceUnits TForm1::CurrentUnits() const {
    return TraceUnits{Record, DriveTypeE, IsNormalized != 0};
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
    SetReference(std::move(loaded));
    return true;
}

void TForm1::SetReference(std::optional<TraceUnits> reference) {
    Reference = std::move(reference);
    ClearReference1->setEnabled(Reference.has_value());
    emit ReferenceChanged();
}

void TForm1::SetReferenceAlignment(Alignment alignment) {
    if (alignment == ReferenceAlignment)
        return;
    ReferenceAlignment = alignment;
    emit ReferenceChanged();
}

void TForm1::OpenReference1Click() {
    const QString path =
        Dialogs::Current().OpenFileName(this, Pick(ReferenceDialogCaption), FileDialogFolder(),
                                        RawFilter + ";;" + NormalizedFilter);
    if (path.isEmpty())
        return;
    OpenReferenceFile(path);
}

void TForm1::UseAsReference1Click() {
    SetReference(CurrentUnits());
}

void TForm1::ClearReference1Click() {
    SetReference(std::nullopt);
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
    setWindowTitle(FileCaption(path));
    RecordSource = QFileInfo(path).fileName();
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

void TForm1::Exit1Click() {
    close();
}

void TForm1::N1Click() {
    OpenChild(N1, new TGraghForm);
}

void TForm1::N2Click() {
    OpenChild(N2, new TForm4);
}

void TForm1::N3Click() {
    OpenChild(N3, new TForm3);
}

void TForm1::Events1Click() {
    OpenChild(Events1, new TEventsForm);
}

FaultReportInput TForm1::ReportInput() const {
    FaultReportInput input;
    input.Trace = CurrentUnits();
    input.Japanese = IsJapanese();
    input.Source = RecordSource.toStdString();
    input.Channels = DefaultReportChannels;
    if (GraghForm) {
        // The charts as the graph window shows them, bottom one first.
        input.Channels.clear();
        for (int p = 1; p <= GraghForm->SelectedCount && p <= MaxShownChannels; ++p)
            input.Channels.push_back(GraghForm->ChannelOfChart[p]);
    }
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

void TForm1::N4Click() {
    OpenChild(N4, new TForm5);
}

void TForm1::Flag1Click() {
    Flag1->setEnabled(false);
    QWidget *window =
        IsJapanese() ? static_cast<QWidget *>(new TForm7) : static_cast<QWidget *>(new TForm8);
    OpenChild(Flag1, window);
}

void TForm1::About1Click() {
    TAboutBox box(this);
    Dialogs::Current().Exec(box);
}

void TForm1::closeEvent(QCloseEvent *event) {
    FormClose();
    QMainWindow::closeEvent(event);
}

void TForm1::FormClose() {
    // One byte, the language character; a file that cannot be written is skipped silently,
    // and the checked writer leaves a good one as it was.
    const char byte = static_cast<char>(Language & 0xFF);
    SaveFileChecked(SettingsPath, QByteArray(&byte, 1), nullptr, Language);
}
