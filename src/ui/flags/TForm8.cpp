#include "TForm8.h"

TForm8 *Form8 = nullptr;

TForm8::TForm8(QWidget *parent) : TFlagForm(false, parent) {
    Form8 = this;
    setObjectName(QStringLiteral("Form8"));
}

TForm8::~TForm8() {
    if (Form8 == this)
        Form8 = nullptr;
}
