#include "pages/tempopage.h"

#include "app/aboutdialog.h"
#include "app/mainsheet.h"
#include "app/tempoapp.h"
#include "calc/numberreading.h"
#include "res/dialogtemplates.h"
#include "res/resource.h"
#include "toolkit/edit.h"
#include "toolkit/scrollcode.h"
#include "toolkit/slider.h"
#include "toolkit/updown.h"

namespace {

constexpr int kSlowest = 10;
constexpr int kFastest = 350;
constexpr int kSliderMirror = 360; // position p stands for the tempo 360 - p
constexpr int kTickSpacing = 20;
constexpr int kLineStep = 1;
constexpr int kPageStep = 10;

} // namespace

CTempoPage::CTempoPage(int templateId, QWidget* parent)
    : tk::PropertyPage(res::DialogTemplate(templateId), parent)
{
    MapNotification(IDC_TEMPO, tk::Notification::Change, [this] { OnChangeTempo(); });
    MapNotification(IDC_RESET, tk::Notification::Clicked, [this] { OnResetButton(); });
    MapNotification(IDC_ABOUT, tk::Notification::Clicked, [this] { OnAbout(); });
}

void CTempoPage::InitTempoGroup()
{
    EditControl(IDC_TEMPO).AddContextEntry(tr("Tempo from Song &File..."), [this] {
        if (auto* sheet = qobject_cast<CMainSheet*>(window()))
            sheet->ChooseSongFile();
    });
    EditControl(IDC_TEMPO).AddContextEntry(tr("&Listen"), [this] {
        if (auto* sheet = qobject_cast<CMainSheet*>(window()))
            sheet->Listen();
    });
    UpDownControl(IDC_TEMPO_SPIN).SetRange(kSlowest, kFastest);
    m_strTempo = TheApp().m_strTempo;
    tk::Slider& slider = SliderControl(IDC_TEMPO_SLIDER);
    slider.SetRange(kSlowest, kFastest);
    PlaceSlider(m_strTempo);
    slider.SetTicFreq(kTickSpacing);
    slider.SetLineSize(kLineStep);
    slider.SetPageSize(kPageStep);
    SetDlgItemText(IDC_TEMPO, m_strTempo);
}

void CTempoPage::ActivateTempoGroup()
{
    m_strTempo = TheApp().m_strTempo;
    PlaceSlider(m_strTempo);
    SetDlgItemText(IDC_TEMPO, m_strTempo);
}

void CTempoPage::ResetTempoGroup()
{
    PlaceSlider(kResetTempo);
    m_strTempo = kResetTempo;
    SetDlgItemText(IDC_TEMPO, m_strTempo);
}

void CTempoPage::WriteBackTempo(const std::string& text)
{
    if (calc::ReadWholeNumber(text) >= 1)
        TheApp().m_strTempo = text;
}

void CTempoPage::PlaceSlider(const std::string& tempoText)
{
    // The slider clamps a position beyond its range to the nearer end; a
    // tempo below the range is mapped there directly, so that 360 - tempo
    // cannot overflow.
    const int tempo = calc::ReadWholeNumber(tempoText);
    const int position = tempo < kSliderMirror - kFastest ? kFastest : kSliderMirror - tempo;
    SliderControl(IDC_TEMPO_SLIDER).SetPos(position);
}

void CTempoPage::OnChangeTempo()
{
    tk::Edit& edit = EditControl(IDC_TEMPO);
    const std::string text = GetDlgItemText(IDC_TEMPO);
    const tk::Edit::Selection selection = edit.GetSel();
    const double tempo = calc::ReadNumber(text);
    if (tempo >= kSlowest && tempo <= kFastest)
        SliderControl(IDC_TEMPO_SLIDER).SetPos(kSliderMirror - static_cast<int>(tempo));
    Recompute();
    edit.SetSel(selection);
    edit.ScrollCaret();
}

void CTempoPage::OnVScroll(int code, int position, QWidget* control)
{
    if (code >= tk::ScrollLineUp && code <= tk::ScrollEnd)
        TempoFromSlider();
    tk::PropertyPage::OnVScroll(code, position, control);
}

void CTempoPage::TempoFromSlider()
{
    const int position = SliderControl(IDC_TEMPO_SLIDER).GetPos();
    m_strTempo = std::to_string(kSliderMirror - position);
    SetDlgItemText(IDC_TEMPO, m_strTempo);
    AfterTempoFromSlider();
}

void CTempoPage::OnResetButton()
{
    OnReset(); // each page's own Reset, through the page's virtual table
}

void CTempoPage::OnAbout()
{
    CAboutDialog about;
    about.DoModal();
}
