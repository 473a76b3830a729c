// A frame started on an SPI terminal while another terminal transfer lets events run: each
// transfer sends its own bytes and its caller reads its own replies, whichever pause the
// second frame starts in.
#include "motherboard/frmMotherboardDAQ2.h"
#include "shell/forms.h"
#include "shell/text.h"
#include "sim/analog_board.h"
#include "support/board_fixture.h"
#include "support/fields.h"

#include <QLineEdit>

#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct TerminalFields {
    QLineEdit* count;
    std::array<QLineEdit*, 6>& bytes;
    std::array<QLineEdit*, 6>& replies;
};

} // namespace

class SpiTerminalNestingTest : public BoardFixture {
protected:
    void SetUp() override
    {
        BoardFixture::SetUp();
        chip = std::make_shared<sim::ShiftRegisterSpiDevice>();
        board(0).chipSlot = chip;
    }
    TerminalFields terminal(int number)
    {
        frmMotherboardDAQ2& w = forms().frmMotherboardDAQ2();
        if (number == 2)
            return {w.txtSPIWrQty2, w.txtSPIWrite2Data, w.txtSPIORead};
        return {w.txtSPIWrQty3, w.txtSPIWrite3Data, w.txtSPIORead3};
    }
    // Fills the terminal as a caller does, sends, and takes the replies right after.
    std::vector<QString> run(int number, const QStringList& frame)
    {
        TerminalFields t = terminal(number);
        t.count->setText(QString::number(frame.size()));
        for (int k = 0; k < frame.size(); ++k)
            t.bytes[size_t(k + 1)]->setText(frame[k]);
        frmMotherboardDAQ2& w = forms().frmMotherboardDAQ2();
        if (number == 2)
            w.cmdSPIOWrite2_Click();
        else
            w.cmdSPIOWrite3_Click();
        return texts(t.replies);
    }
    std::shared_ptr<sim::ShiftRegisterSpiDevice> chip;
};

TEST_F(SpiTerminalNestingTest, AFrameStartedDuringAnotherRunsWholeAndEachCallerReadsItsOwnReplies)
{
    const QStringList outerFrame{"80", "01", "02", "03"}, innerFrame{"C1", "7F"};
    const Bytes outerBytes{0x80, 0x01, 0x02, 0x03}, innerBytes{0xC1, 0x7F};
    forms().frmMotherboardDAQ2();
    struct Case {
        int outer, inner;
    };
    for (const Case c : {Case{3, 2}, Case{3, 3}, Case{2, 3}, Case{2, 2}}) {
        // How many pauses the outer transfer has, alone.
        const int before = svc.pumps;
        run(c.outer, outerFrame);
        const int pauses = svc.pumps - before;
        ASSERT_GT(pauses, 0);

        for (int at = 1; at <= pauses; ++at) {
            chip->frames.clear();
            chip->held = 0xFF;
            std::vector<QString> innerReplies;
            const int start = svc.pumps;
            svc.onPump = [&](int pump) {
                if (pump == start + at)
                    innerReplies = run(c.inner, innerFrame);
            };
            const std::vector<QString> outerReplies = run(c.outer, outerFrame);
            svc.onPump = nullptr;

            const std::string where = "terminal " + std::to_string(c.inner) + " inside terminal " +
                                      std::to_string(c.outer) + " at pause " + std::to_string(at);
            ASSERT_EQ(chip->frames.size(), 2u) << where;
            const bool innerFirst = chip->frames[0] == innerBytes;
            EXPECT_EQ(chip->frames[innerFirst ? 1 : 0], outerBytes) << where;
            EXPECT_EQ(chip->frames[innerFirst ? 0 : 1], innerBytes) << where;
            // The shift register answers each byte with the byte before it: reply 1 names the
            // frame's first byte.
            ASSERT_EQ(outerReplies.size(), 6u);
            EXPECT_EQ(outerReplies[1], "80") << where;
            EXPECT_EQ(outerReplies[3], "02") << where;
            ASSERT_EQ(innerReplies.size(), 6u) << where;
            EXPECT_EQ(innerReplies[1], "C1") << where;
            EXPECT_EQ(innerReplies[2], "--") << where;
        }
    }
    EXPECT_TRUE(svc.boxes.empty());
}

TEST_F(SpiTerminalNestingTest, ATerminalFrameDuringASupplyPotentiometerReadLeavesItsFrameToThePotentiometer)
{
    auto analog = sim::attachAnalogBoard(board(0));
    frmMotherboardDAQ2& w = forms().frmMotherboardDAQ2();
    analog->supplyPot->frames.clear();
    chip->frames.clear();
    bool nested = false;
    svc.onPump = [&](int) {
        if (!nested && !board(0).pin(2, 4)) { // the potentiometer is selected, its read waits
            nested = true;
            run(3, {"80", "01"});
        }
    };
    w.cmdSPRRdReg_Click(); // "Read Setup"
    svc.onPump = nullptr;
    ASSERT_TRUE(nested);
    EXPECT_EQ(analog->supplyPot->frames, (std::vector<Bytes>{{0x50, 0xB2, 0xC0}}));
    EXPECT_EQ(chip->frames, (std::vector<Bytes>{{0x80, 0x01}}));
    EXPECT_EQ(w.txtSPIRd[2]->text(), Hex2(analog->supplyPot->setup));
    EXPECT_TRUE(board(0).pin(2, 4)) << "released at the end";
}
