#pragma once

#include <functional>

class QWidget;

namespace tk {

// Runs action once, in the event loop's first turn after window first
// paints: work that must not delay the window starts there.
void AfterFirstPaint(QWidget* window, std::function<void()> action);

} // namespace tk
