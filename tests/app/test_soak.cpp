// A seeded random walk of user events over the whole sheet, on real widgets
// offscreen. After every event the pages must still show what the
// calculations give for the texts they show, the sliders must stand where
// the tempo rules put them, and the shared tempo must have been written back
// only as those rules allow.
//
// BEATWISE_SOAK_SEED replays a walk; BEATWISE_SOAK_EVENTS sets its length.
#include "calc/calc.h"
#include "res/resource.h"
#include "support/fakes.h"
#include "support/sheetharness.h"
#include "support/uitest.h"
#include "toolkit/edit.h"
#include "toolkit/listbox.h"
#include "toolkit/listview.h"
#include "toolkit/slider.h"
#include "toolkit/updown.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QRadioButton>
#include <QTabBar>
#include <QToolButton>
#include <QtTest>

#include <array>
#include <random>

namespace {

constexpr quint64 kDefaultSeed = 20261207;
constexpr int kDefaultEvents = 20000;
constexpr int kSimple = 0;
constexpr int kMultitap = 1;
constexpr int kSongLength = 2;

quint64 SettingFromEnvironment(const char* name, quint64 fallback)
{
    bool ok = false;
    const quint64 value = qEnvironmentVariable(name).toULongLong(&ok);
    return ok ? value : fallback;
}

// What an event did to the shared tempo, as far as the rules care.
enum class Kind {
    Other, // may not write the shared tempo on the Song Length page
    TempoTyped, // a keystroke or paste into a tempo edit
    TempoStepped, // slider, up-down or Reset: any tempo comes from the slider
    LengthTyped, // a keystroke into a Song Length field: may derive a tempo
    Counted, // a Count press stores the measured tempo
    Activated, // a tab switch showed a page
};

const QStringList kCharacters {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "0", "1", "2", "5",
    ".", ".", "e", "E", "d", "D", "-", "+", " ", ":", ":", "/", ",", "x", "a", "\u00e4", "\u20ac",
    "\u4e2d", "\U0001F3B5", "\u00a0"};
const std::array kEditingKeys {Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Left, Qt::Key_Right,
    Qt::Key_Home, Qt::Key_End, Qt::Key_Up, Qt::Key_Down};
const std::array kNavigationKeys {Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown,
    Qt::Key_Home, Qt::Key_End, Qt::Key_Left, Qt::Key_Right};

class SoakWalk {
public:
    SoakWalk(SheetHarness& harness, FakeClock& clock, quint64 seed)
        : m_harness(harness)
        , m_clock(clock)
        , m_random(seed)
    {
    }

    // One user event on the page shown; returns what it was.
    QString Step()
    {
        m_before = Snapshot();
        m_kind = Kind::Other;
        QString event;
        while (event.isEmpty())
            event = TryEvent(Pick(12));
        QCoreApplication::processEvents();
        return event;
    }

    // What the pages show that the rules do not allow; empty when all is well.
    QString Violation() const
    {
        if (!m_harness.sheet.isVisible())
            return "the sheet closed";
        for (int index = 0; index < 3; ++index) {
            const CTempoPage& page = m_harness.Page(index);
            if (!page.HasControls())
                continue;
            if (const QString wrong = WrongOutputs(index); !wrong.isEmpty())
                return wrong;
            const int slider = page.SliderControl(IDC_TEMPO_SLIDER).GetPos();
            if (slider != ExpectedSlider(index))
                return QStringLiteral("page %1: slider at %2 for tempo \"%3\", expected %4")
                    .arg(index)
                    .arg(slider)
                    .arg(Text(index, IDC_TEMPO))
                    .arg(ExpectedSlider(index));
        }
        if (!SharedTempoAllowed())
            return QStringLiteral("shared tempo \"%1\" (was \"%2\") after page %3 shows \"%4\"")
                .arg(QString::fromStdString(m_harness.app->m_strTempo), m_before.shared)
                .arg(Current())
                .arg(Text(Current(), IDC_TEMPO));
        return {};
    }

private:
    struct State {
        QString shared;
        std::array<int, 3> sliders {};
        int current = 0;
    };

    State Snapshot() const
    {
        State state {QString::fromStdString(m_harness.app->m_strTempo), {}, Current()};
        for (int index = 0; index < 3; ++index) {
            if (m_harness.Page(index).HasControls())
                state.sliders[size_t(index)]
                    = m_harness.Page(index).SliderControl(IDC_TEMPO_SLIDER).GetPos();
        }
        return state;
    }

    int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(m_random); }
    template <typename List> auto PickFrom(const List& list)
    {
        return list[size_t(Pick(int(std::size(list))))];
    }

    int Current() const { return m_harness.sheet.GetActiveIndex(); }
    CTempoPage& Shown() const { return m_harness.Page(Current()); }
    QString Text(int index, int id) const
    {
        return QString::fromStdString(m_harness.Page(index).GetDlgItemText(id));
    }

    // The event number n on the page shown, or an empty text where it does
    // not apply there (another is drawn then).
    QString TryEvent(int n)
    {
        CTempoPage& page = Shown();
        QWidget* focus = QApplication::focusWidget();
        switch (n) {
        case 0:
        case 1:
        case 2:
        case 3:
            return Keystroke(focus);
        case 4:
            return ClickEdit(page);
        case 5:
            return Paste(focus);
        case 6: {
            const int spin = Current() == kSimple && Pick(2) ? IDC_CYCLES_SPIN : IDC_TEMPO_SPIN;
            const auto arrows = page.GetDlgItem(spin)->findChildren<QToolButton*>();
            const int arrow = Pick(2);
            m_kind = Kind::TempoStepped;
            QTest::mouseClick(arrows.at(arrow), Qt::LeftButton);
            return QStringLiteral("click up-down %1 %2").arg(spin).arg(arrow ? "down" : "up");
        }
        case 7: {
            tk::Slider& slider = page.SliderControl(IDC_TEMPO_SLIDER);
            m_kind = Kind::TempoStepped;
            if (!slider.hasFocus()) {
                const QPoint at(slider.width() / 2, Pick(slider.height()));
                QTest::mouseClick(&slider, Qt::LeftButton, {}, at);
                return QStringLiteral("click slider at %1").arg(at.y());
            }
            const Qt::Key key = PickFrom(kNavigationKeys);
            QTest::keyClick(&slider, key);
            return QStringLiteral("slider key %1").arg(key, 0, 16);
        }
        case 8: {
            auto* tabs = m_harness.sheet.findChild<QTabBar*>();
            const int index = Pick(3);
            m_kind = index == Current() ? Kind::Other : Kind::Activated;
            QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
            return QStringLiteral("tab %1").arg(index);
        }
        case 9:
            return PageSpecific(page);
        case 10: {
            const bool back = Pick(2);
            QTest::keyClick(
                focus ? focus : &page, Qt::Key_Tab, back ? Qt::ShiftModifier : Qt::NoModifier);
            return back ? QStringLiteral("shift+tab") : QStringLiteral("tab");
        }
        default:
            if (Pick(8) != 0)
                return {};
            m_kind = Kind::TempoStepped;
            ClickAt(page.GetDlgItem(IDC_RESET), 0);
            return QStringLiteral("Reset");
        }
    }

    QString Keystroke(QWidget* focus)
    {
        if (auto* edit = qobject_cast<QLineEdit*>(focus)) {
            const bool labelEditor = !qobject_cast<tk::Edit*>(edit);
            NoteTyping(edit, false);
            if (labelEditor) {
                switch (Pick(6)) {
                case 0:
                    QTest::keyClick(edit, Qt::Key_Return);
                    return QStringLiteral("commit label");
                case 1:
                    QTest::keyClick(edit, Qt::Key_Escape);
                    return QStringLiteral("cancel label");
                case 2:
                    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
                    QTest::keyClick(edit, Qt::Key_Delete);
                    QTest::keyClick(edit, Qt::Key_Return);
                    return QStringLiteral("clear label");
                default:
                    break;
                }
            }
            if (Pick(3) == 0) {
                const Qt::Key key = PickFrom(kEditingKeys);
                NoteTyping(edit, key == Qt::Key_Up || key == Qt::Key_Down);
                QTest::keyClick(edit, key, Pick(4) ? Qt::NoModifier : Qt::ShiftModifier);
                return QStringLiteral("key %1").arg(key, 0, 16);
            }
            if (Pick(12) == 0) {
                QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
                return QStringLiteral("select all");
            }
            const QString text = PickFrom(kCharacters);
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, text, Qt::NoModifier);
            return QStringLiteral("type \"%1\"").arg(text);
        }
        // Lists, sliders and radio buttons take the arrow keys; nothing
        // else is typed at, so that no key closes the sheet or opens a box.
        const bool navigable = qobject_cast<tk::ListBox*>(focus)
            || qobject_cast<tk::ListView*>(focus) || qobject_cast<tk::Slider*>(focus)
            || qobject_cast<QRadioButton*>(focus);
        if (!navigable)
            return {};
        if (qobject_cast<tk::Slider*>(focus))
            m_kind = Kind::TempoStepped;
        if (qobject_cast<tk::ListView*>(focus) && Pick(3) == 0) {
            QTest::keyClick(focus, Qt::Key_F2);
            return QStringLiteral("F2");
        }
        const Qt::Key key = PickFrom(kNavigationKeys);
        QTest::keyClick(focus, key);
        return QStringLiteral("navigation key %1").arg(key, 0, 16);
    }

    // Texts a user pastes: long digit runs, exponents, blanks, other scripts.
    QString Paste(QWidget* focus)
    {
        auto* edit = qobject_cast<QLineEdit*>(focus);
        if (!edit)
            return {};
        QString text;
        switch (Pick(5)) {
        case 0:
            text = QString(1 + Pick(3000), QChar(u'0' + Pick(10)));
            break;
        case 1:
            text = QStringLiteral("1") + QString(Pick(400), u'0') + "e-"
                + QString::number(Pick(2000));
            break;
        case 2:
            text = QStringLiteral(" \t 12%1.5e%2").arg(Pick(100)).arg(Pick(700) - 350);
            break;
        case 3:
            text = QStringLiteral("%1:%2:%3").arg(Pick(100000)).arg(Pick(100)).arg(Pick(100));
            break;
        default:
            text = QStringLiteral("\u00bd Tempo \u266a \u0661\u0662\u0660");
            break;
        }
        if (Pick(2))
            QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        NoteTyping(edit, false);
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        return QStringLiteral("paste %1 characters").arg(text.size());
    }

    QString ClickEdit(CTempoPage& page)
    {
        static constexpr std::array<std::array<int, 4>, 3> kEdits {{
            {IDC_TEMPO, IDC_CYCLES, IDC_DELAY, IDC_FREQUENCY},
            {IDC_TEMPO, IDC_TEMPO, IDC_TEMPO, IDC_TEMPO},
            {IDC_TEMPO, IDC_SONG_BARS, IDC_SONG_TIME, IDC_SONG_BARS},
        }};
        const int id = PickFrom(kEdits[size_t(Current())]);
        QTest::mouseClick(page.GetDlgItem(id), Qt::LeftButton);
        return QStringLiteral("click edit %1").arg(id);
    }

    QString PageSpecific(CTempoPage& page)
    {
        switch (Current()) {
        case kSimple:
            if (Pick(2)) {
                tk::ListBox& list = page.ListBoxControl(IDC_LENGTH_LIST);
                const int row = Pick(list.count());
                QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                    list.visualItemRect(list.item(row)).center());
                return QStringLiteral("click length %1").arg(row);
            }
            return Press(page, IDC_TAP_TEMPO);
        case kMultitap: {
            tk::ListView& list = page.ListViewControl(IDC_MULTITAP_LIST);
            const int row = Pick(list.GetItemCount());
            const QRect cell = list.visualItemRect(list.topLevelItem(row));
            QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, cell.topLeft() + QPoint(5, 3));
            QTest::keyClick(list.viewport(), Qt::Key_F2);
            return QStringLiteral("edit label %1").arg(row);
        }
        default:
            if (Pick(2)) {
                static constexpr std::array kSignatures {
                    IDC_SIG_4_4, IDC_SIG_3_4, IDC_SIG_6_8, IDC_SIG_2_4, IDC_SIG_5_8, IDC_SIG_7_8};
                const int id = PickFrom(kSignatures);
                QTest::mouseClick(page.GetDlgItem(id), Qt::LeftButton);
                return QStringLiteral("signature %1").arg(id);
            }
            m_kind = Kind::Counted;
            return Press(page, IDC_COUNT);
        }
    }

    // A press of a timing button, some time after the last one.
    QString Press(CTempoPage& page, int id)
    {
        static constexpr std::array<std::int64_t, 4> kLongest {0, 600, 2999, 20000};
        m_clock.now += std::uniform_int_distribution<std::int64_t>(0, PickFrom(kLongest))(m_random);
        ClickAt(page.GetDlgItem(id), 0);
        return QStringLiteral("press %1 at %2").arg(id).arg(m_clock.now);
    }

    void NoteTyping(QLineEdit* edit, bool stepsUpDown)
    {
        const CTempoPage& page = Shown();
        if (edit == page.GetDlgItem(IDC_TEMPO))
            m_kind = stepsUpDown ? Kind::TempoStepped : Kind::TempoTyped;
        else if (Current() == kSongLength && edit != page.GetDlgItem(IDC_TEMPO))
            m_kind = Kind::LengthTyped;
        else if (Current() == kSimple && stepsUpDown && edit == page.GetDlgItem(IDC_CYCLES))
            m_kind = Kind::TempoStepped; // the cycles up-down rewrites the tempo too
    }

    QString WrongOutputs(int index) const
    {
        const CTempoPage& page = m_harness.Page(index);
        const std::string tempo = page.GetDlgItemText(IDC_TEMPO);
        if (index == kSimple) {
            const int length = page.ListBoxControl(IDC_LENGTH_LIST).GetCurSel();
            const QString delay = QString::fromStdString(calc::DelayText(tempo, length));
            const QString frequency = QString::fromStdString(
                calc::FrequencyText(tempo, page.GetDlgItemText(IDC_CYCLES)));
            if (Text(index, IDC_DELAY) != delay || Text(index, IDC_FREQUENCY) != frequency)
                return QStringLiteral("Simple shows %1 ms and %2 Hz, expected %3 ms and %4 Hz")
                    .arg(Text(index, IDC_DELAY), Text(index, IDC_FREQUENCY), delay, frequency);
        }
        if (index == kMultitap) {
            const tk::ListView& list = page.ListViewControl(IDC_MULTITAP_LIST);
            for (int row = 0; row < list.GetItemCount(); ++row) {
                const QString label = list.GetItemText(row, 0);
                const QString delay
                    = QString::fromStdString(calc::TapDelayText(tempo, label.toStdString()));
                if (list.GetItemText(row, 1) != delay)
                    return QStringLiteral("Multi-tap row %1 (%2) shows %3, expected %4")
                        .arg(row)
                        .arg(label, list.GetItemText(row, 1), delay);
            }
        }
        return {};
    }

    // Tempos in range place the slider; other texts leave it, except that
    // showing a page places it for the whole-number tempo.
    int ExpectedSlider(int index) const
    {
        const std::string tempo = m_harness.Page(index).GetDlgItemText(IDC_TEMPO);
        const int before = m_before.sliders[size_t(index)];
        if (index != Current())
            return before;
        const double value = calc::ReadNumber(tempo);
        if (value >= 10 && value <= 350)
            return 360 - int(value);
        if (m_kind != Kind::Activated)
            return before;
        const int whole = calc::ReadWholeNumber(tempo);
        return whole < 10 ? 350 : qMax(10, 360 - whole);
    }

    bool SharedTempoAllowed() const
    {
        const QString shared = QString::fromStdString(m_harness.app->m_strTempo);
        const QString tempo = Text(Current(), IDC_TEMPO);
        const bool writesBack = calc::ReadWholeNumber(tempo.toStdString()) >= 1;
        const QString kept = m_before.shared;
        if (Current() != kSongLength)
            return shared == (writesBack ? tempo : kept);
        // The Song Length page passes on only stepped tempos and its own.
        const QString own = QString::fromStdString(m_harness.Page(kSongLength).Tempo());
        const int slider = m_harness.Page(kSongLength).SliderControl(IDC_TEMPO_SLIDER).GetPos();
        switch (m_kind) {
        case Kind::TempoStepped: // when the slider did move, it set the tempo
            return shared == kept || (shared == tempo && tempo == QString::number(360 - slider));
        case Kind::Counted:
            return shared == own;
        case Kind::LengthTyped:
            return shared == kept || (shared == own && tempo == own);
        default:
            return shared == kept;
        }
    }

    SheetHarness& m_harness;
    FakeClock& m_clock;
    std::mt19937_64 m_random;
    State m_before;
    Kind m_kind = Kind::Other;
};

} // namespace

class TestSoak : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PrepareWidgetTests(); }
    void randomWalkKeepsEveryPageConsistent();
};

void TestSoak::randomWalkKeepsEveryPageConsistent()
{
    const quint64 seed = SettingFromEnvironment("BEATWISE_SOAK_SEED", kDefaultSeed);
    const auto events = int(SettingFromEnvironment("BEATWISE_SOAK_EVENTS", kDefaultEvents));
    FakeClock clock;
    RecordingTone tone;
    SheetHarness harness;
    QVERIFY(harness.Show());
    SoakWalk walk(harness, clock, seed);
    for (int index = 0; index < events; ++index) {
        const QString event = walk.Step();
        const QString violation = walk.Violation();
        if (!violation.isEmpty())
            QFAIL(qPrintable(QStringLiteral("seed %1, event %2 (%3): %4; replay with "
                                            "BEATWISE_SOAK_SEED=%1")
                                 .arg(seed)
                                 .arg(index)
                                 .arg(event, violation)));
    }
}

QTEST_MAIN(TestSoak)
#include "test_soak.moc"
