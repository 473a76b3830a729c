#pragma once
// Hands an SPI device frame to its motherboard terminal and sends it.
#include "devices/spi_frame.h"

#include <QString>

#include <optional>
#include <vector>

namespace spi {

// Fills the terminal's count and the frame's own byte fields, runs the terminal and returns
// its reply fields 0..5 as they stand right after the transfer ("--" everywhere when the
// motherboard window was closed meanwhile).
std::vector<QString> sendFrame(const SpiDeviceFrame& frame);

// A refused frame: its message, nothing sent, nullopt. Otherwise the replies of sendFrame.
std::optional<std::vector<QString>> sendOrRefuse(const FrameResult& built);

} // namespace spi
