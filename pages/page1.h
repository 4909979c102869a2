#pragma once

#include "pages/tempopage.h"

// The Simple page: the echo delay of a note length and the rate of a
// modulation effect at the tempo.
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
};
