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
    // Closing goes through the plain window close, so the dialog is unloaded; the dialog's own
    // close handling would route it back through reject().
    void closeEvent(QCloseEvent* event) override;
};
