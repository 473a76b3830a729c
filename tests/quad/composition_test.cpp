// Composing an instruction on the consoles: the five fields, forced fields, the highlighted
// table row, the pot captions, Reset, and each console keeping its own selection.
#include "quad_fixture.h"

#include <QTableWidget>

using namespace quad;

namespace {

QStringList fields(QuadConsole& c)
{
    QStringList out;
    for (QLabel* l : c.lblSet)
        out << l->text();
    return out;
}

std::vector<int> yellowRows(QuadConsole& c)
{
    std::vector<int> rows;
    for (int r = 0; r < kTableRows; ++r)
        if (c.Grid1->item(r, 5)->background().color() == paletteColor(14))
            rows.push_back(r);
    return rows;
}

} // namespace

class QuadComposition_ : public QuadFixture {};

TEST_F(QuadComposition_, BothConsolesOpenFromTheRegistryWithTheirOwnCaptions)
{
    struct Case {
        QuadConsole* c;
        const char* caption;
        const char* frame;
        const char* status;
    } cases[] = {
        {&k44(), "k4744/5  Instruction Set, Register Controls and Status Detail", "K4744/5 Instruction Set", "I2C ACK"},
        {&k31(), "k4731/2  Instruction Set, Register Controls and Status Detail", "k4731/2 Instruction Set", "USB Comm."},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(k.c->windowTitle(), k.caption);
        EXPECT_EQ(k.c->FrPot->title(), k.frame);
        EXPECT_EQ(k.c->Label1->text(), k.status);
        EXPECT_EQ(fields(*k.c), QStringList({"-", "-", "-", "--", "--"}));
        EXPECT_EQ(k.c->Grid1->item(0, 9)->text(), "OPERATION");
        EXPECT_EQ(k.c->Grid1->item(9, 0)->text(), "Increment /Decrement Wiper Counter Register");
        EXPECT_TRUE(yellowRows(*k.c).empty());
        EXPECT_FALSE(k.c->FrIncrDec->isVisibleTo(k.c));
    }
}

TEST_F(QuadComposition_, SelectionsComposeTheInstruction)
{
    QuadConsole& c = k44();
    QuadConsole::select(c.OptInstruction[kXferWcrToData]);
    EXPECT_EQ(c.lblSet[0]->text(), "E");
    EXPECT_EQ(yellowRows(c), std::vector<int>{6});
    EXPECT_EQ(c.Grid1->item(6, 3)->text(), "1");
    EXPECT_EQ(c.Grid1->item(6, 4)->text(), "0");

    QuadConsole::select(c.OptInstruction[kReadData]);
    QuadConsole::select(c.OptRegSel[3]);
    QuadConsole::select(c.OptWiper[2]);
    EXPECT_EQ(c.lblSet[4]->text(), "BE");
    EXPECT_EQ(c.OptWiper[1]->text(), "Pot 1 Data");
    QuadConsole::select(c.OptInstruction[kReadWcr]);
    EXPECT_EQ(fields(c), QStringList({"9", "0", "2", "2", "92"}));
    EXPECT_TRUE(c.OptWiper[2]->isChecked());
    EXPECT_FALSE(c.OptRegSel[3]->isChecked());
    EXPECT_FALSE(c.OptRegSel[0]->isEnabled());
    EXPECT_EQ(c.OptWiper[0]->text(), "Pot 0 WCR");
    EXPECT_EQ(c.FrWiper->title(), "P1/0 Selection");
    EXPECT_EQ(yellowRows(c), std::vector<int>{1});

    QuadConsole::select(c.OptInstruction[kReadData]);
    QuadConsole::select(c.OptRegSel[1]);
    QuadConsole::select(c.OptWiper[3]);
    QuadConsole::select(c.OptInstruction[kGlobalWcrToData]);
    EXPECT_EQ(fields(c), QStringList({"8", "1", "0", "4", "84"}));
    for (QuadOption* o : c.OptWiper) {
        EXPECT_FALSE(o->isChecked());
        EXPECT_FALSE(o->isEnabled());
    }
    EXPECT_EQ(g_K4744Quad.operation, "XFERG");
    EXPECT_EQ(g_K4744Quad.xferSource, "WCR");

    QuadConsole::select(c.OptInstruction[kIncDec]);
    QuadConsole::select(c.OptWiper[1]);
    EXPECT_EQ(c.lblSet[4]->text(), "21");
    // Selecting the selected instruction again composes the same byte.
    QuadConsole::select(c.OptInstruction[kIncDec]);
    EXPECT_EQ(c.lblSet[4]->text(), "21");
    EXPECT_EQ(yellowRows(c), std::vector<int>{9});
}

TEST_F(QuadComposition_, RegisterBeforeAnyInstructionKeepsThePlaceholder)
{
    QuadConsole::select(k44().OptRegSel[1]);
    EXPECT_EQ(k44().lblSet[4]->text(), "-4");
}

TEST_F(QuadComposition_, ResetClearsSelectionsLampsAndTheRememberedOperation)
{
    QuadConsole& c = k44();
    QuadConsole::select(c.OptInstruction[kReadData]);
    QuadConsole::select(c.OptWiper[3]);
    QuadConsole::select(c.OptRegSel[2]);
    c.ShpRdWCR[1]->setFillColor(10);
    c.ShpDataWr[7]->setFillColor(9);
    c.cmdResetInstruction->click();
    EXPECT_EQ(fields(c), QStringList({"0", "0", "0", "0", "00"}));
    EXPECT_TRUE(yellowRows(c).empty());
    for (QuadOption* o : c.OptInstruction) {
        EXPECT_FALSE(o->isChecked());
        EXPECT_TRUE(o->isEnabled());
    }
    EXPECT_FALSE(c.OptWiper[3]->isChecked());
    EXPECT_EQ(c.ShpRdWCR[1]->fillColor(), 0);
    EXPECT_EQ(c.ShpDataWr[7]->fillColor(), 0);
    EXPECT_EQ(c.OptWiper[2]->text(), "2");
    EXPECT_TRUE(g_K4744Quad.operation.isEmpty());
    QuadConsole::select(c.OptRegSel[2]);
    EXPECT_EQ(c.lblSet[4]->text(), "08");

    // Go now sends nothing; the status step still tells the last I2C status.
    g_BridgeStatus = kStatusOk;
    c.cmdDoInstruction->click();
    EXPECT_TRUE(board().transcript.requests(0x06).empty());
    EXPECT_EQ(c.ShpI2CAck[0]->fillColor(), 10);
}

TEST_F(QuadComposition_, EachConsoleKeepsItsOwnComposition)
{
    QuadConsole::select(k44().OptInstruction[kReadWcr]);
    QuadConsole::select(k44().OptWiper[1]);
    QuadConsole::select(k31().OptInstruction[kReadData]);
    QuadConsole::select(k31().OptWiper[3]);
    QuadConsole::select(k31().OptRegSel[2]);
    EXPECT_EQ(g_K4744Quad.g_QuadPotSel, 1);
    EXPECT_EQ(g_K4744Quad.g_QuadRegField, 0);
    EXPECT_EQ(g_K4731Quad.g_QuadPotSel, 3);
    EXPECT_EQ(g_K4731Quad.g_QuadRegField, 8);
    // The composition outlives the window.
    forms().frm_k4744.unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(g_K4744Quad.g_QuadPotSel, 1);
    EXPECT_EQ(g_K4744Quad.operation, "Read");
    EXPECT_EQ(k44().lblSet[4]->text(), "--");
}
