#include "TForm1.h"

#include "Caption.h"
#include "CheckedSave.h"
#include "Dialogs.h"
#include "ChildWindows.h"
#include "Fonts.h"
#include "Platform.h"
#include "TAboutBox.h"
#include "TEventsForm.h"
#include "THistoryForm.h"
#include "TForm3.h"
#include "TForm4.h"
#include "TForm5.h"
#include "TForm7.h"
#include "TForm8.h"
#include "TGraghForm.h"
#include "ViewChoices.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QIcon>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QSignalBlocker>
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
// Every item can be reached from the keyboard: an item without an access key of its own gets
// one, in Japanese as a letter in brackets after the text.
constexpr Caption OpenReference1Caption = {"参照波形を開く(&R)...", "Open &Reference..."};
constexpr Caption UseAsReference1Caption = {"現在の波形を参照にする(&U)",
                                            "&Use Current as Reference"};
constexpr Caption ClearReference1Caption = {"参照波形をクリア(&C)", "&Clear Reference"};
constexpr Caption Exit1Caption = {"終了(&X)", "End(&X)"};
constexpr Caption View1Caption = {"表示(&V)", "&View"};
constexpr Caption N1Caption = {"数字グラフ(&G)", "&Graph Form"};
constexpr Caption N2Caption = {"ビットグラフ(&B)", "&Bit-Data Form"};
constexpr Caption N3Caption = {"データ表(&D)", "&Data Form"};
constexpr Caption Events1Caption = {"イベント(&E)", "&Events"};
constexpr Caption History1Caption = {"トレース履歴(&T)", "&Trace History"};
constexpr Caption FollowNewTraces1Caption = {"新しいトレースに追従(&F)", "&Follow New Traces"};
constexpr Caption ShowEventsAfterRead1Caption = {"読取り後にイベントを表示(&S)",
                                                 "&Show Events After a Read"};
constexpr Caption Report1Caption = {"故障解析レポート(&P)...", "Fault Re&port..."};
constexpr Caption Comm1Caption = {"通信(&R)", "Communication(&R)"};
constexpr Caption N4Caption = {"通信設定(&C)", "&Communication"};
constexpr Caption Window1Caption = {"ウィンドウ(&W)", "&Window"};
constexpr Caption Cascade1Caption = {"重ねて表示(&C)", "&Cascade"};
constexpr Caption Tile1Caption = {"並べて表示(&T)", "&Tile"};
constexpr Caption Help1Caption = {"ヘルプ(&H)", "&Help"};
constexpr Caption About1Caption = {"バージョン情報(&A)", "&Version"};
constexpr Caption Flag1Caption = {"フラグ説明(&L)", "Flag(&L)"};

constexpr int CtrlL = 12;

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

TForm1::TForm1(QWidget *parent)
    : QMainWindow(parent), Document(new TraceDocument(this)), Record(Document->Record) {
    Form1 = this;
    // The icons live in the ui library's resources; a static library must register them.
    Q_INIT_RESOURCE(resources);
    setObjectName(QStringLiteral("Form1"));
    setWindowIcon(QIcon(QStringLiteral(":/icon32.png")));
    resize(536, 312);
    // The frame fills the screen from its first show on, however it is shown.
    setWindowState(Qt::WindowMaximized);
    mdiArea = new QMdiArea(this);
    // A child window that reaches past the edge of the client area (the graph window on a
    // small screen) can still be scrolled into reach.
    mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdiArea);
    SetMainClientArea(mdiArea);
    UsePrinterSetup(&PrinterSetupDialog1);
    setAcceptDrops(true);
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    setStatusBar(StatusBar1);
    CreateMenu();
    connect(Document, &TraceDocument::ReferenceChanged, this,
            [this] { ClearReference1->setEnabled(Document->Reference().has_value()); });
    connect(Document, &TraceDocument::TraceRead, this, &TForm1::TraceRead);
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
    // The windows go before the document they show.
    qDeleteAll(findChildren<QWidget *>(Qt::FindDirectChildrenOnly));
    SetMainClientArea(nullptr);
    UsePrinterSetup(nullptr);
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
    History1 = View1->addAction(QString(), this, &TForm1::History1Click);
    View1->addSeparator();
    FollowNewTraces1 = View1->addAction(QString());
    FollowNewTraces1->setCheckable(true);
    connect(FollowNewTraces1, &QAction::toggled, this, [this](bool on) {
        Document->SetFollowNewTraces(on);
        StoreFollowNewTracesChoice(on);
    });
    ShowEventsAfterRead1 = View1->addAction(QString());
    ShowEventsAfterRead1->setCheckable(true);
    connect(ShowEventsAfterRead1, &QAction::toggled, this,
            [](bool on) { StoreShowEventsAfterReadChoice(on); });
    Comm1 = bar->addMenu(QString());
    N4 = Comm1->addAction(QString(), this, &TForm1::N4Click);
    Window1 = bar->addMenu(QString());
    Cascade1 = Window1->addAction(QString(), mdiArea, &QMdiArea::cascadeSubWindows);
    Tile1 = Window1->addAction(QString(), mdiArea, &QMdiArea::tileSubWindows);
    Window1->addSeparator();
    // The list follows the windows as they open, close and take turns in front.
    connect(mdiArea, &QMdiArea::subWindowActivated, this, &TForm1::UpdateWindowMenu);
    connect(Window1, &QMenu::aboutToShow, this, &TForm1::UpdateWindowMenu);
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
                                                        {History1, "History1"},
                                                        {FollowNewTraces1, "FollowNewTraces1"},
                                                        {ShowEventsAfterRead1,
                                                         "ShowEventsAfterRead1"},
                                                        {OpenReference1, "OpenReference1"},
                                                        {UseAsReference1, "UseAsReference1"},
                                                        {ClearReference1, "ClearReference1"},
                                                        {Window1, "Window1"},
                                                        {Cascade1, "Cascade1"},
                                                        {Tile1, "Tile1"}};
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
    for (QMenu *menu : {File1, View1, Comm1, Window1, Help1})
        menu->setFont(font());
    BaseTitle =
        QStringLiteral("Norvex Vandrel Monitor Version ") + QString::number(ProgramVersion, 'f', 2);
    setWindowTitle(BaseTitle);
    ApplyLanguage();
    // The application-wide values start afresh first: the factors of channels 10-12 that
    // ResetRecord picks must be those of DriveTypeE 0, whatever an earlier frame left.
    ResetGlobals();
    ResetRecord();
    {
        // Taken from the settings, not stored back.
        const QSignalBlocker followBlocker(FollowNewTraces1);
        const QSignalBlocker eventsBlocker(ShowEventsAfterRead1);
        FollowNewTraces1->setChecked(FollowNewTracesChoice());
        ShowEventsAfterRead1->setChecked(ShowEventsAfterReadChoice());
    }
    Document->SetFollowNewTraces(FollowNewTraces1->isChecked());
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
    History1->setText(Pick(History1Caption));
    FollowNewTraces1->setText(Pick(FollowNewTraces1Caption));
    ShowEventsAfterRead1->setText(Pick(ShowEventsAfterRead1Caption));
    Comm1->setTitle(Pick(Comm1Caption));
    N4->setText(Pick(N4Caption));
    Window1->setTitle(Pick(Window1Caption));
    Cascade1->setText(Pick(Cascade1Caption));
    Tile1->setText(Pick(Tile1Caption));
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
    QMdiSubWindow *frame = OpenChildWindow(mdiArea, item, window);
    // A closed window leaves the list once its frame is gone.
    connect(frame, &QObject::destroyed, this, &TForm1::UpdateWindowMenu, Qt::QueuedConnection);
    UpdateWindowMenu();
    return frame;
}

QList<QAction *> TForm1::WindowItems() const {
    QList<QAction *> items = Window1->actions();
    // Cascade, Tile and the line below them.
    return items.mid(3);
}

void TForm1::UpdateWindowMenu() {
    for (QAction *item : WindowItems()) {
        Window1->removeAction(item);
        item->deleteLater();
    }
    const QList<QMdiSubWindow *> frames = mdiArea->subWindowList(QMdiArea::CreationOrder);
    int number = 0;
    for (QMdiSubWindow *frame : frames) {
        // A frame whose window is already gone is on its way out.
        if (!frame->widget())
            continue;
        ++number;
        // Numbered for the keyboard; a window past the ninth takes its place by the arrows.
        const QString prefix =
            number <= 9 ? QStringLiteral("&%1 ").arg(number) : QStringLiteral("%1 ").arg(number);
        QString title = frame->windowTitle();
        title.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction *item = Window1->addAction(prefix + title);
        item->setCheckable(true);
        item->setChecked(frame == mdiArea->activeSubWindow());
        QPointer<QMdiSubWindow> target(frame);
        connect(item, &QAction::triggered, this, [this, target] {
            if (target)
                BringForward(target);
        });
    }
}

void TForm1::Exit1Click() {
    close();
}

void TForm1::N1Click() {
    OpenChild(N1, new TGraghForm(*Document));
}

void TForm1::N2Click() {
    OpenChild(N2, new TForm4(*Document));
}

void TForm1::N3Click() {
    OpenChild(N3, new TForm3(*Document));
}

void TForm1::Events1Click() {
    OpenChild(Events1, new TEventsForm(*Document));
}

void TForm1::History1Click() {
    auto *history = new THistoryForm(*Document);
    connect(history, &THistoryForm::OpenRequested, this, &TForm1::OpenTraceFile);
    connect(history, &THistoryForm::ReferenceRequested, this, &TForm1::OpenReferenceFile);
    OpenChild(History1, history);
}

void TForm1::BringForward(QMdiSubWindow *frame) {
    if (frame->isMinimized())
        frame->showNormal();
    mdiArea->setActiveSubWindow(frame);
    frame->raise();
}

void TForm1::ShowTraceName() {
    setWindowTitle(BaseTitle + QStringLiteral("   ") + Document->Name());
}

void TForm1::TraceRead() {
    ShowTraceName();
    if (!ShowEventsAfterRead1->isChecked())
        return;
    if (!EventsForm) {
        Events1Click();
        return;
    }
    // Already open: it lists the new trace; it comes to the front.
    if (QMdiSubWindow *frame = ChildFrameOf(EventsForm))
        BringForward(frame);
}

void TForm1::N4Click() {
    OpenChild(N4, new TForm5(*Document));
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
