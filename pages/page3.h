#pragma once

#include "calc/beatcounter.h"
#include "pages/tempopage.h"

#include <string>

// The Song Length page: a song's length as a time and as bars and beats in
// one of six time signatures, the tempo that relates them, and the Count
// button that counts the beats of a playing song.
//
// Each length field is edited in focus periods: the first change of a
// period that leaves text in the field picks its direction (the other
// length, or the tempo from both) from whether the other field is empty,
// and the page's own writes into the fields convert nothing because those
// fields do not have the focus.
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
    void StoreComputedTempo(float tempo);
    void ShowSongBars();

protected:
    void Recompute() override { RecalcSongTime(); }
    void AfterTempoFromSlider() override { StoreSharedTempo(); }

private:
    void OnChangeSongBars();
    void OnChangeSongTime();
    void SetFocusPeriod(bool& editing, bool& lengthFromOther, bool focused);
    void OnSetFocusSongTime();
    void OnKillFocusSongTime();
    void OnSetFocusSongBars();
    void OnKillFocusSongBars();
    void OnTimeSignature(int beatsPerBar);
    void OnCount();
    void ShowElapsed();
    void ShowPlaceholders();
    // Tempo from both lengths; a time that reads 0 seconds gives none.
    void DeriveTempo(int beats, int seconds);

    bool m_bEditingTime = false;
    bool m_bBarsFromTime = false;
    calc::BeatCounter m_counter;
    int m_nBeats = 0;
    int m_nBeatsPerBar = 4;
    bool m_bEditingBars = false;
    bool m_bTimeFromBars = false;
    bool m_bTempoFromLength = false;
};
