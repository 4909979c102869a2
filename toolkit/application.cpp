#include "toolkit/application.h"

#include "toolkit/helpwindow.h"

namespace tk {

namespace {
Application* g_current = nullptr;
// Topics of dialogs are numbered from here on, by template id.
constexpr unsigned long kDialogTopicBase = 0x20000;
} // namespace

Application::Application()
    : m_previous(g_current)
{
    g_current = this;
}

Application::~Application()
{
    if (g_current == this)
        g_current = m_previous;
    delete m_helpWindow;
}

Application* Application::Current()
{
    return g_current;
}

int Application::Run()
{
    InitInstance();
    return 0;
}

void Application::OnHelp()
{
    WinHelp(kDialogTopicBase, HelpContext);
}

void Application::WinHelp(unsigned long data, unsigned command)
{
    if (!m_helpWindow)
        m_helpWindow = new HelpWindow(m_helpSource, m_mainWindow);
    if (command == HelpContents)
        m_helpWindow->ShowContents();
    else
        m_helpWindow->ShowTopic(QStringLiteral("topic-%1").arg(data));
}

} // namespace tk
