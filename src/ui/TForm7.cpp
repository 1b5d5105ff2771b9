#include "TForm7.h"

TForm7 *Form7 = nullptr;

TForm7::TForm7(QWidget *parent) : QWidget(parent) {
    Form7 = this;
    setAttribute(Qt::WA_DeleteOnClose);
}

TForm7::~TForm7() {
    if (Form7 == this)
        Form7 = nullptr;
}
