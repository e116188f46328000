#include "views/today/dlogsm.h"

DlogSM::DlogSM(QWidget* parent) : FormDialog(parent) {}
