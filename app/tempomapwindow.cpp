#include "app/tempomapwindow.h"

#include "app/mapexport.h"
#include "app/songanalysis.h"

#include "toolkit/buttonmnemonic.h"
#include "toolkit/pushbutton.h"
#include "toolkit/tempochart.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include <cmath>

CTempoMapWindow::CTempoMapWindow(QWidget* parent)
    : QDialog(parent)
    , m_chart(new tk::TempoChart(this))
    , m_figures(new QPlainTextEdit(this))
{
    auto* saveMidi = new tk::PushButton(tr("Save &MIDI File..."), this);
    auto* saveClick = new tk::PushButton(tr("Save C&lick Track..."), this);
    auto* close = new tk::PushButton(tr("Close"), this);
    for (tk::PushButton* button : {saveMidi, saveClick, close}) {
        tk::ClickLikeMouseOnMnemonic(button);
        button->setAutoDefault(false);
    }
    connect(saveMidi, &QPushButton::clicked, this, [this] { Save(true); });
    connect(saveClick, &QPushButton::clicked, this, [this] { Save(false); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    m_chart->setAccessibleName(tr("Local tempo over the song"));
    m_figures->setReadOnly(true);
    m_figures->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    m_figures->setAccessibleName(tr("Tempo map figures"));
    m_figures->setMaximumHeight(m_figures->fontMetrics().height() * 8);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(saveMidi);
    buttons->addWidget(saveClick);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_chart, 1);
    layout->addWidget(m_figures);
    layout->addLayout(buttons);
    m_figures->setFocus();
}

void CTempoMapWindow::Show(const QString& name, const analysis::SongTempo& song)
{
    m_name = name;
    m_song = song;
    setWindowTitle(tr("Tempo Map of %1").arg(name));
    const analysis::TempoMap& map = song.map;
    std::vector<tk::TempoChart::Point> points;
    std::vector<tk::TempoChart::Bar> bars;
    QString text = SongTempoWords::Said(song, name) + '\n';
    for (const analysis::Beat& beat : map.beats) {
        points.push_back({beat.seconds, beat.bpm});
        if (beat.beat == 1) {
            bars.push_back({beat.seconds, beat.bar});
            text += tr("Bar %1 at %2: %3 bpm\n")
                        .arg(beat.bar)
                        .arg(SongTempoWords::Clock(std::round(beat.seconds)),
                            SongTempoWords::Typed(beat.bpm));
        }
    }
    std::vector<double> changes;
    for (const analysis::TempoChange& change : map.changes)
        changes.push_back(change.seconds);
    m_chart->SetTempo(std::move(points), std::move(bars), song.bpm, std::move(changes));
    m_chart->setAccessibleDescription(SongTempoWords::Said(song, name));
    m_figures->setPlainText(text);
    show();
    raise();
    activateWindow();
}

QString CTempoMapWindow::Figures() const
{
    return m_figures->toPlainText();
}

void CTempoMapWindow::Save(bool midi)
{
    const QString base = QFileInfo(m_name).completeBaseName();
    const QString path
        = QFileDialog::getSaveFileName(this, midi ? tr("Save MIDI File") : tr("Save Click Track"),
            QDir::home().filePath(
                base + (midi ? QStringLiteral(".mid") : QStringLiteral(" click.wav"))),
            midi ? tr("MIDI files (*.mid)") : tr("WAV files (*.wav)"));
    if (path.isEmpty())
        return;
    const QString failure
        = midi ? mapexport::WriteMidi(m_song.map, path) : mapexport::WriteClickTrack(m_song, path);
    if (!failure.isEmpty())
        QMessageBox::warning(this, windowTitle(), failure);
}
