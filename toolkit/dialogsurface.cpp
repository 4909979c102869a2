#include "toolkit/dialogsurface.h"

#include "toolkit/dialogbuilder.h"
#include "toolkit/edit.h"
#include "toolkit/listbox.h"
#include "toolkit/listview.h"
#include "toolkit/pushbutton.h"
#include "toolkit/slider.h"
#include "toolkit/updown.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>

namespace tk {

namespace {

QString ToQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

} // namespace

DialogSurface::DialogSurface(const DialogTemplate& dialogTemplate, QWidget* parent)
    : QWidget(parent)
    , m_template(dialogTemplate)
{
}

const DialogUnits& DialogSurface::Units()
{
    if (!m_units) {
        const DialogTemplate* templates[] = {&m_template};
        ApplyUnits(DialogUnits(font(), *style(), templates));
    }
    return *m_units;
}

void DialogSurface::SetUnits(const DialogUnits& units)
{
    Q_ASSERT_X(!m_created, "DialogSurface", "units are set before the controls are built");
    ApplyUnits(units);
}

void DialogSurface::ApplyUnits(const DialogUnits& units)
{
    m_units = units;
    const QSize size = m_units->ToPixels(m_template.width, m_template.height);
    setMinimumSize(size);
    resize(size);
}

DialogSurface::~DialogSurface()
{
    // Controls still report while they are torn down (the focus leaving
    // them, for one); by then nothing of this dialog may answer.
    for (QObject* child : children())
        QObject::disconnect(child, nullptr, this, nullptr);
}

void DialogSurface::CreateControls()
{
    if (m_created)
        return;
    m_created = true;
    DialogBuilder(*this).Build();
}

void DialogSurface::Register(int id, QWidget* control)
{
    m_controls.insert(id, control);
}

QWidget* DialogSurface::GetDlgItem(int id) const
{
    return m_controls.value(id, nullptr);
}

template <typename Control> Control& DialogSurface::ControlOf(int id) const
{
    auto* control = qobject_cast<Control*>(GetDlgItem(id));
    if (!control)
        qFatal("dialog %d has no control %d of the kind asked for", m_template.id, id);
    return *control;
}

Edit& DialogSurface::EditControl(int id) const
{
    return ControlOf<Edit>(id);
}

Slider& DialogSurface::SliderControl(int id) const
{
    return ControlOf<Slider>(id);
}

UpDown& DialogSurface::UpDownControl(int id) const
{
    return ControlOf<UpDown>(id);
}

ListBox& DialogSurface::ListBoxControl(int id) const
{
    return ControlOf<ListBox>(id);
}

ListView& DialogSurface::ListViewControl(int id) const
{
    return ControlOf<ListView>(id);
}

PushButton& DialogSurface::PushButtonControl(int id) const
{
    return ControlOf<PushButton>(id);
}

void DialogSurface::SetDlgItemText(int id, std::string_view text)
{
    QWidget* control = GetDlgItem(id);
    const QString value = ToQString(text);
    if (auto* edit = qobject_cast<Edit*>(control))
        edit->SetText(value);
    else if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(value);
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->setText(value);
    else if (auto* group = qobject_cast<QGroupBox*>(control))
        group->setTitle(value);
}

std::string DialogSurface::GetDlgItemText(int id) const
{
    QWidget* control = GetDlgItem(id);
    if (auto* edit = qobject_cast<Edit*>(control))
        return edit->text().toStdString();
    if (auto* label = qobject_cast<QLabel*>(control))
        return label->text().toStdString();
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        return button->text().toStdString();
    if (auto* group = qobject_cast<QGroupBox*>(control))
        return group->title().toStdString();
    return {};
}

void DialogSurface::CheckDlgButton(int id, bool checked)
{
    auto* button = qobject_cast<QAbstractButton*>(GetDlgItem(id));
    if (!button)
        return;
    // An exclusive set refuses to clear its checked button; the program may.
    const bool exclusive = button->autoExclusive();
    button->setAutoExclusive(exclusive && checked);
    button->setChecked(checked);
    button->setAutoExclusive(exclusive);
}

bool DialogSurface::IsDlgButtonChecked(int id) const
{
    auto* button = qobject_cast<QAbstractButton*>(GetDlgItem(id));
    return button && button->isChecked();
}

void DialogSurface::FocusFirstTabStop()
{
    for (const ControlTemplate& control : m_template.controls) {
        if ((control.flags & TabStop) == 0)
            continue;
        if (QWidget* widget = GetDlgItem(control.id); widget && widget->isEnabled()) {
            widget->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void DialogSurface::MapNotification(int id, Notification code, std::function<void()> handler)
{
    m_handlers[{id, code}] = std::move(handler);
}

void DialogSurface::MapLabelEdit(
    int id, std::function<void(int, const std::optional<std::string>&)> handler)
{
    m_labelEditHandlers[id] = std::move(handler);
}

void DialogSurface::Notify(int id, Notification code)
{
    const auto handler = m_handlers.find({id, code});
    if (handler != m_handlers.end())
        handler->second();
}

void DialogSurface::NotifyLabelEdit(int id, int row, const std::optional<std::string>& text)
{
    const auto handler = m_labelEditHandlers.find(id);
    if (handler != m_labelEditHandlers.end())
        handler->second(row, text);
}

void DialogSurface::NotifyVScroll(int code, int position, QWidget* control)
{
    OnVScroll(code, position, control);
}

void DialogSurface::OnVScroll(int, int, QWidget*)
{
}

} // namespace tk
