#pragma once

#include "toolkit/dialogsurface.h"

namespace tk {

// One tab of a property sheet. The page object lives for the whole sheet;
// its controls are created the first time its tab is shown.
class PropertyPage : public DialogSurface {
    Q_OBJECT

public:
    explicit PropertyPage(const DialogTemplate& dialogTemplate, QWidget* parent = nullptr);

    QString Caption() const;

    // Right after the controls are created; true asks for the focus to go to
    // the first tab stop.
    virtual bool OnInitDialog() { return true; }
    // Each time the page becomes the shown page, the first time right after
    // OnInitDialog.
    virtual bool OnSetActive() { return true; }
    // When the sheet is cancelled, for every page that has its controls.
    virtual void OnReset() { }
};

} // namespace tk
