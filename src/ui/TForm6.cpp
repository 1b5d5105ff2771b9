#include "TForm6.h"

TForm6 *Form6 = nullptr;

TForm6::TForm6(QWidget *parent) : QWidget(parent) {
    Form6 = this;
    setAttribute(Qt::WA_DeleteOnClose);
}

TForm6::~TForm6() {
    if (Form6 == this)
        Form6 = nullptr;
}
