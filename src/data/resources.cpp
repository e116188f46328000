#include "data/resources.h"

#include <QtGlobal>

void initDataResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(data);
        return true;
    }();
    Q_UNUSED(done);
}
