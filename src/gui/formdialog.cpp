#include "gui/formdialog.h"

#include "gui/forms.h"
#include "gui/prompt.h"
#include "gui/views.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWindow>

FormDialog::FormDialog(QWidget* parent) : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
}

void FormDialog::reject()
{
    close();
}

void FormDialog::showEvent(QShowEvent* event)
{
    // A dialog of its own (no parent widget) is still a dialog of the frame: the window manager
    // keeps it above the frame, so it never falls behind it when the frame is clicked.
    QWidget* frame = Forms::find(Views::kFrame);
    if (!parentWidget() && frame && frame != this && frame->isVisible()) {
        winId();
        if (QWindow* own = windowHandle())
            own->setTransientParent(frame->windowHandle());
    }
    QDialog::showEvent(event);
}

void FormDialog::guardEdits(const QString& question, QAbstractButton* save)
{
    guardQuestion_ = question;
    guardSave_ = save;
    guardLoaded_ = fieldsNow();
}

QString FormDialog::fieldsNow() const
{
    QStringList parts;
    for (const QWidget* w : findChildren<QWidget*>()) {
        if (const auto* e = qobject_cast<const QLineEdit*>(w))
            parts << e->text();
        else if (const auto* p = qobject_cast<const QPlainTextEdit*>(w))
            parts << p->toPlainText();
        else if (const auto* t = qobject_cast<const QTextEdit*>(w))
            parts << t->toPlainText();
        else if (const auto* c = qobject_cast<const QComboBox*>(w))
            parts << QString::number(c->currentIndex()) + c->currentText();
        else if (const auto* s = qobject_cast<const QAbstractSpinBox*>(w))
            parts << s->text();
        else if (const auto* l = qobject_cast<const QAbstractSlider*>(w))
            parts << QString::number(l->value());
        else if (const auto* b = qobject_cast<const QAbstractButton*>(w); b && b->isCheckable())
            parts << QString::number(b->isChecked());
    }
    return parts.join(QChar(0x1f));
}

void FormDialog::closeEvent(QCloseEvent* event)
{
    if (guardSave_ && isVisible() && fieldsNow() != guardLoaded_) {
        const QMessageBox::StandardButton answer =
            MsgBox(guardQuestion_, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        if (answer == QMessageBox::Yes) {
            guardSave_->click();
            // A save that was refused or failed leaves the dialog open with what was typed.
            if (isVisible()) {
                event->ignore();
                return;
            }
        } else if (answer != QMessageBox::No) {
            event->ignore();
            return;
        }
    }
    QWidget::closeEvent(event);
    if (event->isAccepted())
        Forms::forget(this); // unloaded: the next use loads a new dialog
}
