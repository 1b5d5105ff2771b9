#include "TForm5.h"

TForm5 *Form5 = nullptr;

TForm5::TForm5(QWidget *parent) : QWidget(parent) {
    Form5 = this;
    setAttribute(Qt::WA_DeleteOnClose);
}

TForm5::~TForm5() {
    if (Form5 == this)
        Form5 = nullptr;
}
