#include "analysis/livetempo.h"

#include "analysis/audiofile.h"
#include "analysis/onsetenvelope.h"
#include "analysis/tempoestimator.h"

#include <cmath>
#include <deque>
#include <memory>
#include <vector>

namespace analysis {

namespace {

// Four-on-the-floor tells its tempo within a few seconds; the refinement
// looks at no more than half a minute, so that asking twice a second costs
// little.
constexpr EstimatorSettings kLive {3, 30};
// Brought down to the analysis's rate as a song file is, by averaging whole
// groups: the resampler of a sound server would filter out the hi-hats that
// tell eighths from beats.
constexpr int kGroup = 4;
constexpr double kSteadySeconds = 2;
constexpr double kSteady = 0.005;
// This long without a sample above this level, after a beat was heard, is
// the gap before the next song of a playlist: the tempo is heard afresh.
constexpr double kGapSeconds = 1.5;
constexpr float kQuiet = 0.003f; // -50 dB
// A change of tempo with no gap (a medley, a DJ's mix) is heard by fresh
// estimators, one started every kProbeEvery seconds and asked after
// kProbeSeconds: two in a row that hear another tempo than the one heard
// so far, and agree on it, take its place.
constexpr double kProbeEvery = 1, kProbeSeconds = 4;
constexpr double kChanged = 0.03; // a tempo this far from the one heard is another
constexpr double kAgreed = 0.01;
// A probe that hears another level of the same beat (its half, a third,
// triplets against duplets...) has not heard a change: a few seconds are not
// enough to tell the level.
constexpr double kLevels[] = {0.5, 2, 0.25, 4, 1.0 / 3, 3, 2.0 / 3, 1.5, 0.75, 4.0 / 3};

class LiveAnalysis final : public LiveTempo {
public:
    LiveAnalysis() { Restart(); }

    void Add(const float* samples, size_t count) override
    {
        // Silence is held back until sound follows it: the silence after a
        // song tells nothing of its beat, yet would sway the level of a beat
        // heard for a few seconds only.
        m_decimated.clear();
        for (size_t i = 0; i < count; ++i) {
            const float sample = GuardedSample(samples[i]);
            m_quiet = std::abs(sample) < kQuiet ? m_quiet + 1 : 0;
            if (m_quiet == 0)
                Release();
            m_sum += sample;
            if (++m_summed == kGroup) {
                (m_quiet >= kGroup ? m_held : m_decimated).push_back(m_sum / kGroup);
                m_sum = 0;
                m_summed = 0;
            }
        }
        m_heard += count;
        if (m_beatHeard && double(m_quiet) >= kGapSeconds * kSampleRate)
            Restart();
        else if (double(m_held.size() * kGroup) >= kGapSeconds * kSampleRate)
            Release(); // no song yet to keep apart from what follows
        m_sounded = m_sounded || !m_decimated.empty();
        m_frames.clear();
        m_onsets->Add(m_decimated.data(), m_decimated.size(), m_frames);
        m_estimator->Add(m_frames);
        for (Probe& probe : m_probes)
            probe.estimator->Add(m_frames);
        if (m_beatHeard && double(m_heard - m_lastProbe) >= kProbeEvery * kSampleRate) {
            m_lastProbe = m_heard;
            m_probes.push_back({m_heard, NewEstimator()});
        }
    }

    LiveEstimate Estimate() override
    {
        // Nothing new to hear: what was heard stands.
        if (m_beatHeard && !m_sounded) {
            m_last.seconds = double(m_heard) / kSampleRate;
            return m_last;
        }
        m_sounded = false;
        TempoEstimate estimate = m_estimator->Estimate();
        if (estimate.found && HeardChange(estimate.bpm))
            estimate = m_estimator->Estimate();
        m_beatHeard = m_beatHeard || estimate.found;
        LiveEstimate live;
        live.seconds = double(m_heard) / kSampleRate;
        live.found = estimate.found;
        live.bpm = estimate.bpm;
        live.drifts = estimate.drifts;
        // Steady: every estimate of the last two seconds gave this tempo.
        m_history.push_back(live);
        while (m_history.size() > 1 && m_history[1].seconds <= live.seconds - kSteadySeconds)
            m_history.pop_front();
        live.steady = live.found && m_history.front().seconds <= live.seconds - kSteadySeconds;
        for (const LiveEstimate& earlier : m_history) {
            if (!earlier.found || std::abs(earlier.bpm - live.bpm) > kSteady * live.bpm)
                live.steady = false;
        }
        m_last = live;
        return live;
    }

private:
    struct Probe {
        size_t started; // samples heard when it began
        std::unique_ptr<TempoEstimator> estimator;
    };

    std::unique_ptr<TempoEstimator> NewEstimator() const
    {
        return std::make_unique<TempoEstimator>(m_onsets->FramesPerSecond(), kLive);
    }

    void Restart()
    {
        m_onsets = std::make_unique<OnsetEnvelope>(double(kSampleRate) / kGroup);
        m_estimator = NewEstimator();
        m_history.clear();
        m_held.clear();
        m_probes.clear();
        m_lastProbe = m_heard;
        m_probeHeard = 0;
        m_beatHeard = false;
    }

    // Whether the probes old enough to ask have heard the tempo change from
    // bpm: then the estimate starts afresh from the newest of them.
    bool HeardChange(double bpm)
    {
        while (!m_probes.empty()
            && double(m_heard - m_probes.front().started) >= kProbeSeconds * kSampleRate) {
            Probe probe = std::move(m_probes.front());
            m_probes.pop_front();
            const TempoEstimate heard = probe.estimator->Estimate();
            const double ratio = heard.bpm / bpm;
            bool another = heard.found && std::abs(ratio - 1) > kChanged;
            for (double level : kLevels)
                another = another && std::abs(ratio / level - 1) > kChanged;
            const bool agreed = another && m_probeHeard > 0
                && std::abs(heard.bpm - m_probeHeard) <= kAgreed * heard.bpm;
            m_probeHeard = another ? heard.bpm : 0;
            if (agreed) {
                m_estimator = std::move(probe.estimator);
                m_history.clear();
                m_probeHeard = 0;
                return true;
            }
        }
        return false;
    }

    void Release()
    {
        m_decimated.insert(m_decimated.end(), m_held.begin(), m_held.end());
        m_held.clear();
    }

    std::unique_ptr<OnsetEnvelope> m_onsets;
    std::unique_ptr<TempoEstimator> m_estimator;
    bool m_beatHeard = false; // since the last restart
    size_t m_quiet = 0; // samples in a row below kQuiet
    std::vector<float> m_decimated;
    std::vector<float> m_held; // the silence since the last sound, brought down
    bool m_sounded = false; // sound was analysed since the last estimate
    OnsetFrames m_frames;
    float m_sum = 0;
    int m_summed = 0;
    size_t m_heard = 0;
    std::deque<LiveEstimate> m_history; // back to two seconds ago
    LiveEstimate m_last; // the latest estimate given
    std::deque<Probe> m_probes; // the oldest first
    size_t m_lastProbe = 0; // samples heard when the newest began
    double m_probeHeard = 0; // the other tempo the last probe asked heard, 0 for none
};

} // namespace

LiveTempo* NewLiveTempo()
{
    return new LiveAnalysis;
}

} // namespace analysis
