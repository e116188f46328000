#include "views/desktop/frmts.h"

Frmts::Frmts(QWidget* parent) : QWidget(parent) {}

Frmts* Frmts::openNew()
{
    auto* popup = new Frmts();
    popup->setObjectName(QStringLiteral("Frmts"));
    popup->setAttribute(Qt::WA_DeleteOnClose);
    popup->show();
    return popup;
}

qint64 Frmts::taskId() const { return 0; }
