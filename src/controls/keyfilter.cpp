#include "controls/keyfilter.h"

#include "platform/services.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>

namespace {

struct KeyCodeEntry {
    int qtKey;
    int code;
};

// Keys whose old code differs from Qt's key value. Letters and digits share their codes.
constexpr KeyCodeEntry kNamedKeys[] = {
    {Qt::Key_Backspace, 8}, {Qt::Key_Tab, 9},      {Qt::Key_Backtab, 9},   {Qt::Key_Return, 13},
    {Qt::Key_Enter, 13},    {Qt::Key_Shift, 16},   {Qt::Key_Control, 17},  {Qt::Key_Alt, 18},
    {Qt::Key_Pause, 19},    {Qt::Key_CapsLock, 20}, {Qt::Key_Escape, 27},  {Qt::Key_Space, 32},
    {Qt::Key_PageUp, 33},   {Qt::Key_PageDown, 34}, {Qt::Key_End, 35},     {Qt::Key_Home, 36},
    {Qt::Key_Left, 37},     {Qt::Key_Up, 38},      {Qt::Key_Right, 39},    {Qt::Key_Down, 40},
    {Qt::Key_Insert, 45},   {Qt::Key_Delete, 46},  {Qt::Key_Semicolon, 186}, {Qt::Key_Equal, 187},
    {Qt::Key_Comma, 188},   {Qt::Key_Minus, 189},  {Qt::Key_Period, 190},  {Qt::Key_Slash, 191},
    {Qt::Key_QuoteLeft, 192}, {Qt::Key_BracketLeft, 219}, {Qt::Key_Backslash, 220},
    {Qt::Key_BracketRight, 221}, {Qt::Key_Apostrophe, 222},
};

// The numeric keypad has codes of its own.
constexpr KeyCodeEntry kKeypadKeys[] = {
    {Qt::Key_Asterisk, 106}, {Qt::Key_Plus, 107}, {Qt::Key_Minus, 109},
    {Qt::Key_Period, 110},   {Qt::Key_Slash, 111}, {Qt::Key_Enter, 13},
};

int lookUp(const auto& table, int key)
{
    for (const auto& e : table)
        if (e.qtKey == key)
            return e.code;
    return 0;
}

} // namespace

int vbKeyCode(const QKeyEvent& e)
{
    const int key = e.key();
    const bool keypad = e.modifiers() & Qt::KeypadModifier;
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return keypad ? 96 + (key - Qt::Key_0) : key;
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return key;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F16)
        return 112 + (key - Qt::Key_F1);
    if (keypad) {
        if (int code = lookUp(kKeypadKeys, key))
            return code;
    }
    return lookUp(kNamedKeys, key);
}

int vbShiftMask(Qt::KeyboardModifiers mods)
{
    return (mods & Qt::ShiftModifier ? kShiftMask : 0) | (mods & Qt::ControlModifier ? kCtrlMask : 0)
         | (mods & Qt::AltModifier ? kAltMask : 0);
}

int vbKeyAscii(const QKeyEvent& e)
{
    const int key = e.key();
    const auto mods = e.modifiers();
    const bool ctrl = mods & Qt::ControlModifier;
    if ((mods & Qt::AltModifier) && !ctrl)
        return -1; // Alt+key is a menu accelerator, it types nothing
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return kKeyReturn;
    if (key == Qt::Key_Backspace)
        return kKeyBack;
    if (key == Qt::Key_Escape)
        return kKeyEscape;
    if (ctrl)
        return key >= Qt::Key_A && key <= Qt::Key_Z ? key - Qt::Key_A + 1 : -1;
    const QString text = e.text();
    if (text.isEmpty() || text.at(0).unicode() < 32 || text.at(0).unicode() == 127)
        return -1;
    return text.at(0).unicode();
}

KeyFilter::KeyFilter(QLineEdit* box) : QObject(box), box_(box)
{
    setObjectName(QStringLiteral("keyFilter"));
    // A dropped text would skip the filter; entry fields take typed and pasted text only.
    box->setAcceptDrops(false);
    box->installEventFilter(this);
}

KeyFilter* KeyFilter::on(QLineEdit* box)
{
    if (auto* f = box->findChild<KeyFilter*>(QStringLiteral("keyFilter"), Qt::FindDirectChildrenOnly))
        return f;
    return new KeyFilter(box);
}

void KeyFilter::typeText(const QString& text)
{
    // QLineEdit::insert does not look at read-only itself.
    if (box_->isReadOnly())
        return;
    QPointer<QLineEdit> box = box_;
    QString accepted;
    for (QChar ch : text) {
        if (ch.unicode() < 32 || ch.unicode() == 127)
            continue;
        int k = ch.unicode();
        if (keyPress) {
            keyPress(k);
            if (!box)
                return;
        }
        if (k >= 32 && k != 127)
            accepted += QChar(char16_t(k));
    }
    // One insert: it replaces the selection, keeps maxLength and is one undo step.
    if (!accepted.isEmpty())
        box_->insert(accepted);
}

void KeyFilter::paste() { typeText(platform::services().clipboardText()); }

QMenu* KeyFilter::contextMenu()
{
    QMenu* menu = box_->createStandardContextMenu();
    for (QAction* a : menu->actions()) {
        // The menu's Paste is known by its (translated) text: "&Paste", a tab, the shortcut.
        const bool isPaste = a->objectName() == QLatin1String("edit-paste")
                          || a->text().section(u'\t', 0, 0) == QLineEdit::tr("&Paste");
        if (isPaste) {
            QObject::disconnect(a, &QAction::triggered, nullptr, nullptr);
            a->setEnabled(!box_->isReadOnly() && !platform::services().clipboardText().isEmpty());
            connect(a, &QAction::triggered, this, &KeyFilter::paste);
        }
    }
    return menu;
}

void KeyFilter::typeKey(int KeyAscii)
{
    // A read-only field shows a value; a key the handler changed must not edit it either.
    if (box_->isReadOnly())
        return;
    if (KeyAscii == kKeyBack)
        box_->backspace();
    else if (KeyAscii >= 32 && KeyAscii != 127)
        box_->insert(QString(QChar(char16_t(KeyAscii))));
    // any other control code changed in by the handler types nothing
}

bool KeyFilter::keyEvent(QKeyEvent* e)
{
    QPointer<QLineEdit> box = box_;
    if (keyDown) {
        keyDown(vbKeyCode(*e), vbShiftMask(e->modifiers()));
        if (!box)
            return true; // the handler closed the window
    }
    const int ascii = vbKeyAscii(*e);
    if (ascii >= 0 && keyPress) {
        int k = ascii;
        keyPress(k);
        if (!box)
            return true;
        if (k == 0)
            return true;
        if (k != ascii) {
            typeKey(k);
            return true;
        }
    }
    if (e->matches(QKeySequence::Paste)) {
        paste();
        return true;
    }
    return false;
}

bool KeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != box_)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress:
        return keyEvent(static_cast<QKeyEvent*>(event));
    case QEvent::ContextMenu: {
        QMenu* menu = contextMenu();
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto* m = static_cast<QMouseEvent*>(event);
        QClipboard* cb = QGuiApplication::clipboard();
        if (m->button() != Qt::MiddleButton || !cb->supportsSelection())
            return false;
        typeText(cb->text(QClipboard::Selection));
        return true;
    }
    case QEvent::InputMethod: {
        // A finished composition is text like any other; compositions in progress pass.
        auto* im = static_cast<QInputMethodEvent*>(event);
        if (!im->preeditString().isEmpty() || im->commitString().isEmpty() || im->replacementLength() != 0)
            return false;
        typeText(im->commitString());
        return true;
    }
    default:
        return false;
    }
}
