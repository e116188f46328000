#pragma once

#include <QDialog>
#include <QPointer>

class QAbstractButton;

// A dialog window of the program: shown modelessly above the main frame, Enter presses its
// default button, and Escape closes (unloads) it like its close button rather than merely hiding it.
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
    void showEvent(QShowEvent* event) override;

    // An edit dialog calls this once its fields hold the loaded record: closing it afterwards
    // with changed fields asks the question; 是 presses `save` (the dialog stays open when the
    // save is refused), 否 lets the changes go and 取消 keeps the dialog open.
    void guardEdits(const QString& question, QAbstractButton* save);
    // What the dialog's fields hold now, to tell whether anything was changed.
    virtual QString fieldsNow() const;

private:
    QString guardQuestion_;
    QPointer<QAbstractButton> guardSave_;
    QString guardLoaded_;
};
