#pragma once

#include <QDialog>

namespace tk {

class DialogSurface;
struct DialogTemplate;

// A modal dialog laid out from a template. The button with id 1 closes it
// as OK, the one with id 2 as Cancel; Escape and the close button cancel.
class ModalDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr int kOk = 1;
    static constexpr int kCancel = 2;

    // Without a parent, the dialog belongs to the application's main window.
    explicit ModalDialog(const DialogTemplate& dialogTemplate, QWidget* parent = nullptr);

    int DoModal();
    DialogSurface& Surface() const { return *m_surface; }

private:
    DialogSurface* m_surface;
};

} // namespace tk
