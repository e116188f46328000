#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// The login window. Loading it runs the first-run date shift of the sample data.
class frmlogin : public QDialog
{
    Q_OBJECT

public:
    explicit frmlogin(QWidget* parent = nullptr);

protected:
    void reject() override;

private:
    void Command1_Click();

    QLineEdit* txtPassword;
    QPushButton* Command1;
};
