#pragma once

class QWidget;

namespace tk {

// F1 anywhere in the window asks the application for help.
void InstallHelpKey(QWidget* window);

} // namespace tk
