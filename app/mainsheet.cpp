#include "app/mainsheet.h"

CMainSheet::CMainSheet(const QString& caption, QWidget* parent, int startPage)
    : tk::PropertySheet(caption, parent, startPage)
{
}
