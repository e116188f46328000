#include "app/formdialog.h"

FormDialog::FormDialog(QWidget* parent) : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
}

void FormDialog::reject()
{
    close();
}
