#pragma once

#include "toolkit/propertysheet.h"

// The main window: a property sheet with the three calculator pages.
class CMainSheet : public tk::PropertySheet {
    Q_OBJECT

public:
    CMainSheet(const QString& caption, QWidget* parent, int startPage);
};
