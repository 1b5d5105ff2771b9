#pragma once
// Answers the program's modal dialogs in tests and records what was asked.

#include "Dialogs.h"

#include <QStringList>

class FakeDialogs : public Dialogs {
public:
    FakeDialogs() { Dialogs::Install(this); }
    ~FakeDialogs() override { Dialogs::Install(nullptr); }

    QString OpenFileName(QWidget *parent, const QString &caption, const QString &dir,
                         const QString &filter) override;
    QString SaveFileName(QWidget *parent, const QString &caption, const QString &dir,
                         const QString &filter) override;
    bool PrinterSetup(QWidget *parent, QPrinter &printer) override;
    void Message(QWidget *parent, const QString &title, const QString &text,
                 QMessageBox::Icon icon) override;
    bool Question(QWidget *parent, const QString &title, const QString &text) override;
    bool OpenDocument(const QString &path) override;
    int Exec(QDialog &dialog) override;

    // Answers.
    QString openAnswer;          ///< path returned by OpenFileName ("" = cancel)
    QString saveAnswer;          ///< path returned by SaveFileName ("" = cancel)
    bool printerAnswer = true;   ///< result of PrinterSetup
    QString printToFile;         ///< when set, PrinterSetup directs the printer to this PDF
    int execAnswer = 0;          ///< result of Exec
    bool questionAnswer = false; ///< result of Question (false = No)

    // What was asked.
    QStringList filters;    ///< filter of every file dialog, in order
    QStringList folders;    ///< start folder of every file dialog, in order
    QStringList messages;   ///< text of every message box, in order
    QStringList execTitles; ///< window title of every dialog run modally
    int printerSetups = 0;
    QStringList questions;       ///< text of every question, in order
    QStringList openedDocuments; ///< every document the program asked to open
};
