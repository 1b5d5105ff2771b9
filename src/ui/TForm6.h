#pragma once
// Channel names window (placeholder until the window is built).

#include <QWidget>

class TForm6 : public QWidget {
    Q_OBJECT
public:
    explicit TForm6(QWidget *parent = nullptr);
    ~TForm6() override;
};

/// The open Channel names window. window, or nullptr.
extern TForm6 *Form6;
