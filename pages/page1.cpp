#include "pages/page1.h"

#include "calc/delays.h"
#include "calc/notelengths.h"
#include "res/resource.h"
#include "toolkit/listbox.h"
#include "toolkit/pushbutton.h"
#include "toolkit/tone.h"
#include "toolkit/updown.h"

namespace {

constexpr const char* kStartCycles = "4";
constexpr const char* kNoFrequency = "N/A";
constexpr int kFewestCycles = 1;
constexpr int kMostCycles = 100;
constexpr int kToneHz = 512;
constexpr int kToneMs = 75;

} // namespace

CPage1::CPage1(QWidget* parent)
    : CTempoPage(IDD_SIMPLE, parent)
{
    MapNotification(
        IDC_LENGTH_LIST, tk::Notification::SelChange, [this] { OnSelchangeLengthList(); });
    MapNotification(IDC_CYCLES, tk::Notification::Change, [this] { OnChangeCycles(); });
    MapNotification(IDC_TAP_TEMPO, tk::Notification::Clicked, [this] { OnTapTempo(); });
}

bool CPage1::OnInitDialog()
{
    tk::ListBox& lengths = ListBoxControl(IDC_LENGTH_LIST);
    lengths.ResetContent();
    for (const calc::NoteLength& length : calc::kNoteLengths)
        lengths.AddString(QString::fromLatin1(length.text.data(), qsizetype(length.text.size())));
    SelectFirstLength();
    UpDownControl(IDC_CYCLES_SPIN).SetRange(kFewestCycles, kMostCycles);
    InitTempoGroup();
    SetDlgItemText(IDC_CYCLES, kStartCycles);
    SetDlgItemText(IDC_FREQUENCY, kNoFrequency);
    return true;
}

bool CPage1::OnSetActive()
{
    ActivateTempoGroup();
    Recalculate();
    return CTempoPage::OnSetActive();
}

void CPage1::OnReset()
{
    SelectFirstLength();
    ResetTempoGroup();
    SetDlgItemText(IDC_CYCLES, kStartCycles);
    SetDlgItemText(IDC_FREQUENCY, kNoFrequency);
    Recalculate();
}

void CPage1::SelectFirstLength()
{
    m_nLength = 0;
    ListBoxControl(IDC_LENGTH_LIST).SetCurSel(0);
}

void CPage1::Recalculate()
{
    const std::string tempo = GetDlgItemText(IDC_TEMPO);
    const std::string delay = calc::DelayText(tempo, m_nLength);
    const std::string frequency = calc::FrequencyText(tempo, GetDlgItemText(IDC_CYCLES));
    SetDlgItemText(IDC_DELAY, delay);
    SetDlgItemText(IDC_FREQUENCY, frequency);
    WriteBackTempo(tempo);
}

void CPage1::OnSelchangeLengthList()
{
    m_nLength = ListBoxControl(IDC_LENGTH_LIST).GetCurSel();
    Recalculate();
}

void CPage1::OnChangeCycles()
{
    Recalculate();
}

void CPage1::OnTapTempo()
{
    // Timed by the press itself, however late this handler runs.
    const calc::TapTempo::Result tap = m_tap.Press(PushButtonControl(IDC_TAP_TEMPO).PressTime());
    if (tap.newSeries)
        tk::CurrentTone().Beep(kToneHz, kToneMs);
    if (tap.tempo) {
        m_strTempo = *tap.tempo;
        SetDlgItemText(IDC_TEMPO, m_strTempo);
    }
    Recalculate();
}
