// Feeds any bytes to the reply decoders: the first 64 as a report (zero-padded), the rest as
// reply fields of an SPI terminal (split at '|', each any text) with a read count and
// a tap count. Besides the sanitizers it checks what the windows rely on: a conversion counts
// as a reading only with status 0 and a 10-bit count, its volts stay within the reference,
// and every SPI read-back stays within the bytes it was read from.
#include "bridge/protocol.h"

#include <QList>
#include <QString>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

void check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

void report(const bridge::Report& r)
{
    const bridge::AdcConversion c = bridge::decodeAdcConversion(r);
    check(c.count == bridge::decodeAdcCount(r), "conversion count is bytes 2 and 3");
    check(c.reading == (r[1] == 0 && c.count <= bridge::kAdcMaxCount), "a reading has status 0 and 10 bits");
    for (double vref : {3.3, 2.5}) {
        const bridge::ChannelVolts v = bridge::channelVolts(vref, c.count);
        check(v.volts == bridge::adcVolts(vref, c.count) && v.vcc == 2 * v.volts, "channel volts");
        if (c.reading) {
            check(v.volts >= 0 && v.volts <= vref, "a reading lies within the reference");
            const double wiper = bridge::wiperVoltsOfCount(vref, c.count);
            check(wiper >= 0 && wiper <= 2 * vref, "a wiper reading lies within twice the reference");
        }
    }
    (void)bridge::decodeAdcContinuous(r);
    (void)bridge::decodeAdcEnabled(r);

    const std::int32_t ext = bridge::decodeExternalAdc(r);
    check(ext >= -8388608 && ext <= 8388607, "external count has 24 bits");
    for (double gain : {0.0, 1.0, 128.0}) {
        const double mv = bridge::externalAdcMillivolts(ext, gain);
        check(std::isfinite(mv) && std::fabs(mv) <= 2500.001, "external millivolts within full scale");
    }
    const std::uint8_t reg = bridge::decodeExternalAdcRegister(r);
    check(reg == (((r[2] & 1) << 7) | (r[3] >> 1)), "external register is one bit late");

    (void)bridge::firmwareText(bridge::decodeFirmwareVersion(r));
    const bridge::BusClock clock = bridge::decodeBusClock(r);
    check(clock.baseMhz == r[2] && clock.divider == r[3], "bus clock bytes");
}

void spiFields(const std::vector<QString>& fields, int count, int highest)
{
    (void)bridge::spiFrameGood(fields);
    const auto one = bridge::spiReadValue(fields, count);
    check(!one || (*one >= 0 && *one <= 0xFF), "a read byte is a byte");
    check(!one || (count >= 1 && count <= int(fields.size())), "a byte only from a field that is there");
    const auto ten = bridge::spiReadValue10(fields, count);
    check(!ten || (*ten >= 0 && *ten <= 15 * 256 + 0xFF), "a 10-bit read takes one digit of its high byte");
    check(!ten || (one && count >= 2), "a 10-bit read needs two fields");
    for (bool tenBit : {false, true}) {
        const auto position = bridge::spiWiperPosition(fields, count, tenBit, highest);
        check(!position || *position <= highest, "a wiper position no higher than the taps");
    }
    const QString text = bridge::spiRegisterText(fields, count);
    check(text == QLatin1String("--") || (count >= 1 && count <= int(fields.size())), "register text from its field");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    bridge::Report r{};
    const size_t head = size < r.size() ? size : r.size();
    for (size_t i = 0; i < head; ++i)
        r[i] = data[i];
    report(r);

    if (size <= head + 2)
        return 0;
    const int count = int(data[head] % 12) - 2;         // -2..9 around the six fields
    const int highest = int(data[head + 1]) * 8 - 1;    // -1..2039
    const QString rest = QString::fromLatin1(reinterpret_cast<const char*>(data + head + 2), qsizetype(size - head - 2));
    const QList<QString> parts = rest.split(u'|');
    std::vector<QString> fields(parts.begin(), parts.end());
    if (fields.size() > 8)
        fields.resize(8); // a terminal has six; a few more or fewer test the bounds
    spiFields(fields, count, highest);
    return 0;
}
