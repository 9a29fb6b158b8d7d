#include "frmMain/TEdit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>

TEdit::TEdit(QWidget* parent) : QLineEdit(parent)
{
    setAcceptDrops(false);
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (OnChange)
            OnChange(this);
    });
}

void TEdit::setText(const QString& text)
{
    if (text != this->text())
        QLineEdit::setText(text);
}

// Alt+key is a menu key, not a character. AltGr is not Alt: Qt reports it
// without the Alt modifier (at most as the group switch), and where a layout
// types it as Ctrl+Alt, Ctrl is held as well.
bool TEdit::isShortcut(const QKeyEvent& event)
{
    const Qt::KeyboardModifiers mods = event.modifiers();
    return mods.testFlag(Qt::AltModifier) && !mods.testFlag(Qt::ControlModifier) &&
           !mods.testFlag(Qt::GroupSwitchModifier);
}

QChar TEdit::typedCharacter(const QKeyEvent& event)
{
    if (isShortcut(event))
        return QChar(0);
    const Qt::KeyboardModifiers mods = event.modifiers();
    const bool ctrl = mods.testFlag(Qt::ControlModifier);
    const bool alt = mods.testFlag(Qt::AltModifier);

    const int key = event.key();
    switch (key) {
    case Qt::Key_Backspace:
        return QChar(ctrl ? 127 : 8);
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QChar(ctrl ? 10 : 13);
    case Qt::Key_Escape:
        return QChar(27);
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return QChar(0); // moves the focus; never reaches the box
    default:
        break;
    }
    if (ctrl && !alt && key >= Qt::Key_A && key <= Qt::Key_Z)
        return QChar(key - Qt::Key_A + 1);
    const QString text = event.text();
    if (text.isEmpty() || (text.front().unicode() < 32 && !ctrl))
        return QChar(0);
    return text.front();
}

int TEdit::roomFor(int typed) const
{
    if (MaxLength <= 0)
        return typed;
    const int kept = int(text().size() - selectedText().size());
    return std::max(0, std::min(typed, MaxLength - kept));
}

void TEdit::pasteWithinLimit()
{
    if (isReadOnly())
        return;
    QString pasted = QApplication::clipboard()->text();
    pasted = pasted.left(pasted.indexOf(QLatin1Char('\n'))); // first line only (-1: all)
    pasted.remove(QLatin1Char('\r'));
    const int room = roomFor(int(pasted.size()));
    if (room < pasted.size())
        QApplication::beep();
    if (room > 0 || hasSelectedText())
        insert(pasted.left(room));
}

void TEdit::keyPressEvent(QKeyEvent* event)
{
    if (isShortcut(*event) && !event->text().isEmpty() && event->text().front().isPrint()) {
        event->ignore(); // types nothing; the window may take it
        return;
    }
    QChar key = typedCharacter(*event);
    if (!key.isNull() && OnKeyPress) {
        OnKeyPress(this, key);
        if (key.isNull()) {
            event->accept();
            return;
        }
    }
    if (event->matches(QKeySequence::Paste)) {
        pasteWithinLimit();
        event->accept();
        return;
    }
    const QString text = event->text();
    if (!isReadOnly() && !text.isEmpty() && text.front().isPrint() &&
        roomFor(int(text.size())) < text.size()) {
        QApplication::beep();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

// What an input method commits (a dead-key composition among them) is typed:
// each character passes the key handler and the typing limit in turn, as a
// key press does. The composition still open is the input method's own.
void TEdit::inputMethodEvent(QInputMethodEvent* event)
{
    QString committed = event->commitString();
    if (isReadOnly() || committed.isEmpty()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    // A refused character costs a message box: a commit is typed no further
    // than the box can ever hold, however long a faulty input method makes it.
    if (MaxLength > 0 && committed.size() > MaxLength) {
        committed.truncate(MaxLength);
        QApplication::beep();
    }
    QInputMethodEvent withoutCommit(event->preeditString(), event->attributes());
    withoutCommit.setCommitString(QString(), event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&withoutCommit);
    for (QChar key : committed) {
        if (OnKeyPress) {
            OnKeyPress(this, key);
            if (key.isNull())
                continue;
        }
        if (roomFor(1) < 1) {
            QApplication::beep();
            continue;
        }
        insert(QString(key));
    }
    event->accept();
}

namespace {

// Qt 6.4 gives the standard menu's actions no object names; its Paste entry is
// known there by its text, which Qt makes from this same translation.
bool isPasteAction(const QAction* action)
{
    return action->objectName() == QLatin1String("edit-paste") ||
           action->text().startsWith(QLineEdit::tr("&Paste"));
}

} // namespace

// The menu's Paste keeps to MaxLength too.
void TEdit::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (QAction* action : menu->actions()) {
        if (isPasteAction(action)) {
            disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this, &TEdit::pasteWithinLimit);
        }
    }
    menu->popup(event->globalPos());
}
