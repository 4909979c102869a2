#include "pages/page2.h"

#include "calc/delays.h"
#include "res/resource.h"
#include "toolkit/listview.h"

namespace {

enum Column { kBeat, kDelay, kNumber };

const char* const kStartLabels[CPage2::kRows]
    = {"0.25", "0.33", "0.50", "0.66", "0.75", "1.00", "1.25", "1.33", "1.50", "1.66", "1.75",
        "2.00", "2.25", "2.50", "2.75", "3.00", "3.50", "4.00", "4.50", "5.00"};
constexpr int kResetRows = 10; // Reset relabels these as 1 to 10 beats and keeps the rest

} // namespace

CPage2::CPage2(QWidget* parent)
    : CTempoPage(IDD_MULTITAP, parent)
{
    MapLabelEdit(IDC_MULTITAP_LIST,
        [this](int row, const std::optional<std::string>& text) { OnEndLabelEdit(row, text); });
}

bool CPage2::OnInitDialog()
{
    tk::ListView& list = ListViewControl(IDC_MULTITAP_LIST);
    // The window's own grey behind the rows, as on the desktop it came from,
    // and in whatever colours the desktop's palette gives it.
    list.SetBackgroundRole(QPalette::Window, QPalette::WindowText);
    list.InsertColumn(kBeat, QStringLiteral("Beat"), 50);
    list.InsertColumn(kDelay, QStringLiteral("Delay(ms)"), 194);
    list.InsertColumn(kNumber, QStringLiteral("No."), 30);
    for (int row = 0; row < kRows; ++row) {
        list.InsertItem(row, QString::fromLatin1(kStartLabels[row]));
        list.SetItemText(row, kNumber, QString::number(row + 1));
    }
    InitTempoGroup();
    return true;
}

bool CPage2::OnSetActive()
{
    ActivateTempoGroup();
    RecalcDelays();
    return CTempoPage::OnSetActive();
}

void CPage2::OnReset()
{
    ResetTempoGroup();
    tk::ListView& list = ListViewControl(IDC_MULTITAP_LIST);
    for (int row = 0; row < kResetRows; ++row)
        list.SetItemText(row, kBeat, QString::number(row + 1));
    RecalcDelays();
}

void CPage2::RecalcDelays()
{
    if (!HasControls())
        return;
    const std::string tempo = GetDlgItemText(IDC_TEMPO);
    tk::ListView& list = ListViewControl(IDC_MULTITAP_LIST);
    for (int row = 0; row < kRows; ++row) {
        const std::string label = list.GetItemText(row, kBeat).toStdString();
        list.SetItemText(row, kDelay, QString::fromStdString(calc::TapDelayText(tempo, label)));
    }
    WriteBackTempo(tempo);
}

void CPage2::OnEndLabelEdit(int row, const std::optional<std::string>& text)
{
    // An emptied or cancelled edit keeps the label as it was.
    if (!text || text->empty())
        return;
    ListViewControl(IDC_MULTITAP_LIST).SetItemText(row, kBeat, QString::fromStdString(*text));
    RecalcDelays();
}
