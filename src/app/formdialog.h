#pragma once

#include <QDialog>

// A dialog window of the program: shown modelessly, Enter presses its default button, and
// Escape closes (unloads) it like its close button rather than merely hiding it.
class FormDialog : public QDialog
{
    Q_OBJECT

public:
    explicit FormDialog(QWidget* parent = nullptr);

protected:
    void reject() override;
};
