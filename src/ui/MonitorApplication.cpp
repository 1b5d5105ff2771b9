#include "MonitorApplication.h"

#include "Dialogs.h"
#include "Fonts.h"

#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <exception>

MonitorApplication::MonitorApplication(int &argc, char **argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Vandrel Monitor"));
    setApplicationDisplayName(QStringLiteral("Vandrel Monitor"));
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
