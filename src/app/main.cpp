// Program entry of the monitor.

#include "MonitorApplication.h"
#include "TForm1.h"

int main(int argc, char *argv[]) {
    MonitorApplication app(argc, argv);
    TForm1 frame;
    frame.showMaximized();
    return app.exec();
}
