// USB HID boards through hidapi. The board's reports are numbered (report 1, then 63 bytes),
// so the 64-byte buffer with byte 0 = 1 is exactly what hid_write takes and hid_read returns.
#include "platform/transport.h"

#include <hidapi.h>

#include <QFileInfo>

#include <cerrno>
#include <cstring>

namespace platform {

namespace {

class HidConnection : public BoardConnection {
public:
    explicit HidConnection(hid_device* dev) : dev_(dev) {}
    ~HidConnection() override { hid_close(dev_); }

    bool write(const Report& report) override
    {
        return hid_write(dev_, report.data(), report.size()) == static_cast<int>(report.size());
    }

    ReadResult read(Report& report, int timeoutMs) override
    {
        Report in{};
        const int n = hid_read_timeout(dev_, in.data(), in.size(), timeoutMs);
        if (n < 0)
            return ReadResult::Gone;
        if (n == 0)
            return ReadResult::Timeout;
        report = in;
        return ReadResult::Report;
    }

    int inputQueueReports() const override
    {
#ifdef DCPEVAL_HIDAPI_LIBUSB
        return kLibusbInputReports;
#else
        return kHidrawInputReports;
#endif
    }

private:
    hid_device* dev_;
};

class HidTransport : public BoardTransport {
public:
    HidTransport() { hid_init(); }
    ~HidTransport() override { hid_exit(); }

    std::vector<BoardInfo> enumerate(std::uint16_t vendorId, std::uint16_t productId) override
    {
        std::vector<BoardInfo> found;
        hid_device_info* list = hid_enumerate(vendorId, productId);
        for (auto* d = list; d; d = d->next) {
            if (d->vendor_id == vendorId && d->product_id == productId && d->path)
                found.push_back({QString::fromLocal8Bit(d->path), nullptr});
        }
        hid_free_enumeration(list);
        return found;
    }

    QString searched(std::uint16_t vendorId, std::uint16_t productId) const override
    {
        const auto hex = [](std::uint16_t id) { return "0x" + QString("%1").arg(id, 4, 16, QChar('0')).toUpper(); };
        return QString("the USB HID devices for vendor ID %1 and product ID %2").arg(hex(vendorId), hex(productId));
    }

    std::unique_ptr<BoardConnection> open(const BoardInfo& board, QString* error) override
    {
        const QByteArray path = board.path.toLocal8Bit();
        errno = 0;
        hid_device* dev = hid_open_path(path.constData());
        if (!dev) {
            // hidraw opens the device node itself; a node the user may not open is the
            // usual cause, and the one the user can mend (the udev rule).
            const int err = errno;
            if (error) {
                if (err == EACCES || err == EPERM
                    || (QFileInfo::exists(board.path) && !QFileInfo(board.path).isWritable()))
                    *error = "Permission denied";
                else
                    *error = err ? QString::fromLocal8Bit(std::strerror(err)) : QString("cannot open the device");
            }
            return nullptr;
        }
        return std::make_unique<HidConnection>(dev);
    }
};

} // namespace

std::shared_ptr<BoardTransport> makeHidTransport() { return std::make_shared<HidTransport>(); }

} // namespace platform
