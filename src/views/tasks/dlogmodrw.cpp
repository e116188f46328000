#include "views/tasks/dlogmodrw.h"

#include "app/forms.h"

Dlogmodrw::Dlogmodrw(QWidget* parent) : FormDialog(parent) {}

Dlogmodrw* Dlogmodrw::showShared()
{
    Dlogmodrw* d = Forms::instance<Dlogmodrw>();
    d->show();
    return d;
}

qint64 Dlogmodrw::taskId() const { return 0; }
