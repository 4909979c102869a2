#pragma once

#include <QUrl>
#include <QWidget>

class QTextBrowser;

namespace tk {

// A window that shows the application's help document. It belongs to the
// main window so that it takes input while a modal sheet runs.
class HelpWindow : public QWidget {
    Q_OBJECT

public:
    explicit HelpWindow(const QUrl& source, QWidget* parent = nullptr);

    void ShowContents();
    void ShowTopic(const QString& anchor);
    QTextBrowser* Browser() const { return m_browser; }

private:
    void Present();

    QTextBrowser* m_browser;
};

} // namespace tk
