#include "pages/page1.h"

#include "res/resource.h"

CPage1::CPage1(QWidget* parent)
    : CTempoPage(IDD_SIMPLE, parent)
{
}

bool CPage1::OnInitDialog()
{
    InitTempoGroup();
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
    ResetTempoGroup();
    Recalculate();
}

void CPage1::Recalculate()
{
    const std::string tempo = GetDlgItemText(IDC_TEMPO);
    WriteBackTempo(tempo);
}
