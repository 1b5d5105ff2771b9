#pragma once
// Flag explanation window, English.

#include <QWidget>

class TForm8 : public QWidget {
    Q_OBJECT
public:
    explicit TForm8(QWidget *parent = nullptr);
    ~TForm8() override;
};

/// The open Flag explanation window, English. window, or nullptr.
extern TForm8 *Form8;
