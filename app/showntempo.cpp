#include "app/showntempo.h"

#include "app/songanalysis.h"
#include "res/resource.h"
#include "toolkit/edit.h"
#include "toolkit/propertypage.h"
#include "toolkit/propertysheet.h"

void TypeShownTempo(tk::PropertySheet& sheet, double bpm)
{
    tk::PropertyPage* page = sheet.GetActivePage();
    if (!page || !page->HasControls())
        return;
    tk::Edit& tempo = page->EditControl(IDC_TEMPO);
    tempo.setFocus(Qt::OtherFocusReason);
    tempo.selectAll();
    tempo.insert(SongTempoWords::Typed(bpm));
}
