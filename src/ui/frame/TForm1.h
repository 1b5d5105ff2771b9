#pragma once
// Main frame: the multiple-document window with the menu; owns the trace document that every
// window it opens shows. Its trace-file actions (open, save, reference, report, drop) are in
// TraceFileActions.cpp.

#include "FaultReport.h"
#include "TraceDocument.h"
#include "TraceRecord.h"
#include "WindowPrint.h"
#include "WindowState.h"

#include <QList>
#include <QMainWindow>
#include <QString>

class QAction;
class QDragEnterEvent;
class QDropEvent;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QStatusBar;

/// The program version shown in the caption and the version window.
inline constexpr double ProgramVersion = 2.3;
/// Caption without a file name: "Norvex Vandrel Monitor Version 2.30".
extern QString BaseTitle;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;

    /// The trace, its reference, time view and naming, handed to every window the frame opens.
    TraceDocument *const Document;
    /// The one trace record of the program: the document's.
    TTraceRecord &Record;
    /// Full path of the language file written on close.
    QString SettingsPath;

    // Menu, by the names of the original layout.
    QMenu *File1 = nullptr;
    QAction *open01 = nullptr;
    QAction *saveS1 = nullptr;
    QAction *OpenReference1 = nullptr;  ///< a trace file as the reference
    QAction *UseAsReference1 = nullptr; ///< the record as it is now as the reference
    QAction *ClearReference1 = nullptr; ///< no reference; disabled while there is none
    QAction *Report1 = nullptr;         ///< the fault report as PDF
    QAction *printeP1 = nullptr;        // separator
    QAction *Exit1 = nullptr;
    QMenu *View1 = nullptr;
    QAction *N1 = nullptr;
    QAction *N2 = nullptr;
    QAction *N3 = nullptr;
    QAction *Events1 = nullptr; ///< the events window
    QAction *History1 = nullptr; ///< the trace history window
    /// Checked: every open view redraws as soon as a trace is put in; kept between runs.
    QAction *FollowNewTraces1 = nullptr;
    /// Checked: the events window comes forward after a read from the drive; kept between runs.
    QAction *ShowEventsAfterRead1 = nullptr;
    QMenu *Comm1 = nullptr;
    QAction *N4 = nullptr;
    QMenu *Window1 = nullptr; ///< arranges the child windows and brings one forward
    QAction *Cascade1 = nullptr;
    QAction *Tile1 = nullptr;
    QMenu *Help1 = nullptr;
    QAction *About1 = nullptr;
    QAction *Flag1 = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    /// Ctrl+L anywhere in the program: toggles Language as FormKeyPress does for code 12.
    QAction *LanguageSwitch = nullptr;
    /// The printer setup that the graph and bit graph windows print with, kept for the run.
    TPrinterSetupDialog PrinterSetupDialog1;

    /// The client area that holds the child windows.
    QMdiArea *ClientArea() const { return mdiArea; }

    /// Sets the menu captions from Language; nothing else.
    void ApplyLanguage();
    /// The Window menu's items after Cascade and Tile: one per open child window, in the order
    /// they were opened, the active one checked.
    QList<QAction *> WindowItems() const;
    /// Key handling with key preview: Ctrl+L (code 12) toggles Language, then ApplyLanguage.
    void FormKeyPress(int key);

    /// Shows window as a child of the frame, disables item until the window is closed. Returns
    /// the sub-window that frames it.
    QMdiSubWindow *OpenChild(QAction *item, QWidget *window);

    /// The record's start state (see the core function of the same name).
    void ResetRecord() { Document->ResetRecord(); }
    /// Factors of channels 10-12 from DriveTypeE.
    void ApplyTypeScales() { Document->ApplyTypeScales(); }
    /// Sample i, channel c (0-based) of the record in engineering units (IsNormalized now).
    float NormalizedValue(int i, int c) const {
        return ::NormalizedValue(Document->Units(), i, c);
    }

    /// Reads the trace file at path into Record and DriveTypeE, all or nothing; the factors of
    /// channels 10-12 follow the drive type read. IsNormalized and the caption are left alone.
    /// Returns false, with the reason in *error, when the record was kept.
    bool ReadTraceFile(const QString &path, QString *error = nullptr);
    /// Writes Record and DriveTypeE to path (engineering units when IsNormalized), replacing
    /// any file there atomically. Returns false, with the reason in *error, when nothing was
    /// written.
    bool WriteTraceFile(const QString &path, QString *error = nullptr);

    /// Loads the trace file at path as File, Open does after its dialog: all or nothing, a
    /// message box on failure. Returns true when the record was replaced.
    bool OpenTraceFile(const QString &path);

    /// Loads the trace file at path as the reference: all or nothing, a message box on
    /// failure; the record, its units and the caption are left alone. True when loaded.
    bool OpenReferenceFile(const QString &path);

    /// What the fault report is made of now: the record, its units and source, the Language of
    /// this moment, and the charts the graph window shows (the default report channels when it
    /// charts none or is closed).
    FaultReportInput ReportInput() const;
    /// Writes the fault report of the record, in the Language of this moment, as PDF to path.
    /// Returns false, with the reason in *error, when nothing was written.
    bool WriteReport(const QString &path, QString *error = nullptr);

    /// Creation: settings path, language from the system, font, caption, menu, fresh record.
    void FormCreate();
    /// Closing, however it was asked for: writes the one-byte language file.
    void FormClose();

public slots:
    void open01Click();
    void saveS1Click();
    void OpenReference1Click();
    void UseAsReference1Click();
    void ClearReference1Click();
    void Exit1Click();
    void N1Click();
    void N2Click();
    void N3Click();
    void Events1Click();
    void History1Click();
    void Report1Click();
    void N4Click();
    void About1Click();
    void Flag1Click();
    /// A read from the drive replaced the trace: the caption names it, and the events window
    /// comes forward unless that was turned off.
    void TraceRead();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void CreateMenu();
    /// Lists the open child windows in the Window menu again.
    void UpdateWindowMenu();
    /// Brings the child window in frame to the front, restored if it was minimised.
    void BringForward(QMdiSubWindow *frame);
    /// The caption names what is loaded: the document's name for the record.
    void ShowTraceName();
    /// Loads the trace file at path and puts it in with the given units and source, all or
    /// nothing. Returns false, with the reason in *error, when the record was kept.
    bool PutInTraceFile(const QString &path, bool normalized, const QString &source,
                        QString *error);

    QMdiArea *mdiArea = nullptr;
};

/// The one main frame.
extern TForm1 *Form1;
