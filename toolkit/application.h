#pragma once

#include "toolkit/helpwindow.h"

#include <QPointer>
#include <QUrl>
#include <QWidget>

namespace tk {

// Help commands an application's help can be asked for.
enum HelpCommand : unsigned {
    HelpContext = 0x0001, // data names a topic
    HelpContents = 0x0003, // data is unused
};

// The running application: exists before any window, starts the user
// interface in InitInstance and answers help requests. The one most
// recently constructed is the current one.
class Application {
public:
    Application();
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    static Application* Current();

    // Runs InitInstance; the process ends when it returns false.
    int Run();
    virtual bool InitInstance() = 0;

    // The platform's help command: a help request from the active window.
    void OnHelp();
    // Shows the help document: its contents for HelpContents, the topic
    // named by data otherwise.
    virtual void WinHelp(unsigned long data, unsigned command);

    QWidget* MainWindow() const { return m_mainWindow; }
    void SetMainWindow(QWidget* window) { m_mainWindow = window; }

    void SetHelpSource(const QUrl& source) { m_helpSource = source; }
    HelpWindow* OpenHelpWindow() const { return m_helpWindow; }

private:
    Application* m_previous;
    QPointer<QWidget> m_mainWindow;
    QPointer<HelpWindow> m_helpWindow;
    QUrl m_helpSource;
};

} // namespace tk
