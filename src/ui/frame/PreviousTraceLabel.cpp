#include "PreviousTraceLabel.h"

#include "Caption.h"
#include "ShownTrace.h"
#include "TraceDocument.h"
#include "TriggerStamp.h"

namespace {

const QString AccessibleLabelName = QStringLiteral("Previous trace");
// %1 the name of the trace shown, %2 its trigger point; a trace without a name, %1 its trigger.
constexpr Caption NamedText = {"読み込まれたトレースではありません (%1, トリガ %2): ",
                               "Not the loaded trace (%1, trigger %2): "};
constexpr Caption UnnamedText = {"読み込まれたトレースではありません (トリガ %1): ",
                                 "Not the loaded trace (trigger %1): "};
constexpr Caption RedrawText = {"再描画を押してください", "press Redraw"};
constexpr Caption ChooseWordText = {"フラグワードを選んでください", "choose a flag word"};
constexpr Caption ChooseViewText = {"表示選択を選んでください", "choose a view"};
// Stands out from the window's grey without looking like an error.
const QColor Background(255, 236, 160);

} // namespace

PreviousTraceLabel::PreviousTraceLabel(WayBack wayBack, bool japanese, QWidget *parent)
    : QLabel(parent), wayBack(wayBack), japanese(japanese) {
    setObjectName(QStringLiteral("PreviousTraceLabel"));
    setAccessibleName(AccessibleLabelName);
    setWordWrap(true);
    setMargin(3);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Background);
    palette.setColor(QPalette::WindowText, Qt::black);
    setPalette(palette);
    hide();
}

bool PreviousTraceLabel::Update(const ShownTrace &shown, const TraceDocument &document) {
    const bool stale = !shown.IsLoaded(document);
    if (stale) {
        const QString trigger = QString::fromStdString(
            FormatTriggerStamp(shown.Trace.Record.Header, StampClock::Setnvop).Point);
        QString text = shown.Name.isEmpty()
                           ? Pick(UnnamedText, japanese).arg(trigger)
                           : Pick(NamedText, japanese).arg(shown.Name, trigger);
        text += Pick(wayBack == WayBack::Redraw       ? RedrawText
                     : wayBack == WayBack::ChooseWord ? ChooseWordText
                                                      : ChooseViewText,
                     japanese);
        setText(text);
        setAccessibleDescription(text);
    }
    if (stale == !isHidden())
        return false;
    setVisible(stale);
    return true;
}
