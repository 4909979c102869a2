#pragma once

#include <QPointer>
#include <QUrl>
#include <QWidget>

class QTextBrowser;

namespace tk {

// A window that shows the application's help document. It stays usable
// whatever modal box is open: it belongs to the topmost one (the main window
// when none), since a modal box blocks every window that is not its own.
class HelpWindow : public QWidget {
    Q_OBJECT

public:
    explicit HelpWindow(const QUrl& source, QWidget* parent = nullptr);

    void ShowContents();
    void ShowTopic(const QString& anchor);
    QTextBrowser* Browser() const { return m_browser; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Present();
    void BelongTo(QWidget* owner);

    QTextBrowser* m_browser;
    QPointer<QWidget> m_home; // the window it belongs to while no modal box is open
};

} // namespace tk
