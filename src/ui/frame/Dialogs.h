#pragma once
// The one seam through which every modal dialog passes, so that tests can answer them.

#include <QMessageBox>
#include <QString>

class QDialog;
class QPrinter;
class QWidget;

/// Modal dialogs of the program. Tests install a subclass that answers without a person.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    /// File open dialog starting in folder dir; returns the chosen path or an empty string on
    /// cancel. filter uses Qt's syntax, e.g. "DataFile(*.vnx);;DataFile(*.vnb)".
    virtual QString OpenFileName(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter);
    /// File save dialog starting in folder dir; returns the chosen path or an empty string on
    /// cancel.
    virtual QString SaveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter);
    /// Printer setup before printing (printer, page, or a PDF file where no printer is
    /// installed); returns true when the user confirmed.
    virtual bool PrinterSetup(QWidget *parent, QPrinter &printer);
    /// A message box with one OK button.
    virtual void Message(QWidget *parent, const QString &title, const QString &text,
                         QMessageBox::Icon icon = QMessageBox::Warning);
    /// A question with Yes and No; returns true for Yes.
    virtual bool Question(QWidget *parent, const QString &title, const QString &text);
    /// Opens a saved document (a report) in the program the desktop uses for it; returns
    /// false when none could be started.
    virtual bool OpenDocument(const QString &path);
    /// Runs a modal dialog (for example the version window) and returns its result code.
    virtual int Exec(QDialog &dialog);

    /// The dialogs in use now.
    static Dialogs &Current();
    /// Replaces the dialogs in use; nullptr restores the real ones. Ownership stays with caller.
    static void Install(Dialogs *dialogs);
};
