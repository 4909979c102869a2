#include "pages/page3.h"

#include "app/tempoapp.h"
#include "calc/numberreading.h"
#include "calc/numbertext.h"
#include "calc/songlength.h"
#include "res/resource.h"
#include "toolkit/pushbutton.h"
#include "toolkit/tone.h"

#include <limits>

namespace {

constexpr const char* kNoTime = "00:00:00";
constexpr const char* kNoBars = "0:0";
constexpr int kToneHz = 512;
constexpr int kToneMs = 75;

struct Signature {
    int id;
    int beatsPerBar;
};
constexpr Signature kSignatures[] = {{IDC_SIG_4_4, 4}, {IDC_SIG_3_4, 3}, {IDC_SIG_6_8, 6},
    {IDC_SIG_2_4, 2}, {IDC_SIG_5_8, 5}, {IDC_SIG_7_8, 7}};

} // namespace

CPage3::CPage3(QWidget* parent)
    : CTempoPage(IDD_SONG_LENGTH, parent)
{
    for (const Signature& signature : kSignatures) {
        MapNotification(signature.id, tk::Notification::Clicked,
            [this, beats = signature.beatsPerBar] { OnTimeSignature(beats); });
    }
    MapNotification(IDC_COUNT, tk::Notification::Clicked, [this] { OnCount(); });
    MapNotification(IDC_SONG_BARS, tk::Notification::Change, [this] { OnChangeSongBars(); });
    MapNotification(IDC_SONG_TIME, tk::Notification::Change, [this] { OnChangeSongTime(); });
    MapNotification(IDC_SONG_TIME, tk::Notification::SetFocus, [this] { OnSetFocusSongTime(); });
    MapNotification(IDC_SONG_TIME, tk::Notification::KillFocus, [this] { OnKillFocusSongTime(); });
    MapNotification(IDC_SONG_BARS, tk::Notification::SetFocus, [this] { OnSetFocusSongBars(); });
    MapNotification(IDC_SONG_BARS, tk::Notification::KillFocus, [this] { OnKillFocusSongBars(); });
}

bool CPage3::OnInitDialog()
{
    InitTempoGroup();
    ShowPlaceholders();
    CheckDlgButton(IDC_SIG_4_4, true);
    return true;
}

bool CPage3::OnSetActive()
{
    ActivateTempoGroup();
    m_nBeats = 0;
    m_counter.WaitForFirstBeat();
    ShowPlaceholders();
    StoreSharedTempo();
    return CTempoPage::OnSetActive();
}

void CPage3::OnReset()
{
    // A count under way goes on: only the beat total starts over.
    ResetTempoGroup();
    ShowPlaceholders();
    m_nBeats = 0;
    StoreSharedTempo();
}

void CPage3::ShowPlaceholders()
{
    SetDlgItemText(IDC_SONG_BARS, kNoBars);
    SetDlgItemText(IDC_SONG_TIME, kNoTime);
}

void CPage3::StoreSharedTempo()
{
    WriteBackTempo(m_strTempo);
}

void CPage3::StoreComputedTempo(float tempo)
{
    m_strTempo = calc::FormatNumber(tempo);
    TheApp().m_strTempo = m_strTempo;
}

void CPage3::ShowSongBars()
{
    SetDlgItemText(IDC_SONG_BARS, calc::FormatSongBars(m_nBeats, m_nBeatsPerBar));
}

void CPage3::RecalcSongTime()
{
    m_nBeats = calc::ParseSongBars(GetDlgItemText(IDC_SONG_BARS), m_nBeatsPerBar);
    if (m_nBeats > 0 && !m_bTempoFromLength && !m_bTimeFromBars) {
        const int seconds = calc::SecondsFromBeats(m_nBeats, GetDlgItemText(IDC_TEMPO));
        SetDlgItemText(IDC_SONG_TIME, calc::FormatSongTime(seconds));
    }
}

void CPage3::DeriveTempo(int beats, int seconds)
{
    if (seconds <= 0)
        return; // no time to derive a tempo from: the tempo stays as it is
    StoreComputedTempo(calc::TempoFromLength(beats, seconds));
    SetDlgItemText(IDC_TEMPO, m_strTempo);
}

void CPage3::OnChangeSongBars()
{
    const std::string bars = GetDlgItemText(IDC_SONG_BARS);
    if (bars.empty() || !m_bEditingBars)
        return;
    const int beats = calc::ParseSongBars(bars, m_nBeatsPerBar);
    if (!m_bTempoFromLength && !m_bTimeFromBars) {
        if (GetDlgItemText(IDC_SONG_TIME).empty())
            m_bTimeFromBars = true;
        else
            m_bTempoFromLength = true;
    }
    if (m_bTempoFromLength) {
        const int seconds = calc::ParseSongTime(GetDlgItemText(IDC_SONG_TIME));
        if (beats > 0) {
            m_nBeats = beats;
            DeriveTempo(beats, seconds);
        }
        return;
    }
    m_nBeats = beats;
    const std::string tempo = GetDlgItemText(IDC_TEMPO);
    if (m_nBeats > 0 && calc::ReadNumber(tempo) > 0)
        SetDlgItemText(
            IDC_SONG_TIME, calc::FormatSongTime(calc::SecondsFromBeats(m_nBeats, tempo)));
}

void CPage3::OnChangeSongTime()
{
    const std::string time = GetDlgItemText(IDC_SONG_TIME);
    if (time.empty() || !m_bEditingTime)
        return;
    const int seconds = calc::ParseSongTime(time);
    if (!m_bTempoFromLength && !m_bBarsFromTime) {
        if (GetDlgItemText(IDC_SONG_BARS).empty())
            m_bBarsFromTime = true;
        else
            m_bTempoFromLength = true;
    }
    if (m_bTempoFromLength) {
        m_nBeats = calc::ParseSongBars(GetDlgItemText(IDC_SONG_BARS), m_nBeatsPerBar);
        if (m_nBeats > 0)
            DeriveTempo(m_nBeats, seconds);
        return;
    }
    const std::string tempo = GetDlgItemText(IDC_TEMPO);
    if (calc::ReadNumber(tempo) > 0 && seconds > 0) {
        m_nBeats = calc::BeatsFromSeconds(seconds, tempo);
        ShowSongBars();
    }
}

void CPage3::SetFocusPeriod(bool& editing, bool& lengthFromOther, bool focused)
{
    // Gaining or losing the focus both start the direction afresh.
    editing = focused;
    lengthFromOther = false;
    m_bTempoFromLength = false;
}

void CPage3::OnSetFocusSongTime()
{
    SetFocusPeriod(m_bEditingTime, m_bBarsFromTime, true);
}

void CPage3::OnKillFocusSongTime()
{
    SetFocusPeriod(m_bEditingTime, m_bBarsFromTime, false);
}

void CPage3::OnSetFocusSongBars()
{
    SetFocusPeriod(m_bEditingBars, m_bTimeFromBars, true);
}

void CPage3::OnKillFocusSongBars()
{
    SetFocusPeriod(m_bEditingBars, m_bTimeFromBars, false);
}

void CPage3::OnTimeSignature(int beatsPerBar)
{
    m_nBeatsPerBar = beatsPerBar;
    ShowSongBars();
}

void CPage3::OnCount()
{
    if (m_counter.Press(PushButtonControl(IDC_COUNT).PressTime())) {
        tk::CurrentTone().Beep(kToneHz, kToneMs);
        m_nBeats = 0;
        ShowPlaceholders();
    }
    if (m_nBeats < std::numeric_limits<int>::max()) // a typed total may already be at the limit
        ++m_nBeats;
    ShowSongBars();
    ShowElapsed();
    StoreComputedTempo(m_counter.MeasuredTempo(m_nBeats));
    if (m_nBeats > 1)
        SetDlgItemText(IDC_TEMPO, m_strTempo);
}

void CPage3::ShowElapsed()
{
    SetDlgItemText(IDC_SONG_TIME, calc::FormatSongTime(m_counter.ElapsedSeconds()));
}
