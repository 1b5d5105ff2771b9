// Every window, in both languages and for both drive types, with a reference and events loaded
// so that every control shows: no caption of a label or button is wider than the room it is
// drawn in, no label is cut below its text, no two captions run into each other, a caption
// shortened to fit offers its whole text as a tooltip, the fields show their first text whole,
// every caption is drawn in its window's font (a label may be a larger heading) with glyphs for
// all its characters, and a screen reader is told what is drawn. Narrow windows wrap their rows
// of check boxes and radio buttons rather than cutting them.

#include "ChildWindows.h"
#include "FakeDialogs.h"
#include "TAboutBox.h"
#include "TEventsForm.h"
#include "TForm1.h"
#include "TForm3.h"
#include "TForm4.h"
#include "TForm5.h"
#include "TForm6.h"
#include "TGraghForm.h"
#include "THistoryForm.h"
#include "WindowState.h"

#include <QAccessible>
#include <QAction>
#include <QValueAxis>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QTest>

#include <cmath>

namespace {

// The part of control that is not cut away by the widgets around it, in control's coordinates.
QRect VisibleRect(const QWidget *control) {
    QRect visible = control->rect();
    QPoint offset;
    for (const QWidget *w = control; w->parentWidget() && !w->isWindow(); w = w->parentWidget()) {
        offset += w->pos();
        const QWidget *parent = w->parentWidget();
        visible &= parent->rect().translated(-offset);
    }
    return visible;
}

QString Caption(const QWidget *control) {
    if (const auto *label = qobject_cast<const QLabel *>(control))
        return label->pixmap().isNull() ? label->text() : QString();
    if (const auto *button = qobject_cast<const QAbstractButton *>(control))
        return button->text();
    return {};
}

// Where the caption's text may be drawn, in control's coordinates, clipped as on screen.
QRect TextRoom(const QWidget *control) {
    QRect room;
    if (const auto *label = qobject_cast<const QLabel *>(control)) {
        room = label->contentsRect().adjusted(label->margin(), 0, -label->margin(), 0);
    } else {
        const auto *button = static_cast<const QAbstractButton *>(control);
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const QStyle *style = button->style();
        if (qobject_cast<const QCheckBox *>(button)) {
            room = style->subElementRect(QStyle::SE_CheckBoxContents, &option, button);
        } else if (qobject_cast<const QRadioButton *>(button)) {
            room = style->subElementRect(QStyle::SE_RadioButtonContents, &option, button);
        } else {
            // Text that fills a push button to its bevel touches the border.
            const int margin = style->pixelMetric(QStyle::PM_ButtonMargin, &option, button) / 2;
            room = style->subElementRect(QStyle::SE_PushButtonContents, &option, button)
                       .adjusted(margin, 0, -margin, 0);
        }
    }
    return room & VisibleRect(control);
}

int TextWidth(const QWidget *control, const QString &text) {
    qreal widest = 0;
    for (const QString &line : text.split(QLatin1Char('\n')))
        widest = std::max(widest, QFontMetricsF(control->font()).horizontalAdvance(line));
    return int(std::ceil(widest));
}

struct Problem {
    QStringList lines;
    void Add(const QString &window, const QWidget *control, const QString &what) {
        lines << QStringLiteral("%1 %2 \"%3\": %4")
                     .arg(window, control->objectName(), Caption(control), what);
    }
};

void CheckWindow(const QString &name, QWidget *window, Problem &problems) {
    QVERIFY2(window, qPrintable(name));
    const QImage picture = window->grab().toImage();
    QMap<const QWidget *, QList<QPair<const QWidget *, QRectF>>> textsByParent;
    for (QWidget *control : window->findChildren<QWidget *>()) {
        if (!control->isVisibleTo(window))
            continue;
        if (const auto *field = qobject_cast<const QLineEdit *>(control)) {
            // A field's text as the window first shows it is whole too (the trigger date).
            QStyleOptionFrame option;
            option.initFrom(field);
            const int room = field->style()
                                 ->subElementRect(QStyle::SE_LineEditContents, &option, field)
                                 .width() -
                             field->textMargins().left() - field->textMargins().right() - 4;
            const int width = TextWidth(field, field->text());
            if (width > std::min(room, VisibleRect(field).width()))
                problems.lines << QStringLiteral("%1 %2 \"%3\": text %4 wide, room %5")
                                      .arg(name, field->objectName(), field->text())
                                      .arg(width)
                                      .arg(room);
            continue;
        }
        const QString caption = Caption(control);
        if (caption.isEmpty() || Qt::mightBeRichText(caption))
            continue;
        // Drawn in the window's font; only a label may be a heading in a larger one.
        const QFontInfo drawn(control->font());
        const QFontInfo own(window->font());
        const bool heading = qobject_cast<QLabel *>(control) &&
                             drawn.pixelSize() * 10 >= own.pixelSize() * 13;
        if (drawn.family() != own.family() && !heading)
            problems.Add(name, control,
                         QStringLiteral("drawn in %1, the window in %2")
                             .arg(drawn.family(), own.family()));
        const QFontMetrics glyphs(control->font());
        for (const QChar c : caption)
            if (!c.isSpace() && c != QChar(0x2026) && !glyphs.inFont(c)) {
                problems.Add(name, control, QStringLiteral("no glyph for %1").arg(c));
                break;
            }
        // What a screen reader says is what is drawn (whole, where it is shortened).
        const QString spoken = control->accessibleName();
        // A value label may say what the value is before it.
        const bool value = qobject_cast<QLabel *>(control) &&
                           spoken.endsWith(QLatin1Char(' ') + caption.section(QLatin1Char(' '), -1));
        if (!spoken.isEmpty() && spoken != caption && spoken != control->toolTip() && !value)
            problems.Add(name, control, QStringLiteral("read out as \"%1\"").arg(spoken));
        const QRect room = TextRoom(control);
        const int width = TextWidth(control, caption);
        if (width > room.width())
            problems.Add(name, control,
                         QStringLiteral("text %1 wide, room %2").arg(width).arg(room.width()));
        if (qobject_cast<QLabel *>(control)) {
            const int lines = int(caption.count(QLatin1Char('\n'))) + 1;
            const int needed = lines * QFontMetrics(control->font()).height();
            if (VisibleRect(control).height() < std::min(needed, control->sizeHint().height()))
                problems.Add(name, control,
                             QStringLiteral("%1 high for text %2 high")
                                 .arg(VisibleRect(control).height())
                                 .arg(needed));
        }
        if (!qobject_cast<QPushButton *>(control)) {
            // As drawn: text cut off at the edge of its room leaves ink in the last column.
            const QRect visible = VisibleRect(control);
            const QPoint edge = control->mapTo(window, visible.topRight());
            const int background = qGray(picture.pixel(edge.x(), edge.y()));
            int ink = 0;
            for (int y = edge.y(); y < edge.y() + visible.height(); ++y)
                ink += qAbs(qGray(picture.pixel(edge.x(), y)) - background) > 96;
            if (ink > 0)
                problems.Add(name, control, QStringLiteral("text cut off where it is drawn"));
        }
        if (caption.endsWith(QChar(0x2026)) && !control->toolTip().startsWith(caption.chopped(1)))
            problems.Add(name, control, QStringLiteral("shortened without the whole as tooltip"));
        // The ink of the text, in the parent's coordinates, for a line of the font's height
        // centred in the room (several lines: the whole block).
        const QFontMetricsF metrics(control->font());
        const int lines = int(caption.count(QLatin1Char('\n'))) + 1;
        const qreal baseline =
            room.center().y() + 0.5 - lines * metrics.height() / 2 + metrics.ascent();
        QRectF text = lines == 1 ? metrics.tightBoundingRect(caption)
                                 : QRectF(0, -metrics.ascent(), width, lines * metrics.height());
        text.translate(room.left(), baseline);
        text.setRight(std::min(text.right(), qreal(room.right())));
        text.translate(control->pos());
        textsByParent[control->parentWidget()]
            << qMakePair(static_cast<const QWidget *>(control), text);
    }
    for (const auto &texts : std::as_const(textsByParent))
        for (qsizetype i = 0; i < texts.size(); ++i)
            for (qsizetype j = i + 1; j < texts.size(); ++j)
                if (texts[i].second.intersects(texts[j].second))
                    problems.Add(name, texts[i].first,
                                 QStringLiteral("runs into %1").arg(texts[j].first->objectName()));
}

} // namespace

class tst_WindowCaptions : public QObject {
    Q_OBJECT
private slots:
    void everyWindowShowsWholeCaptions_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("driveTypeE");
        QTest::newRow("Japanese") << int('1') << 0;
        QTest::newRow("Japanese, type E") << int('1') << 1;
        QTest::newRow("English") << int('2') << 0;
        QTest::newRow("English, type E") << int('2') << 1;
    }
    void everyWindowShowsWholeCaptions() {
        QFETCH(int, language);
        QFETCH(int, driveTypeE);
        FakeDialogs dialogs;
        TForm1 frame;
        frame.resize(1024, 768);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        ResetGlobals();
        Language = language;
        DriveTypeE = driveTypeE;
        frame.ApplyLanguage();
        // A trip with bits set from the start and a reference: every control has its text.
        for (int n = 0; n < SampleCount; ++n) {
            frame.Record.Flag[n][0] = n >= 70 ? 0x0001 : 0;
            frame.Record.Flag[n][2] = 0x0083;
        }
        frame.UseAsReference1->trigger();
        Problem problems;

        frame.N1->trigger();
        GraghForm->Button3->click(); // the channel window
        frame.N2->trigger();
        frame.N3->trigger();
        frame.N4->trigger();
        frame.Flag1->trigger();
        frame.Events1->trigger();
        QTest::qWait(1);
        QVERIFY(GraghForm->RefLabel1->isVisible() && EventsForm->StartList->isVisible());
        CheckWindow(QStringLiteral("graph"), GraghForm, problems);
        CheckWindow(QStringLiteral("channel names"), GraghForm->ChannelWindow(), problems);
        CheckWindow(QStringLiteral("bit graph"), Form4, problems);
        CheckWindow(QStringLiteral("data table"), Form3, problems);
        CheckWindow(QStringLiteral("communication"), Form5, problems);
        QMdiSubWindow *flags = frame.ClientArea()->subWindowList().constLast();
        CheckWindow(QStringLiteral("flags"), flags->widget(), problems);
        TAboutBox about(&frame);
        about.show();
        CheckWindow(QStringLiteral("version"), &about, problems);
        CheckWindow(QStringLiteral("events"), EventsForm, problems);
        frame.History1->trigger();
        CheckWindow(QStringLiteral("history"), HistoryForm, problems);
        // The numbers on the bit graph's axis, too.
        QCOMPARE(QFontInfo(Form4->BottomAxis->labelsFont()).family(),
                 QFontInfo(Form4->font()).family());

        // Windows narrower than their rows of check boxes and radio buttons wrap them.
        for (QWidget *window : std::initializer_list<QWidget *>{GraghForm, Form4}) {
            ChildFrameOf(window)->resize(560, ChildFrameOf(window)->height());
            QTest::qWait(1);
            QVERIFY(window->width() < 560);
        }
        CheckWindow(QStringLiteral("narrow graph"), GraghForm, problems);
        CheckWindow(QStringLiteral("narrow bit graph"), Form4, problems);

        // A user's own name longer than its column is shortened, its whole text at hand.
        const QString longName(40, QLatin1Char('W'));
        GraghForm->ChannelWindow()->Edit[2]->setText(longName);
        GraghForm->ChannelWindow()->OwnItem[2]->setChecked(true);
        GraghForm->ChannelWindow()->Button1->click();
        CheckWindow(QStringLiteral("graph with own name"), GraghForm, problems);
        QVERIFY2(problems.lines.isEmpty(), qPrintable(problems.lines.join(QLatin1Char('\n'))));
        QCOMPARE(GraghForm->CheckBox[2]->toolTip(), longName);
        QCOMPARE(GraghForm->CheckBox[2]->accessibleName(), longName);
        // A short name again shows whole, and the long one is gone from tooltip and name.
        GraghForm->ChannelWindow()->Edit[2]->setText(QStringLiteral("Pump"));
        GraghForm->ChannelWindow()->Button1Click();
        QCOMPARE(GraghForm->CheckBox[2]->text(), QStringLiteral("Pump"));
        QVERIFY(GraghForm->CheckBox[2]->toolTip().isEmpty());
        QVERIFY(GraghForm->CheckBox[2]->accessibleName().isEmpty());
    }

    // The reference's trigger point, date and time reach a screen reader with their values.
    void referenceValuesAreReadOut() {
        FakeDialogs dialogs;
        TForm1 frame;
        ResetGlobals();
        Language = '2';
        frame.ApplyLanguage();
        frame.N1->trigger();
        TraceUnits reference{frame.Record, 0, false};
        const std::int32_t header[HeaderCount] = {67, 24, 5, 17, 14, 32, 24, 5, 17, 14, 31};
        std::copy(std::begin(header), std::end(header), reference.Record.Header);
        frame.Document->SetReference(reference);
        const QStringList spoken = {QStringLiteral("Reference trigger point 33"),
                                    QStringLiteral("Reference trigger date ") +
                                        GraghForm->RefLabel2->text(),
                                    QStringLiteral("Reference trigger time ") +
                                        GraghForm->RefLabel3->text()};
        QLabel *labels[] = {GraghForm->RefLabel1, GraghForm->RefLabel2,
                                  GraghForm->RefLabel3};
        for (int i = 0; i < 3; ++i) {
            QVERIFY(!labels[i]->text().isEmpty());
            QAccessibleInterface *read = QAccessible::queryAccessibleInterface(labels[i]);
            QVERIFY(read);
            QCOMPARE(read->text(QAccessible::Name), spoken[i]);
        }
    }
};

QTEST_MAIN(tst_WindowCaptions)
#include "tst_WindowCaptions.moc"
