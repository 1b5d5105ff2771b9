#pragma once
// Version window: product name and version, closed with OK.

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget *parent = nullptr);
    ~TAboutBox() override;

    QFrame *Panel1 = nullptr;
    QLabel *ProgramIcon = nullptr;
    QLabel *ProductName = nullptr;
    QPushButton *OKButton = nullptr;
};

/// The version window while it is shown, or nullptr.
extern TAboutBox *AboutBox;
