#pragma once

#include "pages/tempopage.h"

// The Song Length page: a song's length as a time and as bars and beats,
// and the tempo that relates them.
class CPage3 : public CTempoPage {
    Q_OBJECT

public:
    explicit CPage3(QWidget* parent = nullptr);

    bool OnInitDialog() override;
    bool OnSetActive() override;
    void OnReset() override;

    void RecalcSongTime();
    // A tempo typed here stays here; only these steps pass it on.
    void StoreSharedTempo();

protected:
    void Recompute() override { RecalcSongTime(); }
    void AfterTempoFromSlider() override { StoreSharedTempo(); }
};
