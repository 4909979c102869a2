#pragma once

#include "toolkit/dialogsurface.h"
#include "toolkit/dialogtemplate.h"

#include <QStringList>

#include <array>

// A dialog with one control of each kind, which logs every notification it
// receives, in order, with what the notified control holds at that moment.
namespace probe {

inline constexpr int kEdit = 10;
inline constexpr int kSpin = 11;
inline constexpr int kList = 12;
inline constexpr int kReadOnly = 13;
inline constexpr int kView = 14;
inline constexpr int kSlider = 15;
inline constexpr int kRadioA = 16;
inline constexpr int kRadioB = 17;
inline constexpr int kButton = 18;
inline constexpr int kOther = 19;

using tk::ControlKind;
using tk::ControlTemplate;
using enum tk::ControlFlag;

inline constexpr std::array kControls = {
    ControlTemplate {tk::kNoId, ControlKind::Static, "&Value", 4, 4, 30, 8, NoFlags, "Value"},
    ControlTemplate {kEdit, ControlKind::Edit, "", 40, 4, 50, 12, TabStop, "Value"},
    ControlTemplate {kSpin, ControlKind::UpDown, "", 0, 0, 11, 12, NoFlags, "Value"},
    ControlTemplate {kList, ControlKind::ListBox, "", 40, 20, 50, 30, TabStop | Sorted, "Choices"},
    ControlTemplate {kReadOnly, ControlKind::Edit, "", 100, 4, 40, 12, ReadOnly, "Result"},
    ControlTemplate {kView, ControlKind::ListView, "", 100, 20, 120, 60, TabStop, "Rows"},
    ControlTemplate {kSlider, ControlKind::Slider, "", 4, 20, 20, 80, TabStop, "Level"},
    ControlTemplate {kRadioA, ControlKind::Radio, "&A", 40, 84, 20, 10, TabStop, "A"},
    ControlTemplate {kRadioB, ControlKind::Radio, "&B", 64, 84, 20, 10, TabStop, "B"},
    ControlTemplate {tk::kNoId, ControlKind::GroupBox, "&Pick", 36, 78, 60, 20, NoFlags, "Pick"},
    ControlTemplate {kButton, ControlKind::PushButton, "&Go", 230, 4, 40, 14, TabStop, "Go"},
    ControlTemplate {kOther, ControlKind::Edit, "", 230, 24, 40, 12, TabStop, "Other"},
};

inline constexpr tk::DialogTemplate kTemplate {900, "Probe", 280, 110, kControls};

} // namespace probe

class ProbeSurface : public tk::DialogSurface {
public:
    ProbeSurface()
        : tk::DialogSurface(probe::kTemplate)
    {
        CreateControls();
        for (int id : {probe::kEdit, probe::kReadOnly, probe::kOther}) {
            MapNotification(id, tk::Notification::Change,
                [this, id] { log << QStringLiteral("change %1 '%2'").arg(id).arg(Text(id)); });
            MapNotification(id, tk::Notification::SetFocus, [this, id] {
                if (logFocus)
                    log << QStringLiteral("setfocus %1").arg(id);
            });
            MapNotification(id, tk::Notification::KillFocus, [this, id] {
                if (logFocus)
                    log << QStringLiteral("killfocus %1").arg(id);
            });
        }
        for (int id : {probe::kRadioA, probe::kRadioB, probe::kButton})
            MapNotification(id, tk::Notification::Clicked,
                [this, id] { log << QStringLiteral("clicked %1").arg(id); });
        MapNotification(probe::kList, tk::Notification::SelChange,
            [this] { log << QStringLiteral("selchange"); });
        MapLabelEdit(probe::kView, [this](int row, const std::optional<std::string>& text) {
            log << QStringLiteral("label %1 %2")
                       .arg(row)
                       .arg(text ? QString::fromStdString("'" + *text + "'") : "none");
        });
    }

    QString Text(int id) const { return QString::fromStdString(GetDlgItemText(id)); }

    QStringList log;
    bool logFocus = false; // focus comes and goes as windows open; log it only when asked

protected:
    void OnVScroll(int code, int position, QWidget* control) override
    {
        log << QStringLiteral("vscroll %1 %2 %3")
                   .arg(code)
                   .arg(position)
                   .arg(control->accessibleName());
    }
};
