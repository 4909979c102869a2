#pragma once

#include "analysis/songtempo.h"

#include <QDialog>

class QPlainTextEdit;

namespace tk {
class TempoChart;
}

// The tempo map of a song: its local tempo over the song as a chart, the
// same figures as text for the keyboard and a screen reader, and the map
// saved as a MIDI file or a click track.
class CTempoMapWindow : public QDialog {
    Q_OBJECT

public:
    explicit CTempoMapWindow(QWidget* parent);

    void Show(const QString& name, const analysis::SongTempo& song);
    // What the window says of the map, as its text shows it.
    QString Figures() const;

private:
    void Save(bool midi);

    tk::TempoChart* m_chart;
    QPlainTextEdit* m_figures;
    QString m_name;
    analysis::SongTempo m_song;
};
