#pragma once

#include <utility>

namespace tk {

// A service that tests can swap for their own: Current() is the standard
// one (a Standard, made on first use) unless a replacement is in place.
template <typename Interface, typename Standard> class Replaceable {
public:
    static Interface& Current()
    {
        static Standard standard;
        return s_replacement ? *s_replacement : standard;
    }

    // nullptr puts the standard one back; returns what was in place.
    static Interface* Replace(Interface* replacement)
    {
        return std::exchange(s_replacement, replacement);
    }

private:
    static inline Interface* s_replacement = nullptr;
};

} // namespace tk
