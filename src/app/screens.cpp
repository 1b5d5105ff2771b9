// Pictures of every window in both languages, for the documentation and for looking at the
// windows as a user sees them: vandrel-screens OUTDIR DEVICE, where DEVICE is the simulated
// drive's pseudo-terminal. The traces are read from it as a user reads them, through the
// communication window: the old trace's over-voltage trip, then the new trace's over-current
// trip, which the other pictures show. Run it on a real display (a virtual X server will do);
// scripts/screenshots.sh does that.

#include "ChildWindows.h"
#include "Dialogs.h"
#include "MonitorApplication.h"
#include "PortNames.h"
#include "TEventsForm.h"
#include "TForm1.h"
#include "TForm3.h"
#include "TForm4.h"
#include "TForm5.h"
#include "TForm6.h"
#include "TGraghForm.h"
#include "THistoryForm.h"
#include "TimeViewState.h"
#include "WindowState.h"

#include <QAction>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <optional>

namespace {

QString outDir;
int failures = 0;

// Lets posted layouts, resizes and repaints happen; the windows lay themselves out in their
// show and resize handlers.
void Settle(int ms = 150) {
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// What the display shows of widget, read back from the display server rather than rendered
// again, so that the picture is the one the user sees.
QPixmap OnScreen(QWidget *widget) {
    QWidget *window = widget->window();
    QDeadlineTimer deadline(2000);
    while (!(window->windowHandle() && window->windowHandle()->isExposed()) &&
           !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QScreen *screen = window->screen();
    if (!screen)
        return {};
    const QPoint at = widget->mapTo(window, QPoint(0, 0));
    return screen->grabWindow(window->winId(), at.x(), at.y(), widget->width(), widget->height());
}

QString LanguageTag() {
    return IsJapanese() ? QStringLiteral("ja") : QStringLiteral("en");
}

void Save(const QPixmap &picture, const QString &name) {
    const QString path = QDir(outDir).filePath(name + QLatin1Char('-') + LanguageTag() + ".png");
    if (picture.isNull() || !picture.save(path)) {
        std::fprintf(stderr, "vandrel-screens: could not write %s\n", qPrintable(path));
        ++failures;
        return;
    }
    std::printf("%s\n", qPrintable(path));
}

// A top-level window gets its title bar from the window manager, which the virtual display
// has not got: a plain bar with the caption stands in for it, so that the caption can be read.
QPixmap WithTitleBar(const QPixmap &picture, const QString &title) {
    const int height = 24;
    QPixmap framed(picture.width(), picture.height() + height);
    framed.fill(QColor(0x3c, 0x3c, 0x3c));
    QPainter painter(&framed);
    painter.setPen(Qt::white);
    painter.drawText(QRect(8, 0, picture.width() - 16, height), Qt::AlignVCenter | Qt::AlignLeft,
                     title);
    painter.drawPixmap(0, height, picture);
    return framed;
}

// A child window is shown with the frame around it, as it appears in the main window.
void SaveWindow(QWidget *window, const QString &name) {
    if (!window) {
        std::fprintf(stderr, "vandrel-screens: the %s window did not open\n", qPrintable(name));
        ++failures;
        return;
    }
    Settle();
    if (QWidget *frame = ChildFrameOf(window))
        Save(OnScreen(frame), name);
    else
        Save(WithTitleBar(OnScreen(window), window->windowTitle()), name);
}

// Modal dialogs are shown without blocking, pictured and closed; a message box is a failure
// of the run, told on stderr instead of waiting for someone to press OK.
class PictureDialogs : public Dialogs {
public:
    void Message(QWidget *, const QString &title, const QString &text, QMessageBox::Icon) override {
        std::fprintf(stderr, "vandrel-screens: %s: %s\n", qPrintable(title), qPrintable(text));
        ++failures;
    }
    int Exec(QDialog &dialog) override {
        dialog.show();
        SaveWindow(&dialog, QStringLiteral("version"));
        dialog.reject();
        return QDialog::Rejected;
    }
};

// The drop-down menus side by side, each as it pops up below the menu bar.
void SaveMenus(TForm1 &frame) {
    QList<QPixmap> pictures;
    for (QMenu *menu : {frame.File1, frame.View1, frame.Comm1, frame.Help1}) {
        menu->popup(frame.menuBar()->mapToGlobal(
            frame.menuBar()->actionGeometry(menu->menuAction()).bottomLeft()));
        Settle(100);
        pictures << OnScreen(menu);
        menu->hide();
    }
    int width = 0;
    int height = 0;
    for (const QPixmap &picture : pictures) {
        width += picture.width() + 8;
        height = std::max(height, picture.height());
    }
    QPixmap sheet(frame.menuBar()->width(), frame.menuBar()->height() + height);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    painter.drawPixmap(0, 0, OnScreen(frame.menuBar()));
    for (int i = 0, x = 0; i < pictures.size(); ++i) {
        // Each menu under its own title.
        QMenu *menu = QList<QMenu *>{frame.File1, frame.View1, frame.Comm1, frame.Help1}[i];
        x = std::max(x, frame.menuBar()->actionGeometry(menu->menuAction()).left());
        painter.drawPixmap(x, frame.menuBar()->height(), pictures[i]);
        x += pictures[i].width() + 8;
    }
    painter.end();
    Save(sheet, QStringLiteral("menus"));
}

// Puts a child window on top of the others, which the pictures from the display would show.
void Raise(QWidget *window) {
    if (!window)
        return;
    if (QWidget *frame = ChildFrameOf(window))
        frame->raise();
    window->raise();
}

// Reads the new (0) or old (1) trace from the drive attached as COM1, through the
// communication window; false when the read failed.
bool ReadTrace(TForm1 &frame, int data) {
    if (!Form5)
        frame.N4->trigger();
    if (!Form5)
        return false;
    Form5->SetPortIndex(0);
    Form5->SetDataIndex(data);
    Form5->Button2->click();
    QDeadlineTimer deadline(60000);
    while (Form5->IsReading() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    if (Form5->IsReading() || Form5->ReadFailed) {
        std::fprintf(stderr, "vandrel-screens: the %s trace could not be read from the drive\n",
                     data == 0 ? "new" : "old");
        ++failures;
        return false;
    }
    return true;
}

// The graph window with the given channels ticked.
void OpenGraph(TForm1 &frame, std::initializer_list<int> channels) {
    frame.N1->trigger();
    if (GraghForm)
        for (int ch : channels)
            GraghForm->CheckBox[ch]->click();
}

void PictureAllWindows(TForm1 &frame) {
    SaveMenus(frame);

    // The old trace: the DC voltage climbs while the drive brakes, until it trips.
    if (ReadTrace(frame, 1)) {
        OpenGraph(frame, {1, 4, 6});
        SaveWindow(GraghForm, QStringLiteral("overvoltage"));
        if (GraghForm)
            GraghForm->Button4->click();
        Settle();
    }
    // The new trace, which the other pictures show: the phase currents grow while the drive
    // accelerates under load, until it trips on over current.
    ReadTrace(frame, 0);
    Raise(Form5);
    SaveWindow(Form5, QStringLiteral("comm"));

    OpenGraph(frame, {1, 2, 4});
    // The events window places cursor A on the first fault, as a click on its row does; B a
    // few samples before it, so that the readout tells how far the current rose.
    frame.Events1->trigger();
    if (EventsForm && EventsForm->FirstFaultRow() >= 0) {
        const int fault = EventsForm->FirstFaultRow();
        EventsForm->EventClick(fault);
        if (const std::optional<int> a = frame.Document->TimeView().View().A)
            frame.Document->TimeView().PlaceB(std::max(0, *a - 5));
    }
    Raise(GraghForm);
    SaveWindow(GraghForm, QStringLiteral("graph"));
    if (GraghForm) {
        GraghForm->Button3->click();
        Settle();
        SaveWindow(GraghForm->ChannelWindow(), QStringLiteral("channels"));
        if (GraghForm->ChannelWindow())
            GraghForm->ChannelWindow()->hide();
    }

    frame.N2->trigger();
    if (Form4)
        Form4->RadioButton1->click(); // the first fault word, so that the traces show
    SaveWindow(Form4, QStringLiteral("bits"));
    frame.N3->trigger();
    SaveWindow(Form3, QStringLiteral("table"));
    frame.Flag1->trigger();
    QWidget *flags = nullptr;
    for (QMdiSubWindow *sub : frame.ClientArea()->subWindowList())
        if (sub->widget() && sub->widget()->inherits("TFlagForm"))
            flags = sub->widget();
    SaveWindow(flags, QStringLiteral("flags"));
    Raise(EventsForm);
    SaveWindow(EventsForm, QStringLiteral("events"));

    // The main window with everything open, as each window places itself.
    Settle();
    Save(WithTitleBar(OnScreen(&frame), frame.windowTitle()), QStringLiteral("frame"));

    // Both reads were kept: the history lists them, ranked by likeness to the over current.
    frame.History1->trigger();
    if (HistoryForm) {
        QDeadlineTimer deadline(10000);
        while (HistoryForm->Listing() && !deadline.hasExpired())
            Settle(50);
        HistoryForm->SimilarClick();
    }
    Raise(HistoryForm);
    SaveWindow(HistoryForm, QStringLiteral("history"));

    frame.About1->trigger();

    frame.ClientArea()->closeAllSubWindows();
    frame.Document->TimeView().ClearCursors();
    Settle();
}

} // namespace

int main(int argc, char *argv[]) {
    MonitorApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: vandrel-screens OUTDIR DEVICE\n");
        return 2;
    }
    outDir = args.at(1);
    if (!QDir().mkpath(outDir)) {
        std::fprintf(stderr, "vandrel-screens: cannot create %s\n", qPrintable(outDir));
        return 1;
    }
    PictureDialogs dialogs;
    Dialogs::Install(&dialogs);

    TForm1 frame;
    if (const QScreen *screen = app.primaryScreen())
        frame.setGeometry(screen->availableGeometry());
    // The simulated drive stands in for COM1 for this run only.
    AttachDevicePath(QStringLiteral("COM1"), args.at(2));
    frame.showMaximized();
    Settle(300);

    PictureAllWindows(frame);
    // Windows opened after the switch follow the new language.
    frame.LanguageSwitch->trigger();
    Settle();
    PictureAllWindows(frame);

    Dialogs::Install(nullptr);
    return failures == 0 ? 0 : 1;
}
