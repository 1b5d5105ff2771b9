#pragma once
// Communication window (placeholder until the window is built).

#include <QWidget>

class TForm5 : public QWidget {
    Q_OBJECT
public:
    explicit TForm5(QWidget *parent = nullptr);
    ~TForm5() override;
};

/// The open Communication window. window, or nullptr.
extern TForm5 *Form5;
