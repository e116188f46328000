#include "shell/resources.h"

#include "data/resources.h"

#include <QtGlobal>

void initResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    Q_UNUSED(done);
    initDataResources();
}
