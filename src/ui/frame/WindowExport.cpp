#include "WindowExport.h"

#include "Caption.h"
#include "CheckedSave.h"
#include "Dialogs.h"
#include "LastFolder.h"

#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QShortcut>
#include <QWidget>

namespace {

constexpr Caption ExportErrorTitle = {"ファイルエラー", "File Error"};
constexpr Caption SaveImageCaption = {"画像保存", "Save Image"};

QString SaveFailedText(const QString &path, const QString &reason, bool japanese) {
    const QString file = QDir::toNativeSeparators(path);
    return japanese ? QStringLiteral("%1 を保存できません。\n%2").arg(file, reason)
                    : QStringLiteral("%1 cannot be saved.\n%2").arg(file, reason);
}

const QString PngFilter = QStringLiteral("PNG (*.png)");
const QString PdfFilter = QStringLiteral("PDF (*.pdf)");

} // namespace

bool SaveExportChecked(QWidget *parent, const QString &path, const QByteArray &bytes,
                       bool japanese) {
    QString reason;
    if (SaveFileChecked(path, bytes, &reason, Language)) {
        RememberLastFolder(path);
        return true;
    }
    Dialogs::Current().Message(parent, Pick(ExportErrorTitle, japanese),
                               SaveFailedText(path, reason, japanese));
    return false;
}

QByteArray ChartsPng(const ChartsArea &charts) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    charts.Widget->grab(charts.Area).toImage().save(&buffer, "PNG");
    return bytes;
}

QByteArray ChartsPdf(const ChartsArea &charts) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    // One page the size of the picture at 96 dpi, so that one widget pixel is one page pixel.
    writer.setResolution(96);
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setPageSize(QPageSize(QSizeF(charts.Area.size()) * 72.0 / 96.0, QPageSize::Point,
                                 QString(), QPageSize::ExactMatch));
    writer.setCreator(QStringLiteral("Vandrel Monitor"));
    QPainter painter(&writer);
    charts.Widget->render(&painter, QPoint(), QRegion(charts.Area),
                          QWidget::DrawWindowBackground | QWidget::DrawChildren);
    painter.end();
    return bytes;
}

void SaveChartsImage(QWidget *parent, const ChartsArea &charts, bool japanese) {
    QString path = Dialogs::Current().SaveFileName(parent, Pick(SaveImageCaption, japanese),
                                                   FileDialogFolder(),
                                                   PngFilter + QStringLiteral(";;") + PdfFilter);
    if (path.isEmpty())
        return;
    const bool pdf = path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive);
    if (!pdf && !path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive))
        path += QStringLiteral(".png");
    SaveExportChecked(parent, path, pdf ? ChartsPdf(charts) : ChartsPng(charts), japanese);
}

void InstallCopyPictureShortcut(QWidget *window, std::function<ChartsArea()> charts) {
    auto *shortcut = new QShortcut(QKeySequence::Copy, window);
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(shortcut, &QShortcut::activated, window, [charts] {
        const ChartsArea picture = charts();
        if (picture.Widget)
            QGuiApplication::clipboard()->setImage(picture.Widget->grab(picture.Area).toImage());
    });
}
