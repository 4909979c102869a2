#include "toolkit/dialogbuilder.h"

#include "toolkit/buttonmnemonic.h"
#include "toolkit/dialogsurface.h"
#include "toolkit/dialogunits.h"
#include "toolkit/edit.h"
#include "toolkit/groupbox.h"
#include "toolkit/iconfolder.h"
#include "toolkit/listbox.h"
#include "toolkit/listview.h"
#include "toolkit/pushbutton.h"
#include "toolkit/slider.h"
#include "toolkit/updown.h"

#include <QLabel>
#include <QRadioButton>

namespace tk {

namespace {

QString ToQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

bool Has(const ControlTemplate& control, ControlFlag flag)
{
    return (control.flags & flag) != 0;
}

Qt::FocusPolicy FocusPolicyOf(const ControlTemplate& control)
{
    switch (control.kind) {
    case ControlKind::Static:
    case ControlKind::Icon:
    case ControlKind::GroupBox:
    case ControlKind::UpDown:
        return Qt::NoFocus;
    default:
        return Has(control, TabStop) ? Qt::StrongFocus : Qt::ClickFocus;
    }
}

bool Contains(const ControlTemplate& outer, const ControlTemplate& inner)
{
    return inner.x >= outer.x && inner.y >= outer.y
        && inner.x + inner.width <= outer.x + outer.width
        && inner.y + inner.height <= outer.y + outer.height;
}

// A caption of several lines wraps; every other one fits its place, since
// the dialog units were made to fit them all.
void WrapLongCaption(QLabel* label, const ControlTemplate& control)
{
    label->setWordWrap(DialogUnits::Wraps(control));
}

} // namespace

DialogBuilder::DialogBuilder(DialogSurface& surface)
    : m_surface(surface)
{
}

void DialogBuilder::Build()
{
    const DialogUnits& units = m_surface.Units();
    QList<QWidget*> widgets;
    for (const ControlTemplate& control : m_surface.Template().controls) {
        QWidget* widget
            = Create(control, units.ToPixels(control.x, control.y, control.width, control.height),
                widgets.isEmpty() ? nullptr : widgets.last());
        widget->setFocusPolicy(FocusPolicyOf(control));
        if (!control.accessibleName.empty())
            widget->setAccessibleName(ToQString(control.accessibleName));
        widget->show();
        if (control.id != kNoId)
            m_surface.Register(control.id, widget);
        widgets << widget;
    }
    ConnectMnemonics(widgets);
}

QWidget* DialogBuilder::Create(const ControlTemplate& control, const QRect& rect, QWidget* previous)
{
    DialogSurface* surface = &m_surface;
    const QString text = ToQString(control.text);
    const int id = control.id;

    switch (control.kind) {
    case ControlKind::Edit: {
        auto* edit = new Edit(surface);
        edit->setGeometry(rect);
        edit->setReadOnly(Has(control, ReadOnly));
        QObject::connect(
            edit, &Edit::changed, surface, [=] { surface->Notify(id, Notification::Change); });
        QObject::connect(edit, &Edit::focusGained, surface,
            [=] { surface->Notify(id, Notification::SetFocus); });
        QObject::connect(
            edit, &Edit::focusLost, surface, [=] { surface->Notify(id, Notification::KillFocus); });
        return edit;
    }
    case ControlKind::UpDown: {
        auto* buddy = qobject_cast<Edit*>(previous);
        Q_ASSERT_X(buddy, "DialogBuilder", "an up-down follows its buddy edit");
        auto* upDown = new UpDown(buddy, surface);
        upDown->AttachToBuddy(rect.width());
        QObject::connect(upDown, &UpDown::scrolled, surface,
            [=](int code, int position) { surface->NotifyVScroll(code, position, upDown); });
        return upDown;
    }
    case ControlKind::ListBox: {
        auto* list = new ListBox(surface);
        list->setGeometry(rect);
        QObject::connect(list, &ListBox::selectionChanged, surface,
            [=] { surface->Notify(id, Notification::SelChange); });
        return list;
    }
    case ControlKind::ListView: {
        auto* view = new ListView(surface);
        view->setGeometry(rect);
        QObject::connect(view, &ListView::labelEdited, surface,
            [=](int row, const std::optional<QString>& label) {
                surface->NotifyLabelEdit(id, row,
                    label ? std::optional<std::string>(label->toStdString()) : std::nullopt);
            });
        return view;
    }
    case ControlKind::Slider: {
        auto* slider = new Slider(surface);
        slider->setGeometry(rect);
        QObject::connect(slider, &Slider::scrolled, surface,
            [=](int code, int position) { surface->NotifyVScroll(code, position, slider); });
        return slider;
    }
    case ControlKind::Radio: {
        auto* radio = new QRadioButton(text, surface);
        radio->setGeometry(rect);
        ClickLikeMouseOnMnemonic(radio);
        QObject::connect(radio, &QRadioButton::clicked, surface,
            [=] { surface->Notify(id, Notification::Clicked); });
        return radio;
    }
    case ControlKind::PushButton: {
        auto* button = new PushButton(text, surface);
        button->setGeometry(rect);
        ClickLikeMouseOnMnemonic(button);
        button->setDefault(Has(control, DefaultButton));
        QObject::connect(button, &PushButton::clicked, surface,
            [=] { surface->Notify(id, Notification::Clicked); });
        return button;
    }
    case ControlKind::Static: {
        auto* label = new QLabel(text, surface);
        label->setGeometry(rect);
        label->setAlignment(
            (Has(control, RightAligned) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop);
        WrapLongCaption(label, control);
        return label;
    }
    case ControlKind::Icon: {
        auto* icon = new QLabel(surface);
        icon->setGeometry(rect);
        icon->setAlignment(Qt::AlignCenter);
        if (Has(control, Sunken))
            icon->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        const int side = qMin(rect.width(), rect.height()) - 2 * icon->frameWidth();
        icon->setPixmap(PixmapFromFolder(text, side, icon->devicePixelRatioF()));
        return icon;
    }
    case ControlKind::GroupBox: {
        auto* group = new GroupBox(text, surface);
        group->setGeometry(rect);
        group->lower();
        return group;
    }
    }
    Q_UNREACHABLE();
}

void DialogBuilder::ConnectMnemonics(const QList<QWidget*>& widgets)
{
    const auto controls = m_surface.Template().controls;
    const qsizetype count = widgets.size();
    for (qsizetype i = 0; i < count; ++i) {
        const ControlTemplate& caption = controls[size_t(i)];
        const bool isGroup = caption.kind == ControlKind::GroupBox;
        if ((caption.kind != ControlKind::Static && !isGroup)
            || caption.text.find('&') == std::string_view::npos)
            continue;
        // A group box leads to the first tab stop it frames; a static, like
        // a group box framing none, to the next tab stop after it.
        QWidget* target = nullptr;
        for (qsizetype j = 0; isGroup && j < count && !target; ++j) {
            if (Has(controls[size_t(j)], TabStop) && Contains(caption, controls[size_t(j)]))
                target = widgets[j];
        }
        for (qsizetype step = 1; step < count && !target; ++step) {
            const qsizetype j = (i + step) % count;
            if (Has(controls[size_t(j)], TabStop))
                target = widgets[j];
        }
        if (auto* group = qobject_cast<GroupBox*>(widgets[i]))
            group->SetMnemonicTarget(target);
        else if (auto* label = qobject_cast<QLabel*>(widgets[i]))
            label->setBuddy(target);
    }
}

} // namespace tk
