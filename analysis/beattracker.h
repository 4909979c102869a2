#pragma once

#include <cstdint>
#include <vector>

namespace analysis {

// The beat period through a song, frame by frame, in frames: how the onset
// envelope repeats in windows of a few seconds, at the lag nearest the
// song's beat that it repeats at most strongly. It follows a band that
// drifts or steps to another tempo, and keeps to the song's beat where a
// window has no beat of its own.
std::vector<double> LocalPeriods(
    const std::vector<float>& envelope, double framesPerSecond, double beatPeriod);

// The frames of the beats, between frames where an onset peaks between
// them: the path of onsets that best keeps to the local period while
// letting it drift, found by dynamic programming over the whole envelope
// (each frame's best score as a beat, from the best earlier beat about a
// period back), as the classical beat trackers do.
std::vector<double> TrackBeats(
    const std::vector<float>& envelope, const std::vector<double>& periods);

// The frames of the beats of a whole song, its onset envelope held in steps
// of step: followed a few minutes at a time, each stretch overlapping the
// last, so that what the tracker holds does not grow with the song.
std::vector<double> FollowBeats(const std::vector<std::uint16_t>& envelope, float step,
    double framesPerSecond, double beatPeriod);

} // namespace analysis
