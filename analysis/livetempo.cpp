#include "analysis/livetempo.h"

#include "analysis/audiofile.h"
#include "analysis/onsetenvelope.h"
#include "analysis/tempoestimator.h"

#include <cmath>
#include <deque>
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

class LiveAnalysis final : public LiveTempo {
public:
    LiveAnalysis()
        : m_onsets(double(kSampleRate) / kGroup)
        , m_estimator(m_onsets.FramesPerSecond(), kLive)
    {
    }

    void Add(const float* samples, size_t count) override
    {
        m_decimated.clear();
        for (size_t i = 0; i < count; ++i) {
            m_sum += GuardedSample(samples[i]);
            if (++m_summed == kGroup) {
                m_decimated.push_back(m_sum / kGroup);
                m_sum = 0;
                m_summed = 0;
            }
        }
        m_heard += count;
        m_values.clear();
        m_lows.clear();
        m_onsets.Add(m_decimated.data(), m_decimated.size(), m_values, m_lows);
        m_estimator.Add(m_values.data(), m_lows.data(), m_values.size());
    }

    LiveEstimate Estimate() override
    {
        const TempoEstimate estimate = m_estimator.Estimate();
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
        return live;
    }

private:
    OnsetEnvelope m_onsets;
    TempoEstimator m_estimator;
    std::vector<float> m_decimated, m_values, m_lows;
    float m_sum = 0;
    int m_summed = 0;
    size_t m_heard = 0;
    std::deque<LiveEstimate> m_history; // back to two seconds ago
};

} // namespace

LiveTempo* NewLiveTempo()
{
    return new LiveAnalysis;
}

} // namespace analysis
