#pragma once

#include <cstddef>
#include <vector>

namespace analysis {

// The beat period, refined over a steady stretch of the envelope: the
// period near lag whose beats, eighths, triplets and sixteenths together
// agree best with the envelope, exact to a small part of a frame on music
// set to a grid. lag and the result are in frames of the envelope given.
double RefinedLag(const std::vector<float>& envelope, size_t first, size_t count, double lag);

} // namespace analysis
