// Program entry of the monitor.

#include "MonitorApplication.h"
#include "PortNames.h"
#include "TForm1.h"

int main(int argc, char *argv[]) {
    MonitorApplication app(argc, argv);
    ApplyPortMapArguments(app.arguments()); // --port-map COM1=/dev/pts/3: this run only
    TForm1 frame;
    frame.showMaximized();
    return app.exec();
}
