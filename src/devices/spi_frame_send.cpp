#include "devices/spi_frame_send.h"

#include "motherboard/frmMotherboardDAQ2.h"
#include "platform/services.h"
#include "shell/forms.h"

#include <QLineEdit>
#include <QPointer>

namespace spi {

std::vector<QString> sendFrame(const SpiDeviceFrame& frame)
{
    QPointer<frmMotherboardDAQ2> mb(&forms().frmMotherboardDAQ2());
    const bool write = frame.terminal == kWriteTerminal;
    QLineEdit* count = write ? mb->txtSPIWrQty2 : mb->txtSPIWrQty3;
    auto& bytes = write ? mb->txtSPIWrite2Data : mb->txtSPIWrite3Data;
    count->setText(frame.count);
    for (size_t k = 0; k < frame.bytes.size() && k + 1 < bytes.size(); ++k)
        bytes[k + 1]->setText(frame.bytes[k]);
    if (write)
        mb->cmdSPIOWrite2_Click();
    else
        mb->cmdSPIOWrite3_Click();
    std::vector<QString> replies(6, QStringLiteral("--"));
    if (!mb || mb->unloaded())
        return replies;
    const auto& fields = write ? mb->txtSPIORead : mb->txtSPIORead3;
    for (size_t i = 0; i < fields.size(); ++i)
        replies[i] = fields[i]->text();
    return replies;
}

std::optional<std::vector<QString>> sendOrRefuse(const FrameResult& built)
{
    if (!built.frame) {
        platform::msgBox(built.refusal);
        return std::nullopt;
    }
    return sendFrame(*built.frame);
}

} // namespace spi
