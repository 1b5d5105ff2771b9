#pragma once
// Data table window (placeholder until the window is built).

#include <QWidget>

class TForm3 : public QWidget {
    Q_OBJECT
public:
    explicit TForm3(QWidget *parent = nullptr);
    ~TForm3() override;
};

/// The open Data table window. window, or nullptr.
extern TForm3 *Form3;
