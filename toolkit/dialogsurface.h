#pragma once

#include "toolkit/dialogtemplate.h"
#include "toolkit/dialogunits.h"
#include "toolkit/notification.h"

#include <QHash>
#include <QWidget>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace tk {

class Edit;
class ListBox;
class ListView;
class PushButton;
class Slider;
class UpDown;

// The client area of a dialog or property page: its controls, built from a
// template and addressed by id, and the handlers mapped to their
// notifications. Handlers run synchronously, nested inside whatever raised
// the notification, including the program's own text writes.
class DialogSurface : public QWidget {
    Q_OBJECT

public:
    explicit DialogSurface(const DialogTemplate& dialogTemplate, QWidget* parent = nullptr);
    ~DialogSurface() override;

    const DialogTemplate& Template() const { return m_template; }

    // The units that place the controls and size the surface; unless set,
    // those that fit this template alone, worked out when first needed.
    // Dialogs shown together (the pages of a sheet) share units that fit
    // them all; set them before the controls are built.
    const DialogUnits& Units();
    void SetUnits(const DialogUnits& units);

    // Builds the controls; once only.
    void CreateControls();
    bool HasControls() const { return m_created; }

    QWidget* GetDlgItem(int id) const;
    void SetDlgItemText(int id, std::string_view text);
    std::string GetDlgItemText(int id) const;
    void CheckDlgButton(int id, bool checked);
    bool IsDlgButtonChecked(int id) const;

    Edit& EditControl(int id) const;
    Slider& SliderControl(int id) const;
    UpDown& UpDownControl(int id) const;
    ListBox& ListBoxControl(int id) const;
    ListView& ListViewControl(int id) const;
    PushButton& PushButtonControl(int id) const;

    // Gives the focus to the first tab stop in template order.
    void FocusFirstTabStop();

    // The message map.
    void MapNotification(int id, Notification code, std::function<void()> handler);
    void MapLabelEdit(
        int id, std::function<void(int row, const std::optional<std::string>& text)> handler);

    // Where the builder routes what the controls report.
    void Notify(int id, Notification code);
    void NotifyLabelEdit(int id, int row, const std::optional<std::string>& text);
    void NotifyVScroll(int code, int position, QWidget* control);

protected:
    // Every vertical scroll from any slider or up-down of this surface.
    virtual void OnVScroll(int code, int position, QWidget* control);

private:
    friend class DialogBuilder;
    void ApplyUnits(const DialogUnits& units);
    void Register(int id, QWidget* control);
    template <typename Control> Control& ControlOf(int id) const;

    const DialogTemplate& m_template;
    std::optional<DialogUnits> m_units;
    bool m_created = false;
    QHash<int, QWidget*> m_controls;
    std::map<std::pair<int, Notification>, std::function<void()>> m_handlers;
    std::map<int, std::function<void(int, const std::optional<std::string>&)>> m_labelEditHandlers;
};

} // namespace tk
