#pragma once
// Flag explanation window, Japanese.

#include "FlagForm.h"

class TForm7 : public TFlagForm {
    Q_OBJECT
public:
    explicit TForm7(QWidget *parent = nullptr);
    ~TForm7() override;
};

/// The open Japanese flag explanation window, or nullptr.
extern TForm7 *Form7;
