#pragma once

#include "toolkit/modaldialog.h"

// The About box: the program's name, version and copyright.
class CAboutDialog : public tk::ModalDialog {
    Q_OBJECT

public:
    CAboutDialog();
};
