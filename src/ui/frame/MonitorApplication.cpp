#include "MonitorApplication.h"

#include "Dialogs.h"
#include "Fonts.h"

#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <exception>

MonitorApplication::MonitorApplication(int &argc, char **argv) : QApplication(argc, argv) {
    // The title goes on the task bar. It is not set as the display name as well: the
    // platform would then append it to every window's caption.
    setApplicationName(QStringLiteral("Vandrel Monitor"));
    setWindowIcon(QIcon(QStringLiteral(":/icon32.png")));
    RegisterFontSubstitutions();
    // Qt's own dialogs and standard buttons speak the system's language.
    auto *qtTexts = new QTranslator(this);
    if (qtTexts->load(QLocale::system(), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(qtTexts);
}

bool MonitorApplication::notify(QObject *receiver, QEvent *event) {
    // The message loop goes on after a failed handler; the user is told what went wrong.
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        Dialogs::Current().Message(activeWindow(), applicationName(),
                                   QString::fromLocal8Bit(error.what()), QMessageBox::Critical);
    } catch (...) {
        Dialogs::Current().Message(activeWindow(), applicationName(),
                                   QStringLiteral("Unknown error"), QMessageBox::Critical);
    }
    return false;
}
