#pragma once
// A single-line edit box of the window. Its change notification runs whenever
// its text changes, by typing or from the program (at once, inside setText);
// setting the text it already holds notifies nothing. MaxLength limits what
// the user types or pastes, never the text the program sets.
#include "sTrackBar/Notify.h"

#include <QLineEdit>

// Sees each character typed into the box before the box does; setting the
// character to 0 discards it.
using TKeyPressEvent = std::function<void(QObject* Sender, QChar& Key)>;

class TEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TEdit(QWidget* parent = nullptr);

    int MaxLength = 0; // characters; 0 is no limit
    TNotifyEvent OnChange;
    TKeyPressEvent OnKeyPress;

    // The program's writes: a text equal to the one shown leaves the box as it
    // is (selection, caret, undo history) and repaints nothing. QLineEdit's own
    // setText resets all three even then.
    void setText(const QString& text);

    // The character a key press types, as the box's key handler sees it:
    // control characters included (Backspace 8, Enter 13, Esc 27, Ctrl+V 22),
    // 0 for keys that type none (arrows, Delete, Home, function keys, Alt+key).
    static QChar typedCharacter(const QKeyEvent& event);
    // Alt held without AltGr: the key is a shortcut and types nothing.
    static bool isShortcut(const QKeyEvent& event);

    // Pastes the clipboard's first line, cut to what MaxLength leaves room for.
    void pasteWithinLimit();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    int roomFor(int typed) const;
};
