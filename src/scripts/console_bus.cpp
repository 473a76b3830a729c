#include "scripts/console_bus.h"

#include "bridge/frmMainF340.h"
#include "link/hid.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "platform/services.h"
#include "shell/forms.h"
#include "shell/globals.h"
#include "shell/text.h"

#include <QCheckBox>
#include <QLineEdit>

namespace script {

namespace {
// The register bytes go out only while the console's "Random Read/Write" is ticked.
std::span<const std::uint8_t> sentRegisters(std::span<const std::uint8_t> regs)
{
    return forms().frmMainF340().chkRandom->isChecked() ? regs : regs.first(0);
}

constexpr int kConsoleReadFieldsCleared = 32; // what the console's clear button empties

// A run stops sending once a link dialog was answered Retry: the steps after it are skipped.
struct LinkWatch {
    int retries = LinkRetryCount();
    bool lost() const { return LinkRunActive() && LinkRetryCount() != retries; }
};
} // namespace

int ConsoleBus::linkRetries() { return LinkRetryCount(); }

bool ConsoleBus::i2cWrite(std::uint8_t address, std::span<const std::uint8_t> regs, std::span<const std::uint8_t> data)
{
    const auto sent = sentRegisters(regs);
    FlushHidInput();
    I2CWriteRetry(address, static_cast<std::uint8_t>(data.size()), static_cast<int>(sent.size()), data, sent, 0);
    return g_BridgeStatus == kStatusOk;
}

bool ConsoleBus::i2cRead(std::uint8_t address, std::span<const std::uint8_t> regs, std::span<std::uint8_t> out)
{
    frmMainF340& con = forms().frmMainF340();
    con.cmdClearReadTextBoxes_Click();
    const auto sent = sentRegisters(regs);
    FlushHidInput();
    if (I2CReadRetry(address, static_cast<std::uint8_t>(out.size()), static_cast<int>(sent.size()), out, sent, 0) !=
        kStatusOk)
        return false;
    // The console shows what was read from the register on, as far as its first 32 fields go.
    const int reg = sent.empty() ? 0 : sent[0];
    for (size_t j = 0; j < out.size() && reg + static_cast<int>(j) < kConsoleReadFieldsCleared; ++j)
        con.txtReadVal[static_cast<size_t>(reg) + j]->setText(Hex2(out[j]));
    return true;
}

std::optional<std::vector<std::uint8_t>> ConsoleBus::spiTransfer(std::span<const std::uint8_t> bytes)
{
    frmMainF340& con = forms().frmMainF340();
    const LinkWatch link;
    // P2.4 high: the supply potentiometer lets go of the bus, the device under test has it.
    con.chkGPvalueP2[4]->setChecked(true);
    con.cmdWrGPData_Click(2);
    if (link.lost())
        return std::nullopt;
    con.cmdRdGPData_Click(2);
    if (link.lost())
        return std::nullopt;
    con.chkSPIread->setChecked(true);
    con.txtNumToWrite->setText(QString::number(bytes.size()));
    for (size_t j = 0; j < bytes.size() && j < con.txtWriteVal.size(); ++j)
        con.txtWriteVal[j]->setText(Hex2(bytes[j]));
    // Empty fields cannot pass for bytes of this transfer when it fails.
    for (QLineEdit* box : con.txtReadVal)
        box->clear();
    platform::pumpEvents();
    platform::sleepMs(20);
    con.cmdSPIWrite_Click();
    std::vector<std::uint8_t> in;
    for (size_t j = 0; j < bytes.size(); ++j) {
        const auto b = HexByte(con.txtReadVal[j]->text());
        if (!b)
            return std::nullopt;
        in.push_back(*b);
    }
    return in;
}

std::optional<std::array<std::uint8_t, 6>> ConsoleBus::readPorts()
{
    frmMotherboardDAQ2& mb = forms().frmMotherboardDAQ2();
    for (QLineEdit* box : mb.txtPBufRd)
        box->setText("--");
    mb.cmdReadPipe1_Click();
    std::array<std::uint8_t, 6> ports{};
    for (size_t k = 0; k < ports.size(); ++k) {
        const auto b = HexByte(mb.txtPBufRd[k]->text());
        if (!b)
            return std::nullopt;
        ports[k] = *b;
    }
    return ports;
}

} // namespace script
