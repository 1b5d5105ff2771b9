#pragma once
// Bit graph window (placeholder until the window is built).

#include <QWidget>

class TForm4 : public QWidget {
    Q_OBJECT
public:
    explicit TForm4(QWidget *parent = nullptr);
    ~TForm4() override;
};

/// The open Bit graph window. window, or nullptr.
extern TForm4 *Form4;
