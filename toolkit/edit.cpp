#include "toolkit/edit.h"

#include "toolkit/updown.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QSignalBlocker>

namespace tk {

Edit::Edit(QWidget* parent)
    : QLineEdit(parent)
{
    // textChanged covers typing, pasting, cutting, undo and redo; the
    // program's writes go through SetText, which notifies by itself.
    connect(this, &QLineEdit::textChanged, this, &Edit::changed);
}

void Edit::SetText(const QString& text)
{
    {
        const QSignalBlocker blocker(this);
        setText(text);
    }
    emit changed();
}

Edit::Selection Edit::GetSel() const
{
    const int caret = cursorPosition();
    if (!hasSelectedText())
        return {caret, caret};
    const int first = selectionStart();
    const int last = first + int(selectedText().size());
    return {caret == first ? last : first, caret};
}

void Edit::SetSel(Selection selection)
{
    const int length = int(text().size());
    const int anchor = qBound(0, selection.start, length);
    const int caret = qBound(0, selection.end, length);
    setSelection(anchor, caret - anchor);
}

void Edit::ScrollCaret()
{
    // A line edit scrolls its caret into view whenever it lays out its text.
    update();
}

void Edit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    if (event->reason() != Qt::PopupFocusReason)
        emit focusGained();
}

void Edit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason)
        emit focusLost();
}

void Edit::AddContextEntry(const QString& text, std::function<void()> handler)
{
    auto* entry = new QAction(text, this);
    connect(entry, &QAction::triggered, this, std::move(handler));
    m_contextEntries << entry;
}

void Edit::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = createStandardContextMenu();
    if (!m_contextEntries.isEmpty()) {
        menu->addSeparator();
        menu->addActions(m_contextEntries);
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void Edit::keyPressEvent(QKeyEvent* event)
{
    if (m_arrowKeyTarget && (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)
        && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        m_arrowKeyTarget->Step(event->key() == Qt::Key_Up ? +1 : -1);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

} // namespace tk
