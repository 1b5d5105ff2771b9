#include "TForm8.h"

TForm8 *Form8 = nullptr;

TForm8::TForm8(QWidget *parent) : QWidget(parent) {
    Form8 = this;
    setAttribute(Qt::WA_DeleteOnClose);
}

TForm8::~TForm8() {
    if (Form8 == this)
        Form8 = nullptr;
}
