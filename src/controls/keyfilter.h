#pragma once
// Entry fields on the old key model. A KeyFilter attached to a QLineEdit turns key presses
// into two calls a window handler understands:
//   keyDown(KeyCode, Shift)  for every key going down: the old key codes (letters 65..90,
//                            digits 48..57, Enter 13, F1 112, ...) and the modifier mask
//                            (1 Shift, 2 Ctrl, 4 Alt);
//   keyPress(KeyAscii)       for every key that types a character (Enter 13, Backspace 8,
//                            Ctrl+letter 1..26): the handler may change the code, and the
//                            changed character is typed instead, or set it to 0 to drop the key.
// Text that arrives any other way (paste by key or context menu, middle click, input method)
// is typed through keyPress character by character, so a hex field never holds a stray
// character, and it stops at the field's maxLength.
#include <QLineEdit>
#include <QObject>

#include <functional>

class QKeyEvent;
class QMenu;

// Character codes the key filters know by name.
inline constexpr int kKeyBack = 8;
inline constexpr int kKeyReturn = 13;
inline constexpr int kKeyEscape = 27;

// Modifier bits of a key-down event (the old "Shift" argument).
inline constexpr int kShiftMask = 1;
inline constexpr int kCtrlMask = 2;
inline constexpr int kAltMask = 4;

// The old key code of a key event; 0 for keys that have none here.
int vbKeyCode(const QKeyEvent& e);
// The modifier mask of a key event.
int vbShiftMask(Qt::KeyboardModifiers mods);
// The character code a key press types, or -1 when it types none (arrows, Alt+letter, ...).
int vbKeyAscii(const QKeyEvent& e);

class KeyFilter : public QObject {
    Q_OBJECT
public:
    // The filter of box, created (and owned by box) on first use.
    static KeyFilter* on(QLineEdit* box);

    std::function<void(int& KeyAscii)> keyPress;
    std::function<void(int KeyCode, int Shift)> keyDown;

    // Types text at the cursor, replacing the selection, each character through keyPress;
    // line breaks and other control characters are skipped. A read-only field takes nothing.
    void typeText(const QString& text);
    // The clipboard's text, typed.
    void paste();
    // The field's standard context menu with its Paste going through the filter.
    QMenu* contextMenu();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit KeyFilter(QLineEdit* box);
    bool keyEvent(QKeyEvent* e);
    void typeKey(int KeyAscii);

    QLineEdit* box_;
};
