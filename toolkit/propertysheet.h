#pragma once

#include <QDialog>
#include <QList>

class QDialogButtonBox;
class QTabWidget;

namespace tk {

class PropertyPage;

// A modal sheet of pages shown as tabs in the order added, with OK and
// Cancel (no Apply). A page's controls are created the first time its tab
// is shown (OnInitDialog, then OnSetActive); every later showing runs
// OnSetActive only. Cancel, Escape and the window's close button cancel,
// which runs OnReset of every page that has its controls.
class PropertySheet : public QDialog {
    Q_OBJECT

public:
    explicit PropertySheet(const QString& caption, QWidget* parent = nullptr, int startPage = 0);

    void AddPage(PropertyPage* page);
    int GetPageCount() const { return int(m_pages.size()); }
    PropertyPage* GetPage(int index) const { return m_pages.value(index); }
    int GetActiveIndex() const;
    PropertyPage* GetActivePage() const { return GetPage(GetActiveIndex()); }
    void SetActivePage(int index);

    // Creates and activates the start page, then runs the sheet modally.
    int DoModal();
    // The same start, but shows the sheet without waiting.
    void Start();

    void reject() override;

    // An area left of OK and Cancel, empty until the application puts
    // something there (a progress bar, a short message).
    QWidget* StatusArea() const { return m_statusArea; }

private:
    void ActivateStartPage();
    void ActivatePage(int index, bool focusFirstControl);
    void OnTabChanged(int index);

    QTabWidget* m_tabs;
    QDialogButtonBox* m_buttons;
    QWidget* m_statusArea;
    QList<PropertyPage*> m_pages;
    int m_startPage;
    bool m_started = false;
};

} // namespace tk
