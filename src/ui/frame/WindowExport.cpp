#include "WindowExport.h"

#include "Caption.h"
#include "CheckedSave.h"
#include "Dialogs.h"
#include "LastFolder.h"
#include "ShownTrace.h"
#include "TraceDocument.h"

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

constexpr Caption ReferenceNameCaption = {"参照波形: %1", "Reference: %1"};
const QColor ReferenceCaptionColor(128, 128, 128);
constexpr int CaptionMargin = 4; // around the caption line's text

const QString PngFilter = QStringLiteral("PNG (*.png)");

// Height of the caption line above the charts; 0 without one.
int CaptionHeight(const ChartsArea &charts) {
    if (charts.Caption.isEmpty() && charts.ReferenceCaption.isEmpty())
        return 0;
    return QFontMetrics(charts.Widget->font()).height() + 2 * CaptionMargin;
}

// Draws the caption line into the top of a picture width wide, on white.
void DrawCaption(QPainter &painter, const ChartsArea &charts, int width) {
    const int height = CaptionHeight(charts);
    if (height == 0)
        return;
    painter.fillRect(QRect(0, 0, width, height), Qt::white);
    painter.setFont(charts.Widget->font());
    const QFontMetrics metrics(charts.Widget->font());
    const int baseline = CaptionMargin + metrics.ascent();
    painter.setPen(Qt::black);
    painter.drawText(CaptionMargin, baseline, charts.Caption);
    if (charts.ReferenceCaption.isEmpty())
        return;
    const int gap = charts.Caption.isEmpty() ? 0 : metrics.horizontalAdvance(QStringLiteral("   "));
    painter.setPen(ReferenceCaptionColor);
    painter.drawText(CaptionMargin + metrics.horizontalAdvance(charts.Caption) + gap, baseline,
                     charts.ReferenceCaption);
}
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

void SetChartsCaption(ChartsArea &charts, const ShownTrace &shown, const TraceDocument &document,
                      StampClock clock, bool japanese) {
    const TriggerStamp stamp = FormatTriggerStamp(shown.Units(document).Record.Header, clock);
    const QString source = shown.SourceIn(document);
    QStringList parts;
    if (!source.isEmpty())
        parts << source;
    parts << QString::fromStdString(stamp.Date) << QString::fromStdString(stamp.Time);
    charts.Caption = parts.join(QStringLiteral("  "));
    charts.ReferenceCaption.clear();
    if (document.Reference())
        charts.ReferenceCaption =
            Pick(ReferenceNameCaption, japanese)
                .arg(document.ReferenceName().isEmpty() ? QStringLiteral("-")
                                                        : document.ReferenceName());
}

QImage ChartsImage(const ChartsArea &charts) {
    const QImage picture = charts.Widget->grab(charts.Area).toImage();
    const int top = CaptionHeight(charts);
    if (top == 0)
        return picture;
    QImage image(picture.width(), picture.height() + top, QImage::Format_RGB32);
    image.setDevicePixelRatio(picture.devicePixelRatio());
    const int width = qRound(picture.width() / picture.devicePixelRatio());
    QPainter painter(&image);
    DrawCaption(painter, charts, width);
    painter.drawImage(QPoint(0, top), picture);
    return image;
}

QByteArray ChartsPng(const ChartsArea &charts) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ChartsImage(charts).save(&buffer, "PNG");
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
    const int top = CaptionHeight(charts);
    writer.setPageSize(
        QPageSize(QSizeF(charts.Area.width(), charts.Area.height() + top) * 72.0 / 96.0,
                  QPageSize::Point, QString(), QPageSize::ExactMatch));
    writer.setCreator(QStringLiteral("Vandrel Monitor"));
    QPainter painter(&writer);
    DrawCaption(painter, charts, charts.Area.width());
    charts.Widget->render(&painter, QPoint(0, top), QRegion(charts.Area),
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
            QGuiApplication::clipboard()->setImage(ChartsImage(picture));
    });
}
