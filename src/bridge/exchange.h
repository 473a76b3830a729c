#pragma once
// Runs one bridge command the way the protocol table says: drain, zero, build, write,
// guard, clear, await. Every sender of the console goes through here.
#include "bridge/protocol.h"

#include <initializer_list>
#include <span>

namespace bridge {

struct ExchangeResult {
    int status = 0;       // 8 written (and answered when a reply was awaited); 0 after the link
                          // dialog; 4 an unguarded write that failed; 2 a reply that did not come
    bool replied = false; // the reply arrived: g_ReportBuffer holds it
};

// Sends command `code` with byte 2 and the parameters from byte 3 on.
ExchangeResult exchange(std::uint8_t code, std::uint8_t byte2, std::span<const std::uint8_t> params,
                        Variant variant = Variant::Plain);
inline ExchangeResult exchange(std::uint8_t code, std::uint8_t byte2, std::initializer_list<std::uint8_t> params = {},
                               Variant variant = Variant::Plain)
{
    return exchange(code, byte2, std::span<const std::uint8_t>(params.begin(), params.size()), variant);
}

// The SPI transfer: drained before the bytes are gathered (the caller gathers them after
// spiTransferBegin), written guarded, awaited only when the slave's bytes are asked for.
void spiTransferBegin();
ExchangeResult spiTransferSend(bool readBack, std::uint8_t phaseChange, std::uint8_t phaseByte,
                               std::span<const std::uint8_t> data);

} // namespace bridge
