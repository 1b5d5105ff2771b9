#include "Dialogs.h"

#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QUrl>

namespace {
Dialogs realDialogs;
Dialogs *current = nullptr;
} // namespace

Dialogs &Dialogs::Current() {
    return current ? *current : realDialogs;
}

void Dialogs::Install(Dialogs *dialogs) {
    current = dialogs;
}

QString Dialogs::OpenFileName(QWidget *parent, const QString &caption, const QString &dir,
                              const QString &filter) {
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString Dialogs::SaveFileName(QWidget *parent, const QString &caption, const QString &dir,
                              const QString &filter) {
    // Saving replaces an existing file without a question, as users of the program expect.
    return QFileDialog::getSaveFileName(parent, caption, dir, filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

bool Dialogs::PrinterSetup(QWidget *parent, QPrinter &printer) {
    // The print dialog lets the user choose the printer and its page; where no printer is
    // installed it offers printing to a PDF file.
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

void Dialogs::Message(QWidget *parent, const QString &title, const QString &text,
                      QMessageBox::Icon icon) {
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

bool Dialogs::Question(QWidget *parent, const QString &title, const QString &text) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

bool Dialogs::OpenDocument(const QString &path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

int Dialogs::Exec(QDialog &dialog) {
    return dialog.exec();
}
