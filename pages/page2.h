#pragma once

#include "pages/tempopage.h"

#include <optional>
#include <string>

// The Multi-tap page: the delays of twenty beat multipliers at the tempo,
// for the taps of a multi-tap echo. The multipliers are the editable labels
// of the list; they stay for the life of the sheet.
class CPage2 : public CTempoPage {
    Q_OBJECT

public:
    static constexpr int kRows = 20;

    explicit CPage2(QWidget* parent = nullptr);

    bool OnInitDialog() override;
    bool OnSetActive() override;
    void OnReset() override;

    void RecalcDelays();

protected:
    void Recompute() override { RecalcDelays(); }
    void AfterTempoFromSlider() override { RecalcDelays(); }

private:
    void OnEndLabelEdit(int row, const std::optional<std::string>& text);
};
