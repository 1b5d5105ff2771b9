// Program entry of the monitor.

#include "MonitorApplication.h"
#include "TForm1.h"

#include <QScreen>

int main(int argc, char *argv[]) {
    MonitorApplication app(argc, argv);
    TForm1 frame;
    // Fill the screen even where no window manager honours the maximised state.
    if (const QScreen *screen = app.primaryScreen())
        frame.setGeometry(screen->availableGeometry());
    frame.showMaximized();
    return app.exec();
}
