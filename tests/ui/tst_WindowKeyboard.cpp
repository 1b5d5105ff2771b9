// Every control of every window can be left with Tab and Shift+Tab: no control keeps the
// keyboard to itself.

#include "TForm1.h"
#include "TForm3.h"
#include "TForm4.h"
#include "TForm5.h"
#include "TForm6.h"
#include "TForm7.h"
#include "TForm8.h"
#include "TGraghForm.h"
#include "TimeViewState.h"
#include "WindowState.h"

#include <QAction>
#include <QApplication>
#include <QChartView>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

QWidget *OpenWindow(const QString &name) {
    if (name == QLatin1String("graph")) {
        Form1->N1->trigger();
        return GraghForm;
    }
    if (name == QLatin1String("channel names")) {
        Form1->N1->trigger();
        GraghForm->Button3->click();
        return GraghForm->ChannelWindow();
    }
    if (name == QLatin1String("bit graph")) {
        Form1->N2->trigger();
        return Form4;
    }
    if (name == QLatin1String("data table")) {
        Form1->N3->trigger();
        return Form3;
    }
    if (name == QLatin1String("communication")) {
        Form1->N4->trigger();
        return Form5;
    }
    if (name == QLatin1String("flags")) {
        Form1->Flag1->trigger();
        return Form7 ? static_cast<QWidget *>(Form7) : static_cast<QWidget *>(Form8);
    }
    return nullptr;
}

QString Describe(const QWidget *widget) {
    return widget ? QStringLiteral("%1 (%2)").arg(widget->objectName(),
                                                  widget->metaObject()->className())
                  : QStringLiteral("nothing");
}

} // namespace

class tst_WindowKeyboard : public QObject {
    Q_OBJECT
private slots:
    void init() {
        frame = std::make_unique<TForm1>();
        frame->show();
        QVERIFY(QTest::qWaitForWindowActive(frame.get()));
    }
    void cleanup() { frame.reset(); }

    void tabLeavesEveryControl_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<int>("language");
        for (const char *window :
             {"graph", "channel names", "bit graph", "data table", "communication", "flags"}) {
            QTest::addRow("%s, ja", window) << QString::fromLatin1(window) << int('1');
            QTest::addRow("%s, en", window) << QString::fromLatin1(window) << int('2');
        }
    }
    void tabLeavesEveryControl() {
        QFETCH(QString, window);
        QFETCH(int, language);
        Language = language;
        QWidget *form = OpenWindow(window);
        QVERIFY(form);
        QWidget *top = form->window();
        top->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(top));

        int checked = 0;
        for (QWidget *control : form->findChildren<QWidget *>()) {
            if (!control->isVisibleTo(form) || !control->isEnabled() ||
                !(control->focusPolicy() & Qt::TabFocus) || control->focusProxy())
                continue;
            for (const bool forward : {true, false}) {
                control->setFocus(Qt::OtherFocusReason);
                QTRY_COMPARE(QApplication::focusWidget(), control);
                if (forward)
                    QTest::keyClick(control, Qt::Key_Tab);
                else
                    QTest::keyClick(control, Qt::Key_Backtab, Qt::ShiftModifier);
                QVERIFY2(
                    QApplication::focusWidget() != control,
                    qPrintable(Describe(control) + (forward ? " keeps Tab" : " keeps Shift+Tab")));
            }
            ++checked;
        }
        QVERIFY(checked > 0);
    }

    // Tab reaches a chart of either chart window, and there the keys move the cursors.
    void tabReachesTheCharts_data() {
        QTest::addColumn<QString>("window");
        QTest::newRow("graph") << "graph";
        QTest::newRow("bit graph") << "bit graph";
    }
    void tabReachesTheCharts() {
        QFETCH(QString, window);
        QWidget *form = OpenWindow(window);
        if (GraghForm)
            GraghForm->CheckBox[1]->click();
        QVERIFY(QTest::qWaitForWindowActive(form->window()));
        for (int i = 0; i < 80 && !qobject_cast<QChartView *>(QApplication::focusWidget()); ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        auto *chart = qobject_cast<QChartView *>(QApplication::focusWidget());
        QVERIFY2(chart, "no Tab stop on a chart");
        QVERIFY(!chart->accessibleName().isEmpty());
        TimeViewState &view = frame->Document->TimeView();
        view.ClearCursors();
        QTest::keyClick(chart, Qt::Key_Right);
        QTest::keyClick(chart, Qt::Key_Right, Qt::ShiftModifier);
        QVERIFY(view.View().A && view.View().B);
        view.Zoom(50, 2);
        QTest::keyClick(chart, Qt::Key_Home);
        QVERIFY(view.View().ShowsAll());
    }

    // Tab goes through the communication window in the order it reads.
    void communicationTabOrder() {
        TForm5 *form = static_cast<TForm5 *>(OpenWindow(QStringLiteral("communication")));
        QVERIFY(QTest::qWaitForWindowActive(form->window()));
        QWidget *port = form->RadioGroup1->findChild<QWidget *>(QStringLiteral("PortItem0"));
        port->setFocus(Qt::TabFocusReason);
        QList<QWidget *> expected;
        if (form->DeviceEdit->isVisibleTo(form))
            expected << form->DeviceEdit;
        expected << form->RadioGroup2->findChild<QWidget *>(QStringLiteral("DataItem0"))
                 << form->Button2 << form->Button3 << form->Button1;
        for (QWidget *next : expected) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(Describe(QApplication::focusWidget()), Describe(next));
        }
    }

private:
    std::unique_ptr<TForm1> frame;
};

QTEST_MAIN(tst_WindowKeyboard)
#include "tst_WindowKeyboard.moc"
