#pragma once
// Trace history window: every kept trace and every trace file of the added folders, filtered,
// sorted, opened, noted, and ranked by likeness to the trace on screen.

#include <QString>
#include <QWidget>

class HistoryFilter;
class HistoryModel;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QThread;

class TraceDocument;

class THistoryForm : public QWidget {
    Q_OBJECT
public:
    /// Lists the history folder of document and the added folders; follows each new trace.
    explicit THistoryForm(TraceDocument &document, QWidget *parent = nullptr);
    ~THistoryForm() override;

    QLineEdit *FilterEdit = nullptr; ///< accessible name "Filter"
    QTableView *HistoryGrid = nullptr;
    QPushButton *ReferenceButton = nullptr; ///< "Open as Reference"
    QPushButton *AddFolderButton = nullptr; ///< "Add Folder..."
    QPushButton *NoteButton = nullptr;      ///< "Note..."
    QPushButton *SimilarButton = nullptr;   ///< "Similar to Current"
    QPushButton *CloseButton = nullptr;
    QLabel *MessageLabel = nullptr; ///< what went wrong with the index, or ""

    HistoryModel &Model() const { return *model; }
    /// The file of the selected row, or "".
    QString SelectedFile() const;
    /// Whether a listing is still running.
    bool Listing() const { return lister != nullptr; }

public slots:
    /// Lists the folders again (the index brought up to date first) on a worker thread: ten
    /// thousand new files take a second or two, and the window answers meanwhile. The rows
    /// follow when the listing is done; a listing asked for meanwhile follows it.
    void FillHistory();
    /// Ranks the listed traces by likeness to the document's trace; shows the Distance column.
    void SimilarClick();
    /// Adds folder to the listed ones (kept in the settings) and lists again.
    void AddFolder(const QString &folder);
    /// Sets the note of the selected trace and lists again.
    void SetSelectedNote(const QString &text);

signals:
    /// The user asked to open path as File / Open would.
    void OpenRequested(const QString &path);
    /// The user asked to open path as the reference.
    void ReferenceRequested(const QString &path);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void AddFolderClick();
    void NoteClick();
    void ShowMessage(const QString &text);
    void StartListing();
    void RankRows();
    QStringList Folders() const;

    TraceDocument &document;
    bool japanese;
    HistoryModel *model = nullptr;
    HistoryFilter *filter = nullptr;
    const QString indexPath;
    QThread *lister = nullptr;
    bool listAgain = false; ///< asked for while a listing ran
    bool ranked = false;    ///< ranked by likeness since the last listing was asked for
    bool placed = false;
};

/// The open history window, or nullptr.
extern THistoryForm *HistoryForm;
