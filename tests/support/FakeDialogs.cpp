#include "FakeDialogs.h"

#include <QDialog>
#include <QPrinter>

QString FakeDialogs::OpenFileName(QWidget *, const QString &, const QString &dir,
                                  const QString &filter) {
    filters << filter;
    folders << dir;
    return openAnswer;
}

QString FakeDialogs::SaveFileName(QWidget *, const QString &, const QString &dir,
                                  const QString &filter) {
    filters << filter;
    folders << dir;
    return saveAnswer;
}

bool FakeDialogs::PrinterSetup(QWidget *, QPrinter &printer) {
    ++printerSetups;
    if (!printToFile.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printToFile);
    }
    return printerAnswer;
}

void FakeDialogs::Message(QWidget *, const QString &, const QString &text, QMessageBox::Icon) {
    messages << text;
}

int FakeDialogs::Exec(QDialog &dialog) {
    execTitles << dialog.windowTitle();
    return execAnswer;
}

bool FakeDialogs::Question(QWidget *, const QString &, const QString &text) {
    questions << text;
    return questionAnswer;
}

bool FakeDialogs::OpenDocument(const QString &path) {
    openedDocuments << path;
    return true;
}
