#pragma once

#include "calc/taptempo.h"
#include "pages/tempopage.h"

// The Simple page: the echo delay of a note length and the rate of a
// modulation effect at the tempo, and the tempo tapped in by hand.
class CPage1 : public CTempoPage {
    Q_OBJECT

public:
    explicit CPage1(QWidget* parent = nullptr);

    bool OnInitDialog() override;
    bool OnSetActive() override;
    void OnReset() override;

    void Recalculate();

protected:
    void Recompute() override { Recalculate(); }
    void AfterTempoFromSlider() override { Recalculate(); }

private:
    void OnSelchangeLengthList();
    void OnChangeCycles();
    void OnTapTempo();
    void SelectFirstLength();

    calc::TapTempo m_tap; // kept for the page's whole life: Reset and visits leave it
    int m_nLength = 0; // index of the chosen note length
};
