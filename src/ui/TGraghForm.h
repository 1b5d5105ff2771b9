#pragma once
// Numeric graph window (placeholder until the window is built).

#include <QWidget>

class TGraghForm : public QWidget {
    Q_OBJECT
public:
    explicit TGraghForm(QWidget *parent = nullptr);
    ~TGraghForm() override;
};

/// The open Numeric graph window. window, or nullptr.
extern TGraghForm *GraghForm;
