#include "TForm3.h"

TForm3 *Form3 = nullptr;

TForm3::TForm3(QWidget *parent) : QWidget(parent) {
    Form3 = this;
    setAttribute(Qt::WA_DeleteOnClose);
}

TForm3::~TForm3() {
    if (Form3 == this)
        Form3 = nullptr;
}
