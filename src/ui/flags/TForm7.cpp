#include "TForm7.h"

TForm7 *Form7 = nullptr;

TForm7::TForm7(QWidget *parent) : TFlagForm(true, parent) {
    Form7 = this;
    setObjectName(QStringLiteral("Form7"));
}

TForm7::~TForm7() {
    if (Form7 == this)
        Form7 = nullptr;
}
