#pragma once
// The application object: title, fonts, and a message box for any exception a handler lets out.

#include <QApplication>

class MonitorApplication : public QApplication {
    Q_OBJECT
public:
    MonitorApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};
