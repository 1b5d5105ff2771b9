#include "TGraghForm.h"

TGraghForm *GraghForm = nullptr;

TGraghForm::TGraghForm(QWidget *parent) : QWidget(parent) {
    GraghForm = this;
    setAttribute(Qt::WA_DeleteOnClose);
}

TGraghForm::~TGraghForm() {
    if (GraghForm == this)
        GraghForm = nullptr;
}
