#pragma once
// The program's shared state, in one place. Every window and module reads and writes
// these directly, as the program was built; resetSharedState() gives tests a fresh start.
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

class DeviceFormControls;

// --- board link -----------------------------------------------------------------------
inline std::array<std::uint8_t, 64> g_ReportBuffer{};   // the one report buffer
inline std::int32_t g_WriteHandle = -1;                  // selected board, write side
inline std::int32_t g_ReadHandle = -1;                   // selected board, read side
inline std::vector<std::int32_t> g_WriteHandles{0};      // every board of the last search
inline std::vector<std::int32_t> g_ReadHandles{0};
inline std::int32_t g_ReadEvent = 0;                     // nonzero once the read side is prepared
inline int g_BridgeStatus = 0;                           // status of the last answered I2C transfer
inline int g_UsbCommError = 0;
inline int g_MsgResult = 0;                              // last link dialog: 4 Retry, 2 Cancel; 1 found
inline bool g_BoardPresent = false;
inline std::uint8_t g_I2CAddress = 0;                    // 8-bit write address of console I2C transfers
inline std::uint16_t g_BoardVendorId = 0x10C4;           // overridable with --vid
inline constexpr std::uint16_t kBoardProductId = 0x2034;

// --- trace ----------------------------------------------------------------------------
inline bool g_TraceOn = false;
inline bool g_TraceDetail = false;

// --- windows --------------------------------------------------------------------------
inline DeviceFormControls* g_ActiveForm = nullptr;
inline bool g_CalRunning = false;                        // the VCC calibration sweep goes on while set

// --- bridge console -------------------------------------------------------------------
inline bool g_OptionGuard = false;        // code is setting option/address boxes: handlers stay quiet
inline bool g_SkipAddressDelay = false;   // the address box's typing wait is skipped
inline int g_BridgeModel = 320;           // bridge variant whose ADC lists and pin tables are used

// --- motherboard and supply -------------------------------------------------------------
inline std::array<std::uint8_t, 11> g_PortShadow{}; // 0..2 P0..P2 levels, 3..5 P0..P2 drive enables
inline bool g_PipeBusy = false;                     // a port write is running
inline bool g_VminusTracksVcc = true;               // V-minus is switched with VCC
inline bool g_StopSampling = false;                 // ends the motherboard's sampling loop
inline std::array<QString, 21> g_VccCodeTable{};    // supply potentiometer code per VCC list index

// --- menu and device windows ----------------------------------------------------------------
inline bool g_ReturnToMenu = false;
inline bool g_I2CPartPicked = false;
inline bool g_SPIPartPicked = false;

// --- ADC ------------------------------------------------------------------------------
inline double g_AdcVref = 3.3;
inline double g_AdcVolts = 0.0;
inline double g_VccVolts = 0.0;
inline double g_AdcHigh = 0.0;            // reply bytes 2 and 3 of the last conversion
inline double g_AdcLow = 0.0;
inline double g_AdcCount = 0.0;
inline bool g_AdcConversionOk = false;    // the last conversion's reply came: g_AdcVolts is fresh
inline int g_VccAdcChannel = 10;          // list index of the VCC/2 input
inline int g_AdcNegChannel = 17;          // list index of "1F - GND"
inline std::int32_t g_ExtAdcCount = 0;    // external delta-sigma ADC, last conversion
inline double g_ExtAdcMillivolts = 0.0;
inline std::int16_t g_ExtAdcGain = 1;

void resetSharedState();
