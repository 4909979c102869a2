#pragma once

#include <QApplication>
#include <QDialog>
#include <QMimeData>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QtTest/qtestspontaneevent.h>

#include <functional>

// Drags a file onto a widget and lets it go there, as a file manager does.
inline void DropFile(QWidget* target, const QString& path)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &drop);
}

// Runs action on the next modal dialog to open, once it is up; fails the test
// if none opens within a few seconds.
inline void WhenModalOpens(std::function<void(QWidget*)> action)
{
    auto* poll = new QTimer;
    poll->setInterval(10);
    auto remaining = std::make_shared<int>(500);
    QObject::connect(poll, &QTimer::timeout, [poll, remaining, action] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible()) {
            poll->stop();
            poll->deleteLater();
            action(modal);
        } else if (--*remaining == 0) {
            poll->stop();
            poll->deleteLater();
            // Whatever waits for a dialog must not wait forever.
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (auto* dialog = qobject_cast<QDialog*>(window); dialog && dialog->isVisible())
                    dialog->reject();
            }
            QFAIL("no modal dialog opened");
        }
    });
    poll->start();
}

// Fixed settings for widget tests: a plain style and locale whatever the
// machine says.
inline void PrepareWidgetTests()
{
    QLocale::setDefault(QLocale::c());
    QApplication::setStyle(QStringLiteral("Fusion"));
}

// A left click as the window system delivers it, both edges stamped with the
// given event time (0: an event without a time, timed by the clock).
inline void ClickAt(QWidget* widget, quint64 eventTime)
{
    const QPointF pos = widget->rect().center();
    for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        const Qt::MouseButtons held
            = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
        QMouseEvent event(type, pos, widget->mapToGlobal(pos), Qt::LeftButton, held, {});
        event.setTimestamp(eventTime);
        QSpontaneKeyEvent::setSpontaneous(&event);
        qApp->notify(widget, &event);
    }
}
