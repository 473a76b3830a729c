#pragma once
// One SPI transfer with the chip under test, as the device windows hand it to the
// motherboard's SPI terminals: terminal 2 for frames that write, terminal 3 for frames that
// read, up to five bytes as hex texts and the byte count as the decimal text of a count
// field. A builder sets only the bytes of its layout; the terminal's other byte fields keep
// what an earlier frame left there, so a count above the layout sends those older bytes after
// the builder's own, and a count below it sends only the first count bytes.
//
// No widgets here: the builders take the texts of the window's fields and give the frame or
// the reason it must not be sent.
#include <QString>

#include <optional>
#include <span>
#include <vector>

namespace spi {

constexpr int kWriteTerminal = 2;
constexpr int kReadTerminal = 3;
constexpr int kMaxFrameBytes = 5;

// Every read frame clocks fillers while the chip answers.
inline const QString kFiller = QStringLiteral("00");

struct SpiDeviceFrame {
    int terminal = kWriteTerminal;
    QString count;              // the count field's text, as sent
    std::vector<QString> bytes; // frame bytes 1.., only the builder's own
};

// A frame, or the message that says why nothing is sent.
struct FrameResult {
    std::optional<SpiDeviceFrame> frame;
    QString refusal;
    // K6623 wiper frames: the channel's hex box padded to three characters, for the window
    // to write back; empty otherwise.
    QString paddedHex;
};

// The SPI device window's fields that shape its frames.
struct SpiWindowTexts {
    QString deviceId;     // txtDeviceAdr, the ID byte
    bool sendId = false;  // chkSendID
    QString writeBase;    // txtBaseDCPWriteAddress, wiper write instruction of channel 0
    QString readBase;     // txtBaseDCPReadAddress
    QString writeCount;   // txtSPIWrCount
    QString readCount;    // txtSPIRDQuantity
    QString product;      // lblProduct caption
};

// --- byte texts

// A box text of hex digits only worth 00..FF goes into a frame as two digits ("0080" is 80,
// the same on the wire as "80"); any other text goes unchanged, for the terminal to refuse.
QString frameByte(const QString& text);
// A computed byte (instruction, ID + 1): upper-case hex without leading zeros, 12 is "C".
QString hexNoLeadingZero(int value);
// Pads on the left with "0" to three characters ("5" is "005"); longer texts stay.
QString padTo3(const QString& text);
// The value of a text of hex digits only (leading zeros allowed); nullopt otherwise.
std::optional<int> hexDigitsValue(const QString& text);

// --- the SPI device window's frames (k is the channel, 0..3)

// The window holds a 10-bit K6623 part when its product caption starts with "K6623/4".
bool isK6623Product(const QString& product);

FrameResult wiperWrite(const SpiWindowTexts& w, int channel, const QString& hexBox);
// The hex box is only padded (K6623 form); the read sends no position.
FrameResult wiperRead(const SpiWindowTexts& w, int channel, const QString& hexBox = {});
// ACR and general-purpose registers share their layouts: address box, value box.
FrameResult registerWrite(const SpiWindowTexts& w, const QString& address, const QString& value);
FrameResult registerRead(const SpiWindowTexts& w, const QString& address);

// --- the 10-bit register console's frames (its own fixed instruction table)

enum class K6623Op { Read, Write, DataToWiper, WiperToData };

// The instruction byte by button index: Read 0..4 (wiper, data 0..3), Write 0..4,
// Data > Wiper 0..3, Wiper > Data 0..3.
QString k6623Instruction(K6623Op op, int index);
// valueBox: the row's write box (Write only); the padded text comes back in paddedHex.
FrameResult k6623Frame(K6623Op op, int index, const QString& deviceId, const QString& valueBox = {});

// What came back is read by the SPI read-back decoders of bridge/protocol.h.

} // namespace spi
