#include "toolkit/helpkey.h"

#include "toolkit/application.h"

#include <QShortcut>

namespace tk {

void InstallHelpKey(QWidget* window)
{
    auto* shortcut = new QShortcut(QKeySequence::HelpContents, window);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, window, [] {
        if (Application* application = Application::Current())
            application->OnHelp();
    });
}

} // namespace tk
