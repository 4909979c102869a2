#include "baresheet.h"

#include "calc/calc.h"
#include "res/dialogtemplates.h"
#include "res/resource.h"
#include "toolkit/dialogunits.h"
#include "toolkit/iconfolder.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kPages[] = {IDD_SIMPLE, IDD_MULTITAP, IDD_SONG_LENGTH};

QString Text(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

std::string Std(QWidget* edit)
{
    return static_cast<QLineEdit*>(edit)->text().toStdString();
}

} // namespace

BareSheet::BareSheet()
    : m_tabs(new QTabWidget(this))
{
    setWindowTitle(QStringLiteral("Beatwise - Delay Time Calculator"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    for (int page = 0; page < 3; ++page)
        Build(page);
    Connect();
    // The values Beatwise starts with.
    static_cast<QLineEdit*>(Control(0, IDC_CYCLES))->setText(QStringLiteral("4"));
    static_cast<QLineEdit*>(Control(2, IDC_SONG_BARS))->setText(QStringLiteral("0:0"));
    static_cast<QLineEdit*>(Control(2, IDC_SONG_TIME))->setText(QStringLiteral("00:00:00"));
    for (int page = 0; page < 3; ++page)
        static_cast<QLineEdit*>(Control(page, IDC_TEMPO))->setText(QStringLiteral("120"));
}

void BareSheet::Build(int page)
{
    std::vector<const tk::DialogTemplate*> templates;
    for (int id : kPages)
        templates.push_back(&res::DialogTemplate(id));
    auto* surface = new QWidget;
    const tk::DialogTemplate& dialog = *templates[size_t(page)];
    const tk::DialogUnits units(font(), *style(), templates);
    surface->setMinimumSize(units.ToPixels(dialog.width, dialog.height));
    QWidget* previous = nullptr;
    for (const tk::ControlTemplate& control : dialog.controls) {
        QRect rect = units.ToPixels(control.x, control.y, control.width, control.height);
        QWidget* widget = nullptr;
        switch (control.kind) {
        case tk::ControlKind::Edit:
            widget = new QLineEdit(surface);
            static_cast<QLineEdit*>(widget)->setReadOnly(control.flags & tk::ReadOnly);
            break;
        case tk::ControlKind::UpDown: {
            // At the right edge of its edit, which makes room for it.
            QRect edit = previous->geometry();
            edit.setWidth(edit.width() - rect.width());
            previous->setGeometry(edit);
            rect = QRect(edit.right() + 1, edit.top(), rect.width(), edit.height());
            widget = new QWidget(surface);
            auto* arrows = new QVBoxLayout(widget);
            arrows->setContentsMargins(0, 0, 0, 0);
            arrows->setSpacing(0);
            for (Qt::ArrowType arrow : {Qt::UpArrow, Qt::DownArrow}) {
                auto* button = new QToolButton(widget);
                button->setArrowType(arrow);
                arrows->addWidget(button);
            }
            break;
        }
        case tk::ControlKind::ListBox: {
            auto* list = new QListWidget(surface);
            for (const calc::NoteLength& length : calc::kNoteLengths)
                list->addItem(Text(length.text));
            list->setCurrentRow(0);
            widget = list;
            break;
        }
        case tk::ControlKind::ListView: {
            auto* tree = new QTreeWidget(surface);
            tree->setHeaderLabels({"Beat", "Delay(ms)", "No."});
            tree->setRootIsDecorated(false);
            for (int row = 0; row < 20; ++row)
                tree->addTopLevelItem(new QTreeWidgetItem(tree,
                    {QString::number(0.25 * (row + 1), 'f', 2), QString(),
                        QString::number(row + 1)}));
            widget = tree;
            break;
        }
        case tk::ControlKind::Slider: {
            auto* slider = new QSlider(Qt::Vertical, surface);
            slider->setRange(10, 350);
            slider->setTickPosition(QSlider::TicksRight);
            slider->setTickInterval(20);
            widget = slider;
            break;
        }
        case tk::ControlKind::Radio:
            widget = new QRadioButton(Text(control.text), surface);
            break;
        case tk::ControlKind::PushButton:
            widget = new QPushButton(Text(control.text), surface);
            break;
        case tk::ControlKind::Static: {
            auto* label = new QLabel(Text(control.text), surface);
            label->setWordWrap(tk::DialogUnits::Wraps(control));
            widget = label;
            break;
        }
        case tk::ControlKind::Icon: {
            auto* icon = new QLabel(surface);
            icon->setPixmap(tk::PixmapFromFolder(
                Text(control.text), qMin(rect.width(), rect.height()), icon->devicePixelRatioF()));
            widget = icon;
            break;
        }
        case tk::ControlKind::GroupBox:
            widget = new QGroupBox(Text(control.text), surface);
            widget->lower();
            break;
        }
        widget->setGeometry(rect);
        if (control.id != tk::kNoId)
            m_controls[{page, control.id}] = widget;
        previous = widget;
    }
    m_tabs->addTab(surface, Text(dialog.caption));
}

void BareSheet::Connect()
{
    for (int page = 0; page < 3; ++page) {
        auto* tempo = static_cast<QLineEdit*>(Control(page, IDC_TEMPO));
        auto* slider = static_cast<QSlider*>(Control(page, IDC_TEMPO_SLIDER));
        connect(tempo, &QLineEdit::textChanged, this, [this, page, slider](const QString& text) {
            const double value = calc::ReadNumber(text.toStdString());
            if (value >= 10 && value <= 350) {
                const QSignalBlocker quiet(slider);
                slider->setValue(360 - int(value));
            }
            Recompute(page);
        });
        connect(slider, &QSlider::actionTriggered, this,
            [tempo, slider] { tempo->setText(QString::number(360 - slider->sliderPosition())); });
    }
    auto* tap = static_cast<QPushButton*>(Control(0, IDC_TAP_TEMPO));
    connect(tap, &QPushButton::clicked, this, [this] {
        static calc::TapTempo taps;
        static std::int64_t now = 0;
        if (const auto tempo = taps.Press(now += 500).tempo)
            static_cast<QLineEdit*>(Control(0, IDC_TEMPO))->setText(QString::fromStdString(*tempo));
    });
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int page) {
        // Each page takes the tempo of the others when shown.
        auto* tempo = static_cast<QLineEdit*>(Control(page, IDC_TEMPO));
        tempo->setText(static_cast<QLineEdit*>(Control(0, IDC_TEMPO))->text());
    });
}

void BareSheet::Recompute(int page)
{
    const std::string tempo = Std(Control(page, IDC_TEMPO));
    if (page == 0) {
        const int length = static_cast<QListWidget*>(Control(0, IDC_LENGTH_LIST))->currentRow();
        static_cast<QLineEdit*>(Control(0, IDC_DELAY))
            ->setText(QString::fromStdString(calc::DelayText(tempo, length)));
        static_cast<QLineEdit*>(Control(0, IDC_FREQUENCY))
            ->setText(
                QString::fromStdString(calc::FrequencyText(tempo, Std(Control(0, IDC_CYCLES)))));
    } else if (page == 1) {
        auto* tree = static_cast<QTreeWidget*>(Control(1, IDC_MULTITAP_LIST));
        for (int row = 0; row < tree->topLevelItemCount(); ++row) {
            QTreeWidgetItem* item = tree->topLevelItem(row);
            item->setText(
                1, QString::fromStdString(calc::TapDelayText(tempo, item->text(0).toStdString())));
        }
    } else {
        const int beats = calc::ParseSongBars(Std(Control(2, IDC_SONG_BARS)), 4);
        static_cast<QLineEdit*>(Control(2, IDC_SONG_TIME))
            ->setText(
                QString::fromStdString(calc::FormatSongTime(calc::SecondsFromBeats(beats, tempo))));
    }
}
