#pragma once
// Flag explanation window, English.

#include "FlagForm.h"

class TForm8 : public TFlagForm {
    Q_OBJECT
public:
    explicit TForm8(QWidget *parent = nullptr);
    ~TForm8() override;
};

/// The open English flag explanation window, or nullptr.
extern TForm8 *Form8;
