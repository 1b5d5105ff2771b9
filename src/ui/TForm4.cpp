#include "TForm4.h"

TForm4 *Form4 = nullptr;

TForm4::TForm4(QWidget *parent) : QWidget(parent) {
    Form4 = this;
    setAttribute(Qt::WA_DeleteOnClose);
}

TForm4::~TForm4() {
    if (Form4 == this)
        Form4 = nullptr;
}
