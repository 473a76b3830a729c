// A board that answers every request 3 ms late, in order, with set answers of its own (the
// command code in byte 2), must look to the user exactly like a prompt one: the same requests
// on the wire and the same fields, lists, boxes and lamps in every window, for the console's
// load, the "I2C" and "SPI" picks and a wiper write with Auto Read.
#include "bridge/frmMainF340.h"
#include "controls/lamp.h"
#include "devices/SupplyPanel.h"
#include "devices/frmDCP_SPI1.h"
#include "devices/frmDCP_User1.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "shell/forms.h"
#include "shell/frmStartup.h"
#include "sim/evaluation_board.h"
#include "support/board_fixture.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

// What a user sees in a window: every text field, label, list, box and lamp, in widget order.
QStringList shown(const QWidget& w)
{
    QStringList out;
    for (const QWidget* c : w.findChildren<QWidget*>()) {
        const QString name = c->metaObject()->className();
        if (auto* e = qobject_cast<const QLineEdit*>(c))
            out << name + ": " + e->text();
        else if (auto* l = qobject_cast<const QLabel*>(c))
            out << name + ": " + l->text();
        else if (auto* b = qobject_cast<const QComboBox*>(c))
            out << name + ": " + QString::number(b->count()) + " " + b->currentText();
        else if (auto* k = qobject_cast<const QAbstractButton*>(c); k && k->isCheckable())
            out << name + ": " + k->text() + (k->isChecked() ? " [x]" : " [ ]");
        else if (auto* lamp = dynamic_cast<const Lamp*>(c))
            out << name + ": " + QString::number(lamp->fillColor());
    }
    return out;
}

struct Seen {
    std::vector<std::string> requests;
    std::vector<std::string> fields;
};

// Where the slow board's sequence first parts from the prompt one's; empty when they agree.
std::string firstDifference(const std::vector<std::string>& slow, const std::vector<std::string>& prompt)
{
    for (size_t i = 0; i < std::max(slow.size(), prompt.size()); ++i) {
        const std::string a = i < slow.size() ? slow[i] : "(none)", b = i < prompt.size() ? prompt[i] : "(none)";
        if (a != b)
            return "at " + std::to_string(i) + ": " + a + " instead of " + b;
    }
    return {};
}

struct Scenario {
    const char* what;
    const char* part;
    // Acts as a user would; returns the windows whose fields count.
    std::function<std::vector<QWidget*>()> act;
};

frmDCP_User1& pick(int entry)
{
    forms().frmStartup.show();
    forms().frmStartup().cboDCPSelect->setCurrentIndex(entry);
    return forms().frmDCP_User1();
}

} // namespace

class SlowBoardTest : public BoardFixture {
protected:
    // The program started afresh over a board `slowMs` slow, the scenario played.
    Seen play(const Scenario& s, int slowMs)
    {
        BoardFixture::TearDown();
        BoardFixture::SetUp();
        sim::setUpEvaluationBoard(board(), {}, sim::findSimPart(s.part));
        board().replyDelayMs = slowMs;
        board().setAnswersCarryCode = true;
        Seen seen;
        for (QWidget* w : s.act())
            for (const QString& f : shown(*w))
                seen.fields.push_back(f.toStdString());
        for (const auto& rq : board().transcript.requests())
            seen.requests.push_back(sim::hexBytes(rq).toStdString());
        EXPECT_TRUE(svc.boxes.empty()) << svc.boxTexts().join(" | ").toStdString();
        return seen;
    }
};

TEST_F(SlowBoardTest, EveryPickLooksAsOnAPromptBoard)
{
    const Scenario scenarios[] = {
        {"the console's load", "ZN3710",
         [] { return std::vector<QWidget*>{&forms().frmMainF340()}; }},
        {"the I2C pick", "ZN3710",
         [] {
             frmDCP_User1& w = pick(2);
             return std::vector<QWidget*>{&w, &forms().frmMotherboardDAQ2(), &forms().frmMainF340()};
         }},
        {"the SPI pick", "ZN3930",
         [] {
             forms().frmStartup.show();
             forms().frmStartup().cboDCPSelect->setCurrentIndex(3);
             return std::vector<QWidget*>{&forms().frmDCP_SPI1(), &forms().frmMotherboardDAQ2(),
                                          &forms().frmMainF340()};
         }},
        {"a wiper write with Auto Read", "ZN3710",
         [] {
             frmDCP_User1& w = pick(2);
             w.supply->OptVCC[0]->setChecked(true);
             w.ChkAutoRead[0]->setChecked(true);
             w.txtHexDataWrt[0]->setText("5A");
             w.txtHexDataWrt_KeyPress(0, 'X');
             w.txtHexDataWrt_KeyPress(0, 13);
             EXPECT_EQ(w.lblPotReadhex[0]->text(), "5A");
             EXPECT_EQ(w.lblWiperVolts[0]->text(), "3.516");
             EXPECT_EQ(w.supply->lblVCCVolts->text(), "5.000");
             return std::vector<QWidget*>{&w, &forms().frmMotherboardDAQ2(), &forms().frmMainF340()};
         }},
    };
    for (const Scenario& s : scenarios) {
        SCOPED_TRACE(s.what);
        const Seen prompt = play(s, 0);
        const Seen slow = play(s, 3);
        EXPECT_EQ(firstDifference(slow.requests, prompt.requests), "");
        EXPECT_EQ(firstDifference(slow.fields, prompt.fields), "");
    }
}
