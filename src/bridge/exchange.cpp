#include "bridge/exchange.h"

#include "link/hid.h"
#include "shell/globals.h"

namespace bridge {

namespace {

ExchangeResult finish(const ExchangeKind& kind, std::int32_t writeResult)
{
    if (!kind.guarded)
        return {writeResult ? kStatusOk : kStatusWriteFailed, false};
    if (checkStatus(writeResult) != kStatusOk)
        return {kStatusDialog, false};
    if (!kind.reply)
        return {kStatusOk, false};
    if (kind.cleared)
        ClearUsbBuffer(0);
    if (AwaitReport(kReplyWaitMs))
        return {kStatusOk, true};
    checkStatus(0); // the reply did not come: the link dialog, then the caller goes on
    return {kStatusNoReply, false};
}

} // namespace

ExchangeResult exchange(std::uint8_t code, std::uint8_t byte2, std::span<const std::uint8_t> params, Variant variant)
{
    const ExchangeKind* kind = exchangeKind(code, byte2, variant);
    if (!kind || 3 + params.size() > g_ReportBuffer.size())
        return {kStatusDeviceError, false};
    if (kind->drain)
        FlushHidInput();
    if (kind->zeroed)
        ClearUsbBuffer(0);
    if (kind->drainAfterZero)
        FlushHidInput();
    SetReportId();
    g_ReportBuffer[1] = code;
    if (kind->writesByte2)
        g_ReportBuffer[2] = byte2;
    for (size_t i = 0; i < params.size(); ++i)
        g_ReportBuffer[3 + i] = params[i];
    return finish(*kind, kind->reply ? WriteRequest() : WriteReport());
}

void spiTransferBegin() { FlushHidInput(); }

ExchangeResult spiTransferSend(bool readBack, std::uint8_t phaseChange, std::uint8_t phaseByte,
                               std::span<const std::uint8_t> data)
{
    buildSpiTransfer(g_ReportBuffer, readBack, phaseChange, phaseByte, data);
    ExchangeKind kind = *exchangeKind(kSpiTransfer, 0);
    kind.reply = readBack;
    return finish(kind, readBack ? WriteRequest() : WriteReport());
}

} // namespace bridge
