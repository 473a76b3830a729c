#include "controls/keyfilter.h"
#include "shell/text.h"

#include "shell_fixture.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>

#include <memory>

namespace {

void press(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = QString())
{
    QKeyEvent down(QEvent::KeyPress, key, mods, text);
    QCoreApplication::sendEvent(w, &down);
}

void type(QWidget* w, const QString& text)
{
    for (QChar c : text) {
        const int key = c.isLetter() ? Qt::Key_A + (c.toUpper().unicode() - 'A') : c.unicode();
        press(w, key, c.isUpper() ? Qt::ShiftModifier : Qt::NoModifier, QString(c));
    }
}

} // namespace

class KeyFilterTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        box = std::make_unique<QLineEdit>();
        filter = KeyFilter::on(box.get());
        filter->keyPress = [this](int& k) {
            seen.push_back(k);
            checkValidEntryHex(k);
        };
    }
    std::unique_ptr<QLineEdit> box;
    KeyFilter* filter = nullptr;
    std::vector<int> seen;
};

TEST_F(KeyFilterTest, TypedKeysGoThroughTheHandler)
{
    type(box.get(), "1ag2-F");
    EXPECT_EQ(box->text(), QStringLiteral("1A2F")) << "a typed as A, g and - dropped";
    EXPECT_EQ(seen, (std::vector<int>{'1', 'a', 'g', '2', '-', 'F'}));

    press(box.get(), Qt::Key_Backspace);
    press(box.get(), Qt::Key_Return);
    EXPECT_EQ(box->text(), QStringLiteral("1A2"));
    EXPECT_EQ(seen.back(), 13);
    EXPECT_EQ(seen.at(seen.size() - 2), 8);

    box->setMaxLength(4);
    type(box.get(), "bc");
    EXPECT_EQ(box->text(), QStringLiteral("1A2B")) << "a changed character still keeps maxLength";
    EXPECT_EQ(KeyFilter::on(box.get()), filter) << "one filter per field";
}

TEST_F(KeyFilterTest, KeyDownGetsOldKeyCodesAndShiftMask)
{
    std::vector<std::pair<int, int>> downs;
    filter->keyDown = [&](int code, int shift) { downs.emplace_back(code, shift); };
    struct Case {
        int key;
        Qt::KeyboardModifiers mods;
        int code, shift;
    };
    const Case cases[] = {
        {Qt::Key_V, Qt::ControlModifier, 86, 2},
        {Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier, 86, 3},
        {Qt::Key_A, Qt::AltModifier, 65, 4},
        {Qt::Key_5, Qt::NoModifier, 53, 0},
        {Qt::Key_5, Qt::KeypadModifier, 101, 0},
        {Qt::Key_Return, Qt::NoModifier, 13, 0},
        {Qt::Key_Delete, Qt::NoModifier, 46, 0},
        {Qt::Key_F1, Qt::NoModifier, 112, 0},
        {Qt::Key_Left, Qt::ShiftModifier, 37, 1},
    };
    for (const Case& c : cases) {
        downs.clear();
        press(box.get(), c.key, c.mods);
        ASSERT_EQ(downs.size(), 1u);
        EXPECT_EQ(downs[0], std::make_pair(c.code, c.shift)) << c.key;
    }
}

TEST_F(KeyFilterTest, ConsoleFieldPastesWholeTextOnlyWithExactlyCtrl)
{
    // The console's arrangement: clipboard keys on key-down, hex filter on key press.
    filter->keyDown = [this](int code, int shift) { TextBoxClipboardKeys(box.get(), code, shift); };
    box->setText(QStringLiteral("12"));
    svc.clipboard = QStringLiteral("A5");

    press(box.get(), Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(box->text(), QStringLiteral("12")) << "Ctrl+Shift+V pastes nothing";
    EXPECT_EQ(seen.back(), 22) << "its character reached the filter and was dropped";

    press(box.get(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box->text(), QStringLiteral("A5")) << "replaced whole, not inserted as well";
}

TEST_F(KeyFilterTest, PasteTypesEachCharacterWithinMaxLength)
{
    box->setMaxLength(4);
    box->setText(QStringLiteral("0"));
    box->selectAll();
    svc.clipboard = QStringLiteral("a1 g\r\n2b3");

    press(box.get(), Qt::Key_Insert, Qt::ShiftModifier); // the other paste key
    EXPECT_EQ(box->text(), QStringLiteral("A12B"));
    EXPECT_EQ(seen, (std::vector<int>{'a', '1', ' ', 'g', '2', 'b', '3'})) << "line breaks are not keys";

    box->clear();
    std::unique_ptr<QMenu> menu(filter->contextMenu());
    QAction* pasteAction = nullptr;
    for (QAction* a : menu->actions())
        if (a->text().startsWith(QLatin1String("&Paste")))
            pasteAction = a;
    ASSERT_NE(pasteAction, nullptr);
    svc.clipboard = QStringLiteral("x7y");
    pasteAction->trigger();
    EXPECT_EQ(box->text(), QStringLiteral("7")) << "the context menu's paste is filtered too";
}

TEST_F(KeyFilterTest, AReadOnlyFieldTakesNeitherChangedKeysNorPastes)
{
    box->setText(QStringLiteral("5F"));
    box->setReadOnly(true);
    svc.clipboard = QStringLiteral("12");
    int enters = 0;
    filter->keyPress = [&](int& k) {
        if (k == kKeyReturn)
            ++enters;
        checkValidEntryHex(k);
    };

    type(box.get(), "a7"); // 'a' comes back from the filter as 'A', which the filter types itself
    press(box.get(), Qt::Key_Insert, Qt::ShiftModifier);
    press(box.get(), Qt::Key_V, Qt::ControlModifier);
    filter->typeText(QStringLiteral("34"));
    EXPECT_EQ(box->text(), QStringLiteral("5F"));

    press(box.get(), Qt::Key_Return);
    EXPECT_EQ(enters, 1) << "the handler still sees the keys";
}

TEST_F(KeyFilterTest, HandlerMayCloseTheField)
{
    filter->keyPress = [this](int& k) {
        if (k == kKeyReturn)
            box.reset();
    };
    press(box.get(), Qt::Key_Return);
    EXPECT_EQ(box, nullptr);
}
