#include "app/aboutdialog.h"

#include "res/dialogtemplates.h"
#include "res/resource.h"

CAboutDialog::CAboutDialog()
    : tk::ModalDialog(res::DialogTemplate(IDD_ABOUTBOX))
{
}
