#pragma once
// The simulated evaluation board: the bridge microcontroller's firmware as the program sees
// it through 64-byte reports. It answers every command of the bridge command set
// byte for byte, keeps the bridge's state (firmware version, LEDs, the SFR
// map with the ports, SMBus and SPI clocks, I2C options, SPI mode, ADC configuration, the
// external delta-sigma ADC), routes I2C and SPI transfers to chip models, and injects faults
// on demand. It is written from the command table alone, independently of the program's own
// report code, so the tests that run the program over it check the wire bytes for real.
//
// Every request that the board accepts gets one reply, sets included (the program's drains
// discard those). Reply byte 0 is the report number 1, byte 1 the status: 0 done,
// kStatusNak for an I2C transfer nobody acknowledged, kStatusBadRequest for a request the
// firmware cannot carry out (unknown command, a length beyond the report, a get/set byte
// other than 0 or 1). A request whose byte 0 is not 1 is refused like a HID write with a
// wrong report number: the write fails and nothing is answered.
//
// SFR addresses kept (the F340's, as the console's SFR dump names them):
//   port data latches      P0 0x80, P1 0x90, P2 0xA0, P3 0xB0, P4 0xC7
//   output modes (MDOUT)   P0 0xA4, P1 0xA5, P2 0xA6, P3 0xA7, P4 0xAE   (bit set = push-pull)
//   input modes (MDIN)     P0 0xF1, P1 0xF2, P2 0xF3, P3 0xF4, P4 0xF5   (bit clear = analog)
//   skip registers         P0 0xD4, P1 0xD5, P2 0xD6, P3 0xDF
//   crossbar               XBR0 0xE1, XBR1 0xE2 (bit 7 = weak pull-ups disabled), XBR2 0xE3
//   SPI                    SPI0CFG 0xA1, SPI0CKR 0xA2 (= the SPI clock divider index),
//                          SPI0DAT 0xA3 (last byte clocked in), SPI0CN 0xF8
//   ADC                    AMX0N 0xBA, AMX0P 0xBB, ADC0CF 0xBC (ADC clock setting),
//                          ADC0L 0xBD, ADC0H 0xBE (last conversion), REFCON 0xD1,
//                          ADC0CN 0xE8 (bit 7 = ADC enabled)
// Commands that set one of these registers write the map, and their gets read it back, so
// an SFR write (command 0x12) and the dedicated command see the same state. Addresses below
// 0x80 are not SFRs (internal RAM): an access there answers status byte 2 = 1 and changes
// nothing. A port read returns the pin levels: the latch, except for the pins a test drives
// from outside (setPinInputs).
#include "platform/transport.h"
#include "sim/i2c_devices.h"
#include "sim/spi_devices.h"
#include "sim/transcript.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <span>
#include <vector>

namespace sim {

namespace sfr {
constexpr std::uint8_t P0 = 0x80, P1 = 0x90, P2 = 0xA0, P3 = 0xB0, P4 = 0xC7;
constexpr std::uint8_t P0MDOUT = 0xA4, P1MDOUT = 0xA5, P2MDOUT = 0xA6, P3MDOUT = 0xA7, P4MDOUT = 0xAE;
constexpr std::uint8_t P0MDIN = 0xF1, P1MDIN = 0xF2, P2MDIN = 0xF3, P3MDIN = 0xF4, P4MDIN = 0xF5;
constexpr std::uint8_t P0SKIP = 0xD4, P1SKIP = 0xD5, P2SKIP = 0xD6, P3SKIP = 0xDF;
constexpr std::uint8_t XBR0 = 0xE1, XBR1 = 0xE2, XBR2 = 0xE3;
constexpr std::uint8_t SPI0CFG = 0xA1, SPI0CKR = 0xA2, SPI0DAT = 0xA3, SPI0CN = 0xF8;
constexpr std::uint8_t AMX0N = 0xBA, AMX0P = 0xBB, ADC0CF = 0xBC, ADC0L = 0xBD, ADC0H = 0xBE;
constexpr std::uint8_t REFCON = 0xD1, ADC0CN = 0xE8;
constexpr std::array<std::uint8_t, 5> kPortData{P0, P1, P2, P3, P4};
constexpr std::array<std::uint8_t, 5> kPortMdout{P0MDOUT, P1MDOUT, P2MDOUT, P3MDOUT, P4MDOUT};
constexpr std::array<std::uint8_t, 5> kPortMdin{P0MDIN, P1MDIN, P2MDIN, P3MDIN, P4MDIN};
} // namespace sfr

// Reply status byte (reply byte 1).
constexpr std::uint8_t kStatusDone = 0x00;
constexpr std::uint8_t kStatusNak = 0x01;
constexpr std::uint8_t kStatusBadRequest = 0x02;

// ADC input codes with a fixed meaning (the rest select port pins P1.0..P2.7, 0x00..0x0F).
constexpr std::uint8_t kAdcTempSensorOrVref = 0x1E; // positive: temperature sensor; negative: VREF
constexpr std::uint8_t kAdcVddOrGnd = 0x1F;         // positive: VDD; negative: GND

struct FirmwareVersion {
    std::uint8_t major = 2, minor = 5;
    std::uint16_t year = 2010;
    std::uint8_t month = 3, day = 15;
};

struct I2COptions {
    bool repeatedStart = false; // option byte bit 0
    bool stoppedWrite = false;  // bit 1
    bool twoWireRead = false;   // bit 3
    bool extendedHold = false;
    bool sdaStuck = false;      // test switch: a slave holds SDA low; transfers are not
                                // acknowledged and an SCL toggle reports the SDA error
    int sclToggles = 0;
};

// The SMBus clock is base MHz / divider; a divider byte of 0 stands for 256. The base is
// 24 MHz because the program holds kHz values as 16-bit signed numbers (so the
// base must not exceed 32 MHz); 240 gives 100 kHz.
struct SmbusClock {
    std::uint8_t baseMHz = 24;
    std::uint8_t divider = 240;
};

// The SPI clock is base MHz / (2 x (index + 1)); the index lives in SPI0CKR. Index 11 at a
// 24 MHz base gives 1 MHz.
struct SpiState {
    std::uint8_t baseMHz = 24;
    std::uint8_t mode = 0x04;    // bit 0 clock polarity, bit 1 clock phase, bit 2 slave select idle high
    bool lastPhaseChange = false; // request bytes 4 and 5 of the last transfer
    std::uint8_t lastPhaseByte = 0;
    int transfers = 0;
};

struct AdcState {
    std::uint8_t systemClockMHz = 48; // reply byte 2 of the ADC clock and sample-rate gets
    bool continuous = false;          // command 0x0D
    std::uint8_t averaging = 10;      // command 0x0E
    std::uint16_t sampleRate = 0x0400;// command 0x0F count
    double vref = 3.3;                // volts of a full-scale count 1023
    std::uint8_t lastReadMode = 0;    // request bytes 2 and 3 of the last conversion
    std::uint8_t lastSampleSelect = 0;
    int conversions = 0;
    // Volts at each input code (positive list codes; 0x00..0x0F also serve the negative
    // input). Inputs not set read 0 V, VDD reads vref. A board model can replace the table
    // with `source` (positive code, negative code -> volts).
    std::map<std::uint8_t, double> volts;
    std::function<double(std::uint8_t positive, std::uint8_t negative)> source;
};

// The external 24-bit delta-sigma ADC behind command 0x13 (the ZN5520 on port P1).
// Register access: request byte 3 = bit 7 write / clear read, bits 3..0 the register;
// byte 4 = the value to write; byte 5 = delay. The reply carries the register's value after
// the access one bit late, as the converter's serial output arrives: byte 2 = value >> 7,
// byte 3 = (value << 1) & 0xFF. Conversion: reply bytes 3..5 = `result`, 24-bit two's
// complement, high byte first (clamped to -8388608..8388607).
struct ExternalAdc {
    std::int32_t result = 0;
    std::array<std::uint8_t, 16> registers{};
    std::uint8_t lastDelay = 0;
    int conversions = 0;
};

// What the board made of one request.
struct Response {
    bool accepted = true;                  // false: the write failed, nothing is answered
    std::optional<platform::Report> reply; // empty: no reply will come
    int delayMs = 0;                       // the reply is due this long after the request
};

class SimBoard {
public:
    SimBoard();

    // One request as the wire brings it. Records both directions in the transcript.
    Response handle(const platform::Report& request);

    // --- state, read and set freely by tests and board models
    FirmwareVersion firmware;
    std::uint8_t leds = 0; // bit 0 green, bit 1 red
    I2COptions i2c;
    SmbusClock smbus;
    SpiState spi;
    AdcState adc;
    ExternalAdc extAdc;
    Transcript transcript;
    // A slow bridge (busy with its bus, or polled once per USB frame): every reply comes this
    // many ms after its request, in order.
    int replyDelayMs = 0;
    // The answers to sets carry the command code in byte 2 (their content is the firmware's
    // choice), so an answer read as a later request's reply shows as wrong.
    bool setAnswersCarryCode = false;

    // --- SFR map
    std::uint8_t sfr(std::uint8_t address) const { return sfr_[address]; }
    // Writes the map as the firmware would (port latch changes reach the pin listeners).
    void setSfr(std::uint8_t address, std::uint8_t value);
    // What an SFR read returns (ports: pin levels).
    std::uint8_t readSfr(std::uint8_t address) const;
    std::uint8_t portLatch(int port) const { return sfr_[sfr::kPortData.at(port)]; }
    std::uint8_t portPins(int port) const { return readSfr(sfr::kPortData.at(port)); }
    bool pin(int port, int bit) const { return (portPins(port) >> bit) & 1; }
    // Pins in `mask` are driven from outside at the levels in `levels`; a port read returns
    // (latch & ~mask) | (levels & mask). A mask of 0 releases the port again.
    void setPinInputs(int port, std::uint8_t mask, std::uint8_t levels);
    // Called after every change of a port latch: port 0..4, latch before and after.
    std::vector<std::function<void(int port, std::uint8_t before, std::uint8_t after)>> pinListeners;

    // --- I2C bus, by 7-bit address
    void attachI2C(std::uint8_t address7, std::shared_ptr<I2CDevice> device);
    void detachI2C(std::uint8_t address7);
    I2CDevice* i2cDevice(std::uint8_t address7) const;
    int i2cTransfers = 0;

    // --- SPI bus: two slots, chosen by P2.4 (supply potentiometer's chip select, low = selected)
    std::shared_ptr<SpiDevice> supplyPotSlot = std::make_shared<ConstantSpiDevice>(0xFF);
    std::shared_ptr<SpiDevice> chipSlot = std::make_shared<ShiftRegisterSpiDevice>();
    SpiDevice* spiTarget() const;

    // --- ADC
    void setInputVoltage(std::uint8_t positiveCode, double volts) { adc.volts[positiveCode] = volts; }
    // round(V / vref x 1023), clamped to 0..1023, of the input the multiplexer selects.
    std::uint16_t conversionCount() const;

    // --- faults on demand; each counter covers the next N requests it applies to
    void failNextWrites(int n = 1) { failWrites_ = n; }          // writes fail, nothing is answered
    void dropNextReplies(int n = 1) { dropReplies_ = n; }        // taken but ignored: no reply (time-out)
    void nakNextI2C(int n = 1) { nakI2C_ = n; }                  // I2C transfers not acknowledged
    void delayNextReplies(int n, int delayMs) { lateReplies_ = n; lateMs_ = delayMs; }
    void garbleNextReplies(int n, std::uint32_t seed);           // bytes 1..63 pseudo-random
    void clearFaults();
    // A fault armed when the board meets its atRequest-th request (every request counts, the
    // first is 1): from there it covers `count` requests (for Nak: I2C transfers), as the
    // calls above do. dcpeval-sim arms these from its command line.
    enum class FaultKind { NoReply, LateReply, FailedWrite, Nak, Garbage };
    struct ScheduledFault {
        FaultKind kind = FaultKind::NoReply;
        int atRequest = 1;
        int count = 1;
        int delayMs = 0;        // LateReply
        std::uint32_t seed = 1; // Garbage
    };
    void scheduleFault(const ScheduledFault& fault) { scheduled_.push_back(fault); }
    int requestsSeen() const { return requestsSeen_; }
    // Unplugged: writes fail, reads on open connections report Gone, the board is not
    // enumerated. Replugging makes a new board instance: old connections stay dead.
    void unplug();
    void replug();
    bool plugged() const { return plugged_; }
    unsigned generation() const { return generation_; } // changes at every unplug

private:
    using Handler = void (SimBoard::*)(const platform::Report& rq, platform::Report& rp);
    struct Command {
        std::uint8_t code;
        Handler handler;
    };
    static const Command kCommands[];

    // Set/get commands: byte 2 = 0 set, 1 get; anything else is a bad request.
    static bool isSet(const platform::Report& rq, platform::Report& rp);
    // A set of a configuration command whose answer the program does not read (the SCL
    // toggle's answer carries the SDA error, so it is no such set).
    static bool answerUnread(const platform::Report& rq);

    void cmdFirmware(const platform::Report& rq, platform::Report& rp);
    void cmdLeds(const platform::Report& rq, platform::Report& rp);
    void cmdPortModes(const platform::Report& rq, platform::Report& rp);
    void cmdI2COptions(const platform::Report& rq, platform::Report& rp);
    void cmdSmbusClock(const platform::Report& rq, platform::Report& rp);
    void cmdI2CTransfer(const platform::Report& rq, platform::Report& rp);
    void cmdSpiMode(const platform::Report& rq, platform::Report& rp);
    void cmdSpiClock(const platform::Report& rq, platform::Report& rp);
    void cmdSpiTransfer(const platform::Report& rq, platform::Report& rp);
    void cmdAdcClock(const platform::Report& rq, platform::Report& rp);
    void cmdAdcReference(const platform::Report& rq, platform::Report& rp);
    void cmdAdcMux(const platform::Report& rq, platform::Report& rp);
    void cmdAdcMode(const platform::Report& rq, platform::Report& rp);
    void cmdAdcAveraging(const platform::Report& rq, platform::Report& rp);
    void cmdAdcSampleRate(const platform::Report& rq, platform::Report& rp);
    void cmdAdcEnable(const platform::Report& rq, platform::Report& rp);
    void cmdAdcConvert(const platform::Report& rq, platform::Report& rp);
    void cmdSfr(const platform::Report& rq, platform::Report& rp);
    void cmdExternalAdc(const platform::Report& rq, platform::Report& rp);

    double inputVolts(std::uint8_t code, bool negative) const;

    std::array<std::uint8_t, 256> sfr_{};
    std::array<std::uint8_t, 5> inputMask_{};
    std::array<std::uint8_t, 5> inputLevels_{};
    std::map<std::uint8_t, std::shared_ptr<I2CDevice>> i2cDevices_;

    void armScheduledFaults();

    int failWrites_ = 0, dropReplies_ = 0, nakI2C_ = 0, lateReplies_ = 0, lateMs_ = 0, garbled_ = 0;
    std::vector<ScheduledFault> scheduled_;
    int requestsSeen_ = 0;
    std::mt19937 garbage_;
    bool plugged_ = true;
    unsigned generation_ = 0;
};

} // namespace sim
