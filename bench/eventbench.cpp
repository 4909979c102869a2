#include "eventbench.h"

#include "baresheet.h"
#include "figures.h"
#include "res/resource.h"
#include "support/fakes.h"
#include "support/sheetharness.h"
#include "support/uitest.h"
#include "toolkit/slider.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QSlider>
#include <QTabWidget>

#include <functional>

namespace {

// Milliseconds per action over a batch, each action painted before the next.
double Batch(const std::function<void()>& action, int count)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < count; ++i) {
        action();
        QCoreApplication::processEvents();
    }
    return timer.nsecsElapsed() / 1e6 / count;
}

// Beatwise and the baseline batch by batch, turn about; each call of the
// actions may be several events.
void Compare(const QString& name, const std::function<void()>& beatwise,
    const std::function<void()>& baseline, int batches, int perBatch,
    std::optional<double> maxRatio, Figures& figures, int eventsPerCall = 1)
{
    std::vector<double> ours, bare;
    Batch(beatwise, perBatch / 4 + 1); // warm up both
    Batch(baseline, perBatch / 4 + 1);
    for (int batch = 0; batch < batches; ++batch) {
        ours.push_back(Batch(beatwise, perBatch) / eventsPerCall);
        bare.push_back(Batch(baseline, perBatch) / eventsPerCall);
    }
    figures.Add({name, "ms", Median(ours), Median(bare), maxRatio, {}, {}});
}

// Typing a digit and taking it back: two keystrokes.
std::function<void()> TypeAndErase(QLineEdit* edit)
{
    return [edit] {
        QTest::keyClick(edit, Qt::Key_5);
        QCoreApplication::processEvents();
        QTest::keyClick(edit, Qt::Key_Backspace);
    };
}

} // namespace

void BenchEvents(int batches, int perBatch, Figures& figures)
{
    FakeClock clock;
    RecordingTone tone;
    SheetHarness harness;
    BareSheet bare;
    if (!harness.Show())
        return;
    bare.show();
    (void)QTest::qWaitForWindowExposed(&bare);

    const char* pages[] = {"Simple", "Multi-tap", "Song Length"};
    for (int page = 0; page < 3; ++page) {
        CTempoPage& shown = harness.ShowPage(page);
        bare.Tabs()->setCurrentIndex(page);
        auto* ours = &shown.EditControl(IDC_TEMPO);
        auto* theirs = static_cast<QLineEdit*>(bare.Control(page, IDC_TEMPO));
        for (QLineEdit* edit : {static_cast<QLineEdit*>(ours), theirs}) {
            edit->setFocus();
            edit->end(false);
        }
        Compare(QStringLiteral("Keystroke in the tempo, %1 page").arg(pages[page]),
            TypeAndErase(ours), TypeAndErase(theirs), batches, perBatch / 2, 1.0, figures, 2);
    }

    harness.ShowPage(0);
    bare.Tabs()->setCurrentIndex(0);
    QWidget* ourTap = harness.Page(0).GetDlgItem(IDC_TAP_TEMPO);
    QWidget* bareTap = bare.Control(0, IDC_TAP_TEMPO);
    Compare(
        QStringLiteral("Tap Tempo press within a long series"),
        [&] {
            clock.now += 500;
            ClickAt(ourTap, 0);
        },
        [&] { ClickAt(bareTap, 0); }, batches, perBatch, {}, figures);

    QWidget* ourSlider = &harness.Page(0).SliderControl(IDC_TEMPO_SLIDER);
    QWidget* bareSlider = bare.Control(0, IDC_TEMPO_SLIDER);
    int step = 0;
    const auto slide = [&step](QWidget* slider) {
        return [&step, slider] { QTest::keyClick(slider, ++step % 2 ? Qt::Key_Up : Qt::Key_Down); };
    };
    Compare(QStringLiteral("Slider step"), slide(ourSlider), slide(bareSlider), batches, perBatch,
        {}, figures);

    int page = 0;
    Compare(
        QStringLiteral("Page switch"), [&] { harness.ShowPage(++page % 3); },
        [&] { bare.Tabs()->setCurrentIndex(++page % 3); }, batches, perBatch / 4, {}, figures);
}
