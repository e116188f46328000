#include "gui/formdialog.h"

#include "gui/forms.h"

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
    if (event->isAccepted())
        Forms::forget(this); // unloaded: the next use loads a new dialog
}
