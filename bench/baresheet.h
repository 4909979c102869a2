#pragma once

#include <QDialog>

#include <map>
#include <utility>

class QTabWidget;

// The baseline of the benchmarks: the same controls at the same places, as
// any Qt program would show them, with none of Beatwise's own layer. Plain
// widgets built from the same templates at the same units, the outputs
// kept up to date through plain signals and the same calculations.
class BareSheet : public QDialog {
public:
    BareSheet();

    QTabWidget* Tabs() const { return m_tabs; }
    QWidget* Control(int page, int id) const { return m_controls.at({page, id}); }

private:
    void Build(int page);
    void Connect();
    void Recompute(int page);

    QTabWidget* m_tabs;
    std::map<std::pair<int, int>, QWidget*> m_controls;
};
