#pragma once

#include "pages/tempopage.h"

// The Multi-tap page: the delays of twenty beat multipliers at the tempo.
class CPage2 : public CTempoPage {
    Q_OBJECT

public:
    explicit CPage2(QWidget* parent = nullptr);

    bool OnInitDialog() override;
    bool OnSetActive() override;
    void OnReset() override;

    void RecalcDelays();

protected:
    void Recompute() override { RecalcDelays(); }
    void AfterTempoFromSlider() override { RecalcDelays(); }
};
