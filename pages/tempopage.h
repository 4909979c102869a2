#pragma once

#include "toolkit/propertypage.h"

#include <string>

// The tempo control group that every page carries: the tempo edit with its
// up-down, the slider down the left edge (top: 350 bpm, bottom: 10 bpm),
// Reset and About. The tempo is text; the slider follows the typed value
// and the text follows the slider. Each page supplies its own recompute and
// decides when its tempo reaches the other pages.
class CTempoPage : public tk::PropertyPage {
    Q_OBJECT

public:
    static constexpr const char* kResetTempo = "140";

    explicit CTempoPage(int templateId, QWidget* parent = nullptr);

    // The page's own copy of the tempo text.
    const std::string& Tempo() const { return m_strTempo; }

protected:
    // The page's recompute, run after every change of the tempo edit's text.
    virtual void Recompute() = 0;
    // The last step of TempoFromSlider.
    virtual void AfterTempoFromSlider() = 0;

    // The tempo steps of initialisation, activation and Reset; each page
    // calls them from its own hooks, between its own steps.
    void InitTempoGroup();
    void ActivateTempoGroup();
    void ResetTempoGroup();

    // The shared tempo becomes the text when it holds a tempo of at least 1.
    static void WriteBackTempo(const std::string& text);

    void OnChangeTempo();
    void OnVScroll(int code, int position, QWidget* control) override;
    void TempoFromSlider();

    std::string m_strTempo;

private:
    void PlaceSlider(const std::string& tempoText);
    void OnResetButton();
    void OnAbout();
};
