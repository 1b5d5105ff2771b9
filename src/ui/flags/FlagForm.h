#pragma once
// What the two flag explanation windows share: a heading, the read-only text and OK.

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;

class TFlagForm : public QWidget {
    Q_OBJECT
public:
    QLabel *Label1 = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
    QPushButton *Button1 = nullptr;

    /// Outer size of the window: fixed.
    static constexpr int FormWidth = 217;
    static constexpr int FormHeight = 550;

    /// Fixed size; the explanation text with line 29 as DriveTypeE is now.
    void FormCreate();
    /// The window closes: the menu item that opens a flag explanation is enabled again.
    void FormClose();

public slots:
    void Button1Click();

protected:
    /// japanese chooses the heading, the text and the font.
    TFlagForm(bool japanese, QWidget *parent);
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    bool japanese;
    bool placed = false;
};
