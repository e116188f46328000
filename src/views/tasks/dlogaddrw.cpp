#include "views/tasks/dlogaddrw.h"

#include "app/forms.h"

dlogaddrw::dlogaddrw(QWidget* parent) : FormDialog(parent) {}

dlogaddrw* dlogaddrw::showShared()
{
    dlogaddrw* d = Forms::instance<dlogaddrw>();
    d->show();
    return d;
}
