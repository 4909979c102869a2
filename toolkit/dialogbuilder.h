#pragma once

#include "toolkit/dialogtemplate.h"

#include <QList>
#include <QRect>

class QWidget;

namespace tk {

class DialogSurface;

// Creates the controls of a surface's template in template order (which is
// also the tab order), each placed by its rectangle in dialog units of the
// surface's font, named for accessibility and wired to the surface's
// notifications.
class DialogBuilder {
public:
    explicit DialogBuilder(DialogSurface& surface);

    void Build();

private:
    QWidget* Create(const ControlTemplate& control, const QRect& rect, QWidget* previous);
    void ConnectMnemonics(const QList<QWidget*>& widgets);

    DialogSurface& m_surface;
};

} // namespace tk
