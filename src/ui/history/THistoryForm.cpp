#include "THistoryForm.h"

#include "Caption.h"
#include "ChildWindows.h"
#include "Dialogs.h"
#include "Fonts.h"
#include "HistoryIndex.h"
#include "HistoryModel.h"
#include "TraceDocument.h"
#include "TraceHistory.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QThread>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

THistoryForm *HistoryForm = nullptr;

namespace {

constexpr Caption WindowCaption = {"トレース履歴", "Trace History"};
constexpr Caption FilterCaption = {"フィルタ", "Filter"};
constexpr Caption ReferenceCaption = {"基準として開く", "Open as Reference"};
constexpr Caption AddFolderCaption = {"フォルダ追加...", "Add Folder..."};
constexpr Caption NoteCaption = {"メモ...", "Note..."};
constexpr Caption SimilarCaption = {"現在に類似", "Similar to Current"};
constexpr Caption CloseCaption = {"閉じる", "Close"};
constexpr Caption NoteLabelCaption = {"このトレースのメモ:", "Note on this trace:"};
constexpr Caption IndexFailedText = {"履歴の索引を使えません: %1",
                                     "The history index cannot be used: %1"};

QPushButton *Button(const Caption &caption, bool japanese, const char *name, QWidget *parent) {
    auto *button = new QPushButton(Pick(caption, japanese), parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

} // namespace

THistoryForm::THistoryForm(TraceDocument &document, QWidget *parent)
    : QWidget(parent), document(document), japanese(document.Japanese()),
      indexPath(HistoryIndex::DefaultPath()) {
    HistoryForm = this;
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("HistoryForm"));
    setWindowTitle(Pick(WindowCaption, japanese));
    setFont(WindowFont(font()));

    auto *filterLabel = new QLabel(Pick(FilterCaption, japanese), this);
    FilterEdit = new QLineEdit(this);
    FilterEdit->setObjectName(QStringLiteral("FilterEdit"));
    FilterEdit->setAccessibleName(QStringLiteral("Filter"));
    FilterEdit->setClearButtonEnabled(true);
    filterLabel->setBuddy(FilterEdit);

    model = new HistoryModel(japanese, this);
    filter = new HistoryFilter(*model, this);
    HistoryGrid = new QTableView(this);
    HistoryGrid->setObjectName(QStringLiteral("HistoryGrid"));
    HistoryGrid->setAccessibleName(Pick(WindowCaption, false));
    HistoryGrid->setModel(filter);
    HistoryGrid->setSortingEnabled(true);
    HistoryGrid->sortByColumn(static_cast<int>(HistoryColumn::Trip), Qt::DescendingOrder);
    HistoryGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    HistoryGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    HistoryGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    HistoryGrid->setWordWrap(false);
    HistoryGrid->verticalHeader()->hide();
    // Rows of one height need not be measured one by one: thousands fill at once.
    HistoryGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    HistoryGrid->horizontalHeader()->setStretchLastSection(true);
    // Columns fit the rows in view and a few more, not all ten thousand; a long path or note
    // is cut rather than pushing the other columns out of the window.
    HistoryGrid->horizontalHeader()->setResizeContentsPrecision(100);
    HistoryGrid->horizontalHeader()->setMaximumSectionSize(fontMetrics().averageCharWidth() * 40);
    HistoryGrid->setColumnHidden(static_cast<int>(HistoryColumn::Distance), true);
    // Ranked, the distance is what is read first, as in the command line's CSV.
    HistoryGrid->horizontalHeader()->moveSection(static_cast<int>(HistoryColumn::Distance), 0);
    // Enter on a row and a double click both open it, as File / Open would.
    connect(HistoryGrid, &QTableView::activated, this, [this](const QModelIndex &at) {
        const QModelIndex source = filter->mapToSource(at);
        if (source.isValid())
            emit OpenRequested(QString::fromStdString(model->Row(source.row()).File));
    });
    connect(FilterEdit, &QLineEdit::textChanged, filter, &HistoryFilter::SetFilterText);

    ReferenceButton = Button(ReferenceCaption, japanese, "ReferenceButton", this);
    AddFolderButton = Button(AddFolderCaption, japanese, "AddFolderButton", this);
    NoteButton = Button(NoteCaption, japanese, "NoteButton", this);
    SimilarButton = Button(SimilarCaption, japanese, "SimilarButton", this);
    CloseButton = Button(CloseCaption, japanese, "CloseButton", this);
    connect(ReferenceButton, &QPushButton::clicked, this, [this] {
        if (const QString file = SelectedFile(); !file.isEmpty())
            emit ReferenceRequested(file);
    });
    connect(AddFolderButton, &QPushButton::clicked, this, &THistoryForm::AddFolderClick);
    connect(NoteButton, &QPushButton::clicked, this, &THistoryForm::NoteClick);
    connect(SimilarButton, &QPushButton::clicked, this, &THistoryForm::SimilarClick);
    connect(CloseButton, &QPushButton::clicked, this, [this] { CloseChildWindow(this); });

    MessageLabel = new QLabel(this);
    MessageLabel->setObjectName(QStringLiteral("MessageLabel"));
    MessageLabel->setWordWrap(true);
    MessageLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    MessageLabel->hide();

    auto *column = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    top->addWidget(filterLabel);
    top->addWidget(FilterEdit, 1);
    column->addLayout(top);
    column->addWidget(HistoryGrid, 1);
    column->addWidget(MessageLabel);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {ReferenceButton, AddFolderButton, NoteButton, SimilarButton})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(CloseButton);
    column->addLayout(buttons);

    // A new read is kept before it is shown: list it with the others.
    connect(&document, &TraceDocument::TraceReplaced, this, &THistoryForm::FillHistory);
    FillHistory();
}

THistoryForm::~THistoryForm() {
    if (HistoryForm == this)
        HistoryForm = nullptr;
    // The listing writes only into what it owns; the window waits for it before it goes.
    if (lister) {
        disconnect(lister, nullptr, this, nullptr);
        lister->wait();
        delete lister;
    }
}

QStringList THistoryForm::Folders() const {
    return QStringList{document.HistoryFolder()} + AddedHistoryFolders();
}

void THistoryForm::ShowMessage(const QString &text) {
    MessageLabel->setText(text);
    MessageLabel->setVisible(!text.isEmpty());
}

QString THistoryForm::SelectedFile() const {
    const QModelIndexList selected = HistoryGrid->selectionModel()->selectedRows();
    const QModelIndex at = selected.isEmpty() ? HistoryGrid->currentIndex() : selected.first();
    const QModelIndex source = filter->mapToSource(at);
    return source.isValid() ? QString::fromStdString(model->Row(source.row()).File) : QString();
}

namespace {

// What one listing found, handed from the worker to the window.
struct Listed {
    std::vector<HistoryRow> Rows;
    bool Done = false;
    QString Error;
    QString Notice;
};

} // namespace

void THistoryForm::FillHistory() {
    ranked = false;
    StartListing();
}

void THistoryForm::StartListing() {
    if (lister) {
        listAgain = true;
        return;
    }
    listAgain = false;
    auto listed = std::make_shared<Listed>();
    const QStringList folders = Folders();
    // The worker has a database connection of its own, opened and closed on its thread.
    lister = QThread::create([listed, folders, path = indexPath] {
        HistoryIndex index(path);
        listed->Done = index.List(folders, &listed->Rows, &listed->Error);
        listed->Notice = index.Notice();
    });
    connect(lister, &QThread::finished, this, [this, listed] {
        lister->wait();
        delete lister;
        lister = nullptr;
        // The index was built anew: said once, then the rows as the files give them.
        ShowMessage(listed->Done ? listed->Notice
                                 : Pick(IndexFailedText, japanese).arg(listed->Error));
        model->SetRows(std::move(listed->Rows));
        HistoryGrid->setColumnHidden(static_cast<int>(HistoryColumn::Distance), true);
        HistoryGrid->sortByColumn(static_cast<int>(HistoryColumn::Trip), Qt::DescendingOrder);
        HistoryGrid->resizeColumnsToContents();
        if (listAgain)
            StartListing();
        else if (ranked)
            RankRows();
    });
    lister->start();
}

void THistoryForm::SimilarClick() {
    ranked = true;
    RankRows();
}

void THistoryForm::RankRows() {
    std::vector<HistoryRow> rows = model->Rows();
    std::vector<LikenessKey> keys;
    QString error;
    HistoryIndex index(indexPath);
    if (!index.Keys(rows, &keys, &error)) {
        ShowMessage(Pick(IndexFailedText, japanese).arg(error));
        return;
    }
    model->SetRows(RankRowsByLikeness(document.Units(), std::move(rows), keys));
    const int distance = static_cast<int>(HistoryColumn::Distance);
    HistoryGrid->setColumnHidden(distance, false);
    HistoryGrid->sortByColumn(distance, Qt::AscendingOrder);
    HistoryGrid->resizeColumnToContents(distance);
    HistoryGrid->scrollToTop();
}

void THistoryForm::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (placed)
        return;
    placed = true;
    // Wide enough for the columns up to the file, within the main window's client area.
    const QSize client = MainClientSize();
    const int wanted = fontMetrics().averageCharWidth() * 110;
    const int width = client.isEmpty() ? wanted : std::min(wanted, client.width() - 20);
    const int height = client.isEmpty() ? 420 : std::min(420, client.height() - 20);
    PlaceChildFrame(this, QRect(10, 10, std::max(width, 360), std::max(height, 240)));
}

void THistoryForm::AddFolder(const QString &folder) {
    const QString absolute = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    QStringList added = AddedHistoryFolders();
    if (!added.contains(absolute)) {
        added << absolute;
        SetAddedHistoryFolders(added);
    }
    FillHistory();
}

void THistoryForm::SetSelectedNote(const QString &text) {
    const QString file = SelectedFile();
    if (file.isEmpty())
        return;
    QString error;
    if (!HistoryIndex(indexPath).SetNote(file, text, &error)) {
        ShowMessage(Pick(IndexFailedText, japanese).arg(error));
        return;
    }
    FillHistory();
}

void THistoryForm::AddFolderClick() {
    QFileDialog dialog(this, Pick(AddFolderCaption, japanese).remove(QStringLiteral("...")));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (Dialogs::Current().Exec(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    AddFolder(dialog.selectedFiles().first());
}

void THistoryForm::NoteClick() {
    const QString file = SelectedFile();
    if (file.isEmpty())
        return;
    const QModelIndex source = filter->mapToSource(HistoryGrid->currentIndex());
    QInputDialog dialog(this);
    dialog.setWindowTitle(Pick(NoteCaption, japanese).remove(QStringLiteral("...")));
    dialog.setLabelText(Pick(NoteLabelCaption, japanese) + QLatin1Char('\n') +
                        QFileInfo(file).fileName());
    if (source.isValid())
        dialog.setTextValue(QString::fromStdString(model->Row(source.row()).Note));
    if (Dialogs::Current().Exec(dialog) != QDialog::Accepted)
        return;
    SetSelectedNote(dialog.textValue());
}
