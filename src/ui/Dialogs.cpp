#include "Dialogs.h"

#include <QDialog>
#include <QFileDialog>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPrinterInfo>

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

QString Dialogs::OpenFileName(QWidget *parent, const QString &caption, const QString &filter) {
    return QFileDialog::getOpenFileName(parent, caption, QString(), filter);
}

QString Dialogs::SaveFileName(QWidget *parent, const QString &caption, const QString &filter) {
    // The program asks no question of its own before replacing a file; the dialog may.
    return QFileDialog::getSaveFileName(parent, caption, QString(), filter);
}

bool Dialogs::PrinterSetup(QWidget *parent, QPrinter &printer) {
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        // No printer installed: printing goes to a PDF file of the user's choice.
        const QString path =
            SaveFileName(parent, QObject::tr("Print to PDF"), QStringLiteral("PDF (*.pdf)"));
        if (path.isEmpty())
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)
                                      ? path
                                      : path + QStringLiteral(".pdf"));
        return true;
    }
    QPageSetupDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

void Dialogs::Message(QWidget *parent, const QString &title, const QString &text,
                      QMessageBox::Icon icon) {
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

int Dialogs::Exec(QDialog &dialog) {
    return dialog.exec();
}
