#pragma once
// SPI terminals 2 and 3 for the chip under test.
#include "motherboard/motherboard_group.h"

#include <array>

class QLineEdit;
class QWidget;

class MbSpiTerminals : public MotherboardGroup {
public:
    // --- used by other windows (keep these names)
    QLineEdit* txtSPIWrQty2 = nullptr;
    std::array<QLineEdit*, 6> txtSPIWrite2Data{};
    std::array<QLineEdit*, 6> txtSPIORead{};
    QLineEdit* txtSPIWrQty3 = nullptr;
    std::array<QLineEdit*, 6> txtSPIWrite3Data{};
    std::array<QLineEdit*, 6> txtSPIORead3{};

    void cmdSPIOWrite2_Click();
    void cmdSPIOWrite3_Click();

protected:
    using MotherboardGroup::MotherboardGroup;
    QWidget* buildSpiTerminals(); // "SPI I/O"
};
