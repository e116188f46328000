#pragma once

#include "app/formdialog.h"

// Adds a motto or a mission statement, by the tab current in the today view.
class DlogSM : public FormDialog
{
    Q_OBJECT

public:
    explicit DlogSM(QWidget* parent = nullptr);
};
