// The tap-tempo and beat-counter machines over arbitrary press times: equal,
// far apart, going backwards, and wrapping around the 64-bit range.
#include "calc/beatcounter.h"
#include "calc/numberreading.h"
#include "calc/taptempo.h"
#include "fuzz/checks.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <limits>

namespace {

constexpr std::int64_t kEarliest = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kLatest = std::numeric_limits<std::int64_t>::max();

std::int64_t NextTime(FuzzedDataProvider& input, std::int64_t previous)
{
    const auto wrapping = [](std::int64_t time, std::int64_t step) {
        return std::int64_t(std::uint64_t(time) + std::uint64_t(step));
    };
    switch (input.ConsumeIntegralInRange(0, 5)) {
    case 0:
        return previous; // within one tick
    case 1:
        return wrapping(previous, input.ConsumeIntegralInRange<std::int64_t>(0, 3500));
    case 2:
        return wrapping(previous, -input.ConsumeIntegralInRange<std::int64_t>(1, 5000));
    case 3:
        return input.PickValueInArray({kEarliest, kEarliest + 1, kLatest, kLatest - 1});
    case 4:
        return wrapping(previous, input.ConsumeIntegral<std::int64_t>());
    default:
        return input.ConsumeIntegral<std::int64_t>();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    calc::TapTempo tap;
    calc::BeatCounter counter;
    int beats = 0;
    std::int64_t time = input.ConsumeIntegral<std::int64_t>();
    for (int press = 0; press < 200 && input.remaining_bytes() > 0; ++press) {
        time = NextTime(input, time);

        const calc::TapTempo::Result result = tap.Press(time);
        fuzz::Check(press > 0 || !result.newSeries, "the first press never sounds the tone");
        fuzz::Check(tap.Count() >= 1, "a press always counts");
        if (result.tempo) {
            fuzz::CheckNumberText(*result.tempo, "a tapped tempo is a number text");
            // Intervals in a series stay under three seconds: 20.0067 bpm at least.
            const double tempo = calc::ReadNumber(*result.tempo);
            fuzz::Check(std::isfinite(tempo) && tempo > 20.006, "a tapped tempo is 20 or more",
                *result.tempo);
            fuzz::Check(
                !result.newSeries && tap.Count() >= 2, "a series' first press shows nothing");
        }

        if (input.ConsumeBool())
            counter.WaitForFirstBeat(); // a page visit
        if (counter.Press(time))
            beats = 0;
        if (beats < std::numeric_limits<int>::max())
            ++beats;
        fuzz::Check(counter.ElapsedSeconds() >= 0, "a count never runs backwards");
        const float measured = counter.MeasuredTempo(beats);
        fuzz::Check(std::isfinite(measured) && measured >= 0, "a measured tempo is finite");
        fuzz::Check(measured == 0 || counter.ElapsedSeconds() >= 5, "no tempo before five seconds");
    }
    return 0;
}
