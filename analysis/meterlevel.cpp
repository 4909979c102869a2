#include "analysis/meterlevel.h"

#include <algorithm>
#include <cmath>

namespace analysis {

namespace {

// Most music is written between 80 and 180 bpm, around 130: a level an
// octave from there costs as much as repeating half as strongly.
constexpr double kLikeliest = 130;
// Beats this uneven, with this little between them and kicks this uneven,
// are eighths of a beat twice as long (hi-hats between kicks and snares);
// halves of beats whose kicks are this even are beats themselves, up to a
// tempo that few songs pass.
constexpr double kUneven = 0.8, kSilentBetween = 0.1, kEven = 0.8;
constexpr double kFastestDoubled = 200.5;
// A late eighth this loud against the beat is played (swing, a shuffle),
// not the smear of the onsets on either side of it.
constexpr double kSwungEighth = 0.25;
// What sounds between beats this loud against them is a beat itself: a
// snare between kicks, however a loud mix squeezes the kicks down to it.
constexpr double kBeatBetween = 0.65;
// A bar is heard where the music repeats at it this much more strongly than
// at the other groupings of its beats.
constexpr double kClearBar = 1.1;
// Beats in threes whose first third holds onsets this loud against the
// second are 6/8 or 12/8; below it the eighths swing, and the bar is 4/4.
constexpr double kPlayedThirds = 0.4;
// A backbeat: where the chosen level's pair of beats sounds this alike, and
// the neighbouring level's this differently (a kick against a snare, a bass
// note against a chord), the neighbour is the beat.
constexpr double kNoBackbeat = 0.3, kClearBackbeat = 0.6;

double Likelihood(const LevelQuestion& q, double lag)
{
    if (lag < q.shortestBeat || lag > q.longestBeat || lag + 1 >= q.profile.Longest())
        return 0;
    const double octaves = std::log2(60 * q.framesPerSecond / lag / kLikeliest);
    return q.profile.Near(lag) * std::exp(-0.5 * octaves * octaves);
}

// Whether a beat is a whole number (at least one) of groups of that many
// grid steps.
bool GroupsOf(const LevelQuestion& q, double lag, double steps)
{
    const double groups = lag / q.tatum / steps;
    return groups > 0.99 && std::abs(groups - std::round(groups)) < 0.01;
}

} // namespace

LevelChoice ChooseLevel(const LevelQuestion& q)
{
    LevelChoice choice;
    bool inThrees = q.grid.InThrees();
    double lag = q.pulse;
    if (inThrees) {
        // The grid itself (a fast waltz, whose threes are its bars) or three
        // steps of it, doubled to the likeliest (6/8, shuffles): never two.
        double best = 0;
        for (double steps : {1, 3}) {
            for (double beat = steps * q.tatum; beat <= q.longestBeat; beat *= 2) {
                if (steps == 1 && beat > 1.5 * q.tatum)
                    continue;
                if (const double likelihood = Likelihood(q, beat); likelihood > best) {
                    best = likelihood;
                    lag = beat;
                }
            }
        }
        inThrees = GroupsOf(q, lag, 3);
    }
    const auto bpm = [&](double beat) { return 60 * q.framesPerSecond / beat; };

    // A beat is heard where every beat is about as strong as the next: a
    // snare between kicks is a beat, whatever its sound, and so is a kick on
    // every one of them (four on the floor), or a chord on every one. What lies between beats is
    // heard at their halves, or at their thirds where the music moves in
    // threes: a shuffle's late eighth is no silence. Where it moves in
    // threes, only a beat of six steps halves (swing counted in half notes).
    const Accents& accents = q.accents;
    const double even = accents.Evenness(lag), between = accents.Between(lag, inThrees ? 3 : 2);
    double other = 0; // the level the rules weighed against
    if (bpm(2 * lag) >= 60 * q.framesPerSecond / q.longestBeat && even < kUneven
        && between < kSilentBetween && accents.LateThird(lag) < kSwungEighth
        && accents.Evenness(lag, Accents::Bands::Lows) < kEven
        && accents.Evenness(lag, Accents::Bands::Mids) < kEven) {
        other = lag;
        lag *= 2;
    } else if ((!inThrees || GroupsOf(q, lag, 6)) && bpm(lag / 2) <= kFastestDoubled
        && (accents.Between(lag, 2) >= kBeatBetween
            || accents.Evenness(lag / 2, Accents::Bands::Lows) >= kEven)) {
        other = lag;
        lag /= 2;
    }
    if (!inThrees && accents.Backbeat(lag) < kNoBackbeat) {
        // What alternates kick and snare is the beat, whatever its tempo: a
        // march's bass and chord, a ballad's kick and snare a beat apart.
        double clearest = 0, backbeat = 0;
        for (double level : {lag * 2, lag / 2}) {
            if (level > q.longestBeat || bpm(level) > kFastestDoubled)
                continue;
            const double theirs = accents.Backbeat(level);
            if (theirs >= kClearBackbeat && theirs > clearest) {
                clearest = theirs;
                backbeat = level;
            }
        }
        if (backbeat > 0) {
            other = lag;
            lag = backbeat;
        }
    }
    if (other == 0) {
        // The runner-up: the likelier of the neighbouring levels.
        const double step = inThrees ? 3 : 2;
        for (double level : {lag * 2, lag / step}) {
            if (Likelihood(q, level) > Likelihood(q, other))
                other = level;
        }
    }
    choice.lag = lag;
    choice.runnerUpLag = Likelihood(q, other) > 0 ? other : 0;
    const double mine = Likelihood(q, lag), theirs = Likelihood(q, other);
    choice.sureness
        = mine + theirs > 0 ? std::clamp((mine - theirs) / (mine + theirs), 0.0, 1.0) : 0;

    // How the beats group: where the music folded over a bar of two, three
    // or four of them stands out clearly more than over the others.
    const double two = accents.BarClarity(lag, 2), three = accents.BarClarity(lag, 3),
                 four = accents.BarClarity(lag, 4);
    if (inThrees && accents.MiddleThird(lag) >= kPlayedThirds)
        choice.meter = four > kClearBar * two ? Meter::TwelveEight : Meter::SixEight;
    else if (three > kClearBar * std::max(two, four))
        choice.meter = Meter::ThreeFour;
    return choice;
}

} // namespace analysis
