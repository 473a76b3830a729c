// Executing instructions on both consoles against the simulated quad parts: the bytes on the
// wire, the register displays and lamps, the register buttons, Read All, Set Wr = Rd, the
// fill, and the failures (not acknowledged, USB errors, values that are no byte).
#include "quad_fixture.h"

#include "motherboard/frmMotherboardDAQ2.h"

#include <QCheckBox>

using namespace quad;
using platform::vbOK;
using platform::vbRetry;

using Bytes = std::vector<std::vector<int>>;

class QuadExecution : public QuadFixture {};

TEST_F(QuadExecution, I2CReadOfWcrTwoShowsTheValueAndBlinks)
{
    i2c->wcr[2] = 0x5C;
    QuadConsole& c = k44();
    c.cmdRdWCR[2]->click();
    EXPECT_EQ(i2cTransfers(), (Bytes{{0x51, 0x92}}));
    EXPECT_EQ(board().transcript.requests(0x06)[0][3], 1); // one byte read
    EXPECT_EQ(c.lblReadValue->text(), "5C");
    EXPECT_EQ(c.lblRDWcr[2]->text(), "5C");
    EXPECT_EQ(c.ShpRdWCR[2]->fillColor(), 10);
    EXPECT_EQ(c.ShpI2CAck[0]->fillColor(), 10);
    // P0.6 goes high before the read and low after it.
    const auto p0 = sfrSets(0x80);
    ASSERT_EQ(p0.size(), 2u);
    EXPECT_TRUE(p0[0] & 0x40);
    EXPECT_FALSE(p0[1] & 0x40);
    c.cmdRdWCR[2]->click();
    EXPECT_EQ(c.ShpRdWCR[2]->fillColor(), 2);
    EXPECT_EQ(c.ShpI2CAck[0]->fillColor(), 2);
}

TEST_F(QuadExecution, RegisterButtonsSendTheirInstructionOnEachBus)
{
    struct Case {
        Bus bus;
        std::function<void(QuadConsole&)> act;
        std::vector<int> wire; // I2C: address byte and what follows; SPI: the frame
    } cases[] = {
        {Bus::I2C, [](QuadConsole& c) { c.cmdRDData[14]->click(); }, {0x51, 0xBB}},
        {Bus::I2C, [](QuadConsole& c) { c.txtWrData[1]->setText("5A"); c.cdmWrData[1]->click(); }, {0x50, 0xC4, 0x5A}},
        {Bus::I2C, [](QuadConsole& c) { c.txtWXWcr[3]->setText("7F"); c.cmdWrWCR[3]->click(); }, {0x50, 0xA3, 0x7F}},
        {Bus::I2C, [](QuadConsole& c) { QuadConsole::select(c.OptInstruction[kXferDataToWcr]);
                                        QuadConsole::select(c.OptWiper[1]); QuadConsole::select(c.OptRegSel[2]);
                                        c.cmdDoInstruction->click(); }, {0x50, 0xD9}},
        {Bus::SPI, [](QuadConsole& c) { c.txtWXWcr[0]->setText("3F"); c.cmdWrWCR[0]->click(); }, {0x50, 0xA0, 0x3F}},
        {Bus::SPI, [](QuadConsole& c) { c.cmdRDData[6]->click(); }, {0x50, 0xB9, 0x3F}}, // byte 3 as the last frame left it
        {Bus::SPI, [](QuadConsole& c) { c.storeWcrsToR0(); }, {0x50, 0x80}},
    };
    for (const Case& k : cases) {
        board().transcript.clear();
        k.act(con(k.bus));
        if (k.bus == Bus::I2C) {
            ASSERT_EQ(i2cTransfers().size(), 1u);
            EXPECT_EQ(i2cTransfers()[0], k.wire);
        } else {
            ASSERT_EQ(spiFrames().size(), 1u);
            EXPECT_EQ(spiFrames()[0], k.wire);
        }
    }
    EXPECT_EQ(i2c->data[1], 0x5A);
    EXPECT_EQ(i2c->wcr[3], 0x7F);
    EXPECT_EQ(spi->wcr[0], 0x3F);
    EXPECT_EQ(k44().txtWriteValue->text(), "7F");
    EXPECT_EQ(k44().ShpDataWr[1]->fillColor(), 10);
    EXPECT_EQ(k31().lblRdData[6]->text(), "00");
}

TEST_F(QuadExecution, SpiReadShowsTheThirdByteOnlyWhenThePartCountAllowsIt)
{
    spi->wcr[1] = 0x42;
    QuadConsole& c = k31();
    c.cmdRdWCR[1]->click();
    EXPECT_EQ(c.lblRDWcr[1]->text(), "42");
    EXPECT_EQ(c.ShpI2CAck[0]->fillColor(), 10);
    quadDeviceLink(Bus::SPI).readCount = [] { return QString("1"); };
    c.cmdRdWCR[1]->click();
    EXPECT_EQ(spiFrames().back(), (std::vector<int>{0x50}));
    EXPECT_EQ(c.lblRDWcr[1]->text(), "--");
}

TEST_F(QuadExecution, TransfersMarkSourceAndRecipient)
{
    QuadConsole& c = k44();
    i2c->wcr[1] = 0x33;
    QuadConsole::select(c.OptInstruction[kXferWcrToData]);
    QuadConsole::select(c.OptWiper[1]);
    QuadConsole::select(c.OptRegSel[2]);
    c.cmdDoInstruction->click();
    EXPECT_EQ(i2c->data[6], 0x33);
    EXPECT_EQ(c.ShpRdWCR[1]->fillColor(), 14);
    EXPECT_EQ(c.ShpDataRd[6]->fillColor(), 9);
    EXPECT_EQ(c.lblRdData[6]->text(), "<<");

    QuadConsole::select(c.OptInstruction[kGlobalDataToWcr]);
    QuadConsole::select(c.OptRegSel[1]);
    c.cmdDoInstruction->click();
    EXPECT_EQ(i2cTransfers().back(), (std::vector<int>{0x50, 0x14}));
    for (int p = 0; p < 4; ++p) {
        EXPECT_EQ(c.ShpRdWCR[size_t(p)]->fillColor(), 9);
        EXPECT_EQ(c.lblRDWcr[size_t(p)]->text(), ">>");
        EXPECT_EQ(c.ShpDataRd[size_t(4 * p + 1)]->fillColor(), 14);
    }

    // Set Wr = Rd copies the markers and the design texts, and sends nothing.
    board().transcript.clear();
    c.cmdSetWReqRd->click();
    EXPECT_TRUE(board().transcript.requests().empty());
    EXPECT_EQ(c.txtWXWcr[0]->text(), ">>");
    EXPECT_EQ(c.txtWrData[6]->text(), "<<");
    EXPECT_EQ(c.txtWrData[0]->text(), "000");
    for (Lamp* l : c.ShpWrWCR)
        EXPECT_EQ(l->fillColor(), 9);
    for (Lamp* l : c.ShpDataWr)
        EXPECT_EQ(l->fillColor(), 9);
}

TEST_F(QuadExecution, FillWritesThePatternAndReadAllReadsEveryRegisterBack)
{
    QuadConsole& c = k44();
    c.cmdFillRegs->click();
    Bytes expected = {{0x50, 0xA0, 0xAA}, {0x50, 0xA1, 0xBB}, {0x50, 0xA2, 0xCC}, {0x50, 0xA3, 0xDD}};
    for (int p = 0; p < 4; ++p)
        for (int r = 0; r < 4; ++r)
            expected.push_back({0x50, 0xC0 + 4 * r + p, 4 * p + r});
    EXPECT_EQ(i2cTransfers(), expected);
    EXPECT_EQ(c.lblSet[4]->text(), "CF");
    EXPECT_EQ(c.txtWriteValue->text(), "0F");
    EXPECT_TRUE(c.OptInstruction[kWriteData]->isChecked());
    EXPECT_EQ(c.txtWXWcr[2]->text(), "CC");
    EXPECT_EQ(c.txtWrData[9]->text(), "09");

    board().transcript.clear();
    c.cmdReadAll->click();
    std::vector<int> order;
    for (const auto& t : i2cTransfers())
        order.push_back(t[1]);
    std::vector<int> want = {0x90, 0x91, 0x92, 0x93};
    for (int p = 0; p < 4; ++p)
        for (int r = 0; r < 4; ++r)
            want.push_back(0xB0 + 4 * r + p);
    EXPECT_EQ(order, want);
    EXPECT_EQ(c.lblRDWcr[3]->text(), "DD");
    for (int k = 0; k < 16; ++k)
        EXPECT_EQ(c.lblRdData[size_t(k)]->text(), fillValue(k)) << k;
    EXPECT_EQ(c.lblSet[4]->text(), "BF");
    for (QuadOption* o : c.OptWiper)
        EXPECT_FALSE(o->isChecked());
    for (QuadOption* o : c.OptRegSel)
        EXPECT_FALSE(o->isChecked());
}

TEST_F(QuadExecution, ANotAcknowledgedReadKeepsTheDisplayAndPaintsRed)
{
    QuadConsole& c = k44();
    i2c->wcr[0] = 0x11;
    c.cmdRdWCR[0]->click();
    board().nakNextI2C(1);
    svc.answer(vbRetry); // the link's not-acknowledged dialog
    svc.answer(vbOK);
    c.cmdRdWCR[0]->click();
    EXPECT_EQ(c.lblRDWcr[0]->text(), "11");
    EXPECT_EQ(c.lblReadValue->text(), "11");
    EXPECT_EQ(c.ShpRdWCR[0]->fillColor(), 12);
    EXPECT_EQ(c.ShpI2CAck[0]->fillColor(), 12);
    ASSERT_EQ(svc.boxes.size(), 2u);
    EXPECT_EQ(svc.boxes[1].text, "Write DCP Error, Check Device Address, VCC & AVDD Power and I2C Connections ");
    EXPECT_EQ(svc.boxes[1].title, " Error during Write to DCP ");
    // P0.6 is lowered after the failed read too.
    EXPECT_FALSE(sfrSets(0x80).back() & 0x40);
}

TEST_F(QuadExecution, ReadAllAgainstASilentChipRunsAllTwentyReads)
{
    i2c->setPowered(false);
    svc.onBox = [](const QString& text, int) { return text.startsWith("Invalid I2C") ? vbRetry : vbOK; };
    k44().cmdReadAll->click();
    EXPECT_EQ(i2cTransfers().size(), 20u);
    EXPECT_EQ(svc.boxes.size(), 40u);
}

TEST_F(QuadExecution, TheSpiStatusIsThatOfItsOwnExchange)
{
    QuadConsole& c = k31();
    g_BridgeStatus = 1; // an I2C failure elsewhere does not paint a good SPI frame red
    g_UsbCommError = 4;
    c.cmdRdWCR[0]->click();
    EXPECT_EQ(c.ShpI2CAck[0]->fillColor(), 10);
    EXPECT_TRUE(svc.boxes.empty());

    // The frame's own report write fails (the chip-select port read just before it passes).
    bool armed = false;
    svc.onPump = [&](int) {
        const auto last = board().transcript.lastRequest();
        if (!armed && last && (*last)[1] == 0x12 && (*last)[2] == 1 && (*last)[3] == 0xA0) {
            board().failNextWrites(1);
            armed = true;
        }
    };
    svc.onBox = [](const QString& text, int) { return text.startsWith("Please check USB") ? vbRetry : vbOK; };
    c.txtWXWcr[0]->setText("12");
    c.cmdWrWCR[0]->click();
    EXPECT_EQ(c.ShpI2CAck[0]->fillColor(), 12);
    ASSERT_FALSE(svc.boxes.empty());
    EXPECT_EQ(svc.boxes.back().text, "USB Communications Error, VCC & AVDD Power and USB Connections ");
    EXPECT_EQ(svc.boxes.back().title, " Restart App if problem continues ");
}

TEST_F(QuadExecution, I2CTransfersIgnoreTheConsolesRegisterOptions)
{
    frmMainF340& b = console();
    b.chkRandom->setChecked(false);
    b.chk2WireRead->setChecked(false);
    b.ChK2WireCommand->setChecked(false);
    i2c->wcr[1] = 0x21;
    k44().cmdRdWCR[1]->click();
    b.chkRandom->setChecked(true);
    k44().txtWXWcr[1]->setText("22");
    k44().cmdWrWCR[1]->click();
    EXPECT_EQ(i2cTransfers(), (Bytes{{0x51, 0x91}, {0x50, 0xA1, 0x22}}));
    EXPECT_EQ(k44().lblRDWcr[1]->text(), "21");
    EXPECT_TRUE(b.chkRandom->isChecked());
    EXPECT_FALSE(b.chk2WireRead->isChecked());
}

TEST_F(QuadExecution, WriteValuesThatAreNoByteAreRefused)
{
    for (Bus bus : {Bus::I2C, Bus::SPI}) {
        QuadConsole& c = con(bus);
        for (const char* bad : {"<<", "^v", "5G", "", "100"}) {
            board().transcript.clear();
            svc.answer(vbOK);
            c.txtWXWcr[2]->setText(bad);
            c.cmdWrWCR[2]->click();
            EXPECT_TRUE(board().transcript.requests().empty()) << bad;
            EXPECT_EQ(svc.boxes.back().text,
                      QString("Write value \"%1\" is not a hex byte (00 to FF); nothing was written.").arg(bad));
            EXPECT_EQ(c.ShpWrWCR[2]->fillColor(), 0);
            EXPECT_EQ(c.ShpI2CAck[0]->fillColor(), 0);
        }
    }
}

TEST_F(QuadExecution, ValueFieldsAreCheckedWhenTheyLoseTheFocus)
{
    QuadConsole& c = k44();
    c.txtWrData[4]->setText("ff");
    c.txtWrData_LostFocus(4);
    c.txtWriteValue->setText("1FF");
    c.txtWriteValue_LostFocus();
    EXPECT_EQ(c.txtWrData[4]->text(), "FF");
    EXPECT_EQ(c.txtWriteValue->text(), "00");
}

TEST_F(QuadExecution, ClicksDuringAnOperationAreIgnoredButItsOwnStepsRun)
{
    QuadConsole& c = k44();
    int clicks = 0;
    svc.onPump = [&](int) {
        if (clicks++ == 3) {
            c.cmdRdWCR[0]->click();
            c.cmdFillRegs->click();
            c.storeWcrsToR0();
            c.OptInstruction[kIncDec]->click();
        }
    };
    c.cmdReadAll->click();
    EXPECT_EQ(i2cTransfers().size(), 20u);
    EXPECT_FALSE(c.OptInstruction[kIncDec]->isChecked());
    EXPECT_FALSE(c.busy());
    svc.onPump = nullptr;
    c.cmdRdWCR[0]->click();
    EXPECT_EQ(i2cTransfers().size(), 21u);
}

TEST_F(QuadExecution, AnAddressThatIsNoByteSendsNothing)
{
    for (Bus bus : {Bus::I2C, Bus::SPI}) {
        QuadConsole& c = con(bus);
        // An earlier read of another register leaves its value in the read field.
        (bus == Bus::I2C ? static_cast<sim::QuadPotCore&>(*i2c) : *spi).wcr[1] = 0x21;
        c.cmdRdWCR[1]->click();
        ASSERT_EQ(c.lblReadValue->text(), "21");
        board().transcript.clear();
        svc.boxes.clear();
        quadDeviceLink(bus).deviceAddress = [] { return QString("150"); };
        svc.answer(vbOK);
        c.cmdRdWCR[0]->click();
        EXPECT_TRUE(board().transcript.requests(0x06).empty());
        EXPECT_TRUE(board().transcript.requests(0x09).empty());
        EXPECT_EQ(svc.boxTexts(), QStringList{"Device address \"150\" is not a hex byte (00 to FF); nothing was sent."});
        EXPECT_EQ(c.lblRDWcr[0]->text(), "000"); // not the other register's value
    }
}

// The SPI read count comes from the device window; one the terminal would refuse gets one
// message naming it, not the terminal's refusal followed by a communications error.
TEST_F(QuadExecution, AnSpiReadCountOutOfRangeGetsOneMessageAndSendsNothing)
{
    QuadConsole& c = k31();
    for (const char* count : {"0", "6", "abc"}) {
        SCOPED_TRACE(count);
        quadDeviceLink(Bus::SPI).readCount = [count] { return QString(count); };
        board().transcript.clear();
        svc.boxes.clear();
        svc.answer(vbOK);
        c.cmdRdWCR[0]->click();
        EXPECT_TRUE(board().transcript.requests(0x09).empty());
        EXPECT_EQ(svc.boxTexts(),
                  QStringList{QString("Read count \"%1\" is no number from 1 to 5; nothing was sent.").arg(count)});
    }
}

TEST_F(QuadExecution, ValuesAndIdsGoOutAsTheBytesTheyStandFor)
{
    for (Bus bus : {Bus::I2C, Bus::SPI}) {
        QuadConsole& c = con(bus);
        for (const auto& [typed, byte] : {std::pair{"0FF", 0xFF}, {"5", 0x05}, {"00A", 0x0A}}) {
            board().transcript.clear();
            c.txtWXWcr[2]->setText(typed);
            c.cmdWrWCR[2]->click();
            const std::vector<int> sent = bus == Bus::I2C ? (i2cTransfers().empty() ? std::vector<int>{} : i2cTransfers()[0])
                                                          : (spiFrames().empty() ? std::vector<int>{} : spiFrames()[0]);
            EXPECT_EQ(sent, (std::vector<int>{0x50, 0xA2, byte})) << typed;
            EXPECT_EQ(c.txtWXWcr[2]->text(), typed); // the field keeps what was typed
        }
    }
    EXPECT_EQ(spi->wcr[2], 0x0A);
    EXPECT_TRUE(svc.boxes.empty());
    // An ID typed with one digit is the byte it stands for.
    quadDeviceLink(Bus::SPI).deviceAddress = [] { return QString("5"); };
    board().transcript.clear();
    k31().cmdRdWCR[0]->click();
    ASSERT_EQ(spiFrames().size(), 1u);
    EXPECT_EQ(spiFrames()[0][0], 0x05);
}
