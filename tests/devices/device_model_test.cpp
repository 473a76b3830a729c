// Entry rules of the device windows that need no window: the address field and the bytes a
// wiper write may carry.
#include "devices/device_model.h"
#include "support/test_services.h"

#include <gtest/gtest.h>

using namespace devices;

TEST(DeviceAddress, ValidationTable)
{
    const struct {
        const char* typed;
        const char* after;
    } cases[] = {
        {"a0", "A0"}, {"0", "50"},   {"", "50"},   {"FFFF", "50"}, {"100", "50"}, {"101", "50"},
        {"5G", "04"}, {"51", "50"},  {"01", "50"}, {"FE", "FE"},   {"zz", "50"},  {"6e", "6E"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(deviceAddressText(c.typed), c.after) << c.typed;
    EXPECT_EQ(deviceAddressByte("A1"), 0xA0);
    EXPECT_EQ(pinAddress({true, false, true, false}), 0x5A);
    EXPECT_EQ(pinAddress({true, true, true, true}), 0x6E);
}

TEST(WiperWrite, BytesPerLayoutAndWhatIsRefused)
{
    const struct {
        const char* text;
        int size;
        bool quad;
        std::vector<std::uint8_t> bytes; // empty: refused
    } cases[] = {
        {"5A", 1, false, {0x5A}},     {"005", 1, false, {0x05}},        {"100", 1, false, {}},
        {"3FF", 2, false, {0x03, 0xFF}}, {"0080", 2, false, {0x00, 0x80}}, {"400", 2, false, {}},
        {"80", 2, true, {0xA1, 0x80}}, {"80", 1, true, {0xA1, 0x80}},    {"1FF", 2, true, {}},
        {"5A", 0, false, {}},          {"5G", 1, false, {}},             {"", 1, false, {}},
    };
    for (const auto& c : cases) {
        const WiperWrite w = wiperWriteBytes(1, c.text, c.size, c.quad, 1);
        EXPECT_EQ(w.data, c.bytes) << c.text << " size " << c.size;
        EXPECT_EQ(w.error.isEmpty(), !c.bytes.empty()) << c.text;
    }
    EXPECT_EQ(wiperWriteBytes(0, "100", 1, false, 0).error,
              "Channel 0: position 256 (100) does not fit this part's one-byte wiper register. Nothing was written.");
}
