#pragma once
// Flag explanation window, Japanese.

#include <QWidget>

class TForm7 : public QWidget {
    Q_OBJECT
public:
    explicit TForm7(QWidget *parent = nullptr);
    ~TForm7() override;
};

/// The open Flag explanation window, Japanese. window, or nullptr.
extern TForm7 *Form7;
