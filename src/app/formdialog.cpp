#include "app/formdialog.h"

#include <QCloseEvent>

FormDialog::FormDialog(QWidget* parent) : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
}

void FormDialog::reject()
{
    close();
}

void FormDialog::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
}
