#include "app/songtempofinder.h"

#include "res/resource.h"
#include "toolkit/edit.h"
#include "toolkit/propertypage.h"
#include "toolkit/propertysheet.h"
#include "toolkit/runtimemodule.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QShortcut>
#include <QTimer>

namespace {

// aubio, libsndfile and their codecs, loaded when a song is first analysed.
tk::RuntimeModule& AnalysisModule()
{
    static tk::RuntimeModule module(
        QStringLiteral("libbeatwise_analysis.so"), QStringLiteral(BEATWISE_ANALYSIS_MODULE_BUILT));
    return module;
}

// The tempo as a user would type it: to two decimals, without trailing zeros.
QString TempoText(double bpm)
{
    QString text = QString::number(bpm, 'f', 2);
    while (text.endsWith('0'))
        text.chop(1);
    if (text.endsWith('.'))
        text.chop(1);
    return text;
}

QString Why(const analysis::SongTempo& result, const QString& name)
{
    switch (result.failure) {
    case analysis::Failure::Unreadable:
        return CSongTempoFinder::tr("%1 cannot be read, or it is empty.").arg(name);
    case analysis::Failure::UnsupportedFormat:
        return CSongTempoFinder::tr("%1 is not audio in a format Beatwise can read.").arg(name);
    case analysis::Failure::TooShort:
        return CSongTempoFinder::tr("%1 is too short to find a tempo in.").arg(name);
    case analysis::Failure::NoSteadyBeat:
        return CSongTempoFinder::tr("No steady beat was found in %1.").arg(name);
    case analysis::Failure::Cancelled:
        return CSongTempoFinder::tr("Finding the tempo of %1 was cancelled.").arg(name);
    case analysis::Failure::None:
        break;
    }
    return CSongTempoFinder::tr("Tempo of %1: %2 bpm").arg(name, TempoText(result.bpm));
}

} // namespace

CSongTempoFinder::CSongTempoFinder(tk::PropertySheet& sheet)
    : QObject(&sheet)
    , m_sheet(sheet)
    , m_message(new QLabel(sheet.StatusArea()))
    , m_progress(new QProgressBar(sheet.StatusArea()))
    , m_cancelKey(new QShortcut(QKeySequence(Qt::Key_Escape), &sheet))
    , m_poll(new QTimer(this))
{
    auto* layout = new QHBoxLayout(sheet.StatusArea());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_progress);
    layout->addWidget(m_message, 1);
    m_progress->setRange(0, 100);
    m_progress->setMaximumWidth(m_progress->fontMetrics().averageCharWidth() * 12);
    m_progress->setAccessibleName(tr("Finding the tempo"));
    m_progress->hide();
    m_message->setTextFormat(Qt::PlainText);
    // While a song is analysed, Escape stops that, not the sheet.
    m_cancelKey->setEnabled(false);
    connect(m_cancelKey, &QShortcut::activated, this, &CSongTempoFinder::Cancel);
    m_poll->setInterval(100);
    connect(m_poll, &QTimer::timeout, this, &CSongTempoFinder::ShowProgress);
}

CSongTempoFinder::~CSongTempoFinder()
{
    for (const auto& job : m_jobs) {
        job->progress.cancel = true;
        job->thread.join();
    }
}

void CSongTempoFinder::Find(const QString& path)
{
    if (m_current)
        m_current->progress.cancel = true; // the newer file wins
    auto job = std::make_unique<Job>();
    job->path = path;
    Job* started = job.get();
    m_jobs.push_back(std::move(job));
    m_current = started;
    started->thread = std::thread([this, started] {
        const auto analyse = reinterpret_cast<analysis::AnalyseSongFileFunction>(
            AnalysisModule().Function(analysis::kAnalyseSongFile));
        if (analyse)
            analyse(
                QFile::encodeName(started->path).constData(), &started->progress, &started->result);
        else
            started->noAnalysis = true;
        QMetaObject::invokeMethod(
            this, [this, started] { Finished(started); }, Qt::QueuedConnection);
    });
    Say(tr("Finding the tempo of %1... (Esc cancels)").arg(QFileInfo(path).fileName()));
    m_progress->setValue(0);
    m_progress->show();
    m_cancelKey->setEnabled(true);
    m_poll->start();
}

void CSongTempoFinder::Cancel()
{
    if (m_current)
        m_current->progress.cancel = true;
}

QString CSongTempoFinder::Status() const
{
    return m_message->text();
}

void CSongTempoFinder::ShowProgress()
{
    if (m_current)
        m_progress->setValue(int(m_current->progress.done.load() * 100));
}

void CSongTempoFinder::Finished(Job* job)
{
    job->thread.join();
    if (job == m_current) {
        m_current = nullptr;
        m_poll->stop();
        m_progress->hide();
        m_cancelKey->setEnabled(false);
        const QString name = QFileInfo(job->path).fileName();
        if (job->noAnalysis) {
            Say(tr("Beatwise cannot analyse %1 here: its analysis module is missing.").arg(name));
        } else {
            if (job->result.failure == analysis::Failure::None)
                TypeTempo(job->result.bpm);
            Say(Why(job->result, name));
        }
    }
    m_jobs.remove_if([job](const std::unique_ptr<Job>& each) { return each.get() == job; });
}

void CSongTempoFinder::TypeTempo(double bpm)
{
    // Into the tempo of the page shown, as the user would type it there.
    tk::PropertyPage* page = m_sheet.GetActivePage();
    if (!page || !page->HasControls())
        return;
    tk::Edit& tempo = page->EditControl(IDC_TEMPO);
    tempo.setFocus(Qt::OtherFocusReason);
    tempo.selectAll();
    tempo.insert(TempoText(bpm));
}

void CSongTempoFinder::Say(const QString& message)
{
    m_message->setText(message);
    m_message->setToolTip(message);
}
