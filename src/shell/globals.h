#pragma once
// The program's shared state, in one place. Every window and module reads and writes
// these directly, as the program was built; resetSharedState() gives tests a fresh start.
// Each variable is listed once, with its start value, and both its definition and its reset
// are made from that list, so a new variable can never be left out of the reset.
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

class DeviceFormControls;

using ReportBytes = std::array<std::uint8_t, 64>;
using HandleList = std::vector<std::int32_t>;
using PortImage = std::array<std::uint8_t, 11>;
using VccCodes = std::array<QString, 21>;
using ActiveFormPtr = DeviceFormControls*;

// X(type, name, start value)
#define DCPEVAL_SHARED_STATE(X)                                                                  \
    /* --- board link */                                                                         \
    X(ReportBytes, g_ReportBuffer, {})          /* the one report buffer */                      \
    X(std::int32_t, g_WriteHandle, {-1})        /* selected board, write side */                 \
    X(std::int32_t, g_ReadHandle, {-1})         /* selected board, read side */                  \
    X(HandleList, g_WriteHandles, {0})          /* every board of the last search */             \
    X(HandleList, g_ReadHandles, {0})                                                            \
    X(std::int32_t, g_ReadEvent, {0})           /* nonzero once the read side is prepared */     \
    X(int, g_BridgeStatus, {0})                 /* status of the last answered I2C transfer */   \
    X(int, g_UsbCommError, {0})                                                                  \
    X(int, g_MsgResult, {0})                    /* last link dialog: 4 Retry, 2 Cancel; 1 found */ \
    X(bool, g_BoardPresent, {false})                                                             \
    X(std::uint8_t, g_I2CAddress, {0})          /* 8-bit write address of console I2C transfers */ \
    /* --- trace */                                                                              \
    X(bool, g_TraceOn, {false})                                                                  \
    X(bool, g_TraceDetail, {false})                                                              \
    /* --- windows */                                                                            \
    X(ActiveFormPtr, g_ActiveForm, {nullptr})                                                    \
    X(bool, g_CalRunning, {false})              /* the VCC calibration sweep goes on while set */ \
    /* --- bridge console */                                                                     \
    X(bool, g_OptionGuard, {false})             /* code sets option/address boxes: handlers stay quiet */ \
    X(bool, g_SkipAddressDelay, {false})        /* the address box's typing wait is skipped */   \
    X(int, g_BridgeModel, {320})                /* bridge variant of the ADC lists and pin tables */ \
    /* --- motherboard and supply */                                                             \
    X(PortImage, g_PortShadow, {})              /* 0..2 P0..P2 levels, 3..5 P0..P2 drive enables */ \
    X(bool, g_PipeBusy, {false})                /* a port write is running */                    \
    X(bool, g_VminusTracksVcc, {true})          /* V-minus is switched with VCC */               \
    X(bool, g_StopSampling, {false})            /* ends the motherboard's sampling loop */       \
    X(VccCodes, g_VccCodeTable, {})             /* supply potentiometer code per VCC list index */ \
    /* --- menu and device windows */                                                           \
    X(bool, g_ReturnToMenu, {false})                                                             \
    X(bool, g_I2CPartPicked, {false})                                                            \
    X(bool, g_SPIPartPicked, {false})                                                            \
    /* --- ADC */                                                                                \
    X(double, g_AdcVref, {3.3})                                                                  \
    X(double, g_AdcVolts, {0.0})                                                                 \
    X(double, g_VccVolts, {0.0})                                                                 \
    X(double, g_AdcHigh, {0.0})                 /* reply bytes 2 and 3 of the last conversion */ \
    X(double, g_AdcLow, {0.0})                                                                   \
    X(double, g_AdcCount, {0.0})                                                                 \
    X(bool, g_AdcConversionOk, {false})         /* the last conversion's reply came: g_AdcVolts is fresh */ \
    X(bool, g_SpiTransferOk, {false})           /* the last SPI transfer was written (and answered when read) */ \
    X(int, g_VccAdcChannel, {10})               /* list index of the VCC/2 input */              \
    X(int, g_AdcNegChannel, {17})               /* list index of "1F - GND" */                   \
    X(std::int32_t, g_ExtAdcCount, {0})         /* external delta-sigma ADC, last conversion */  \
    X(double, g_ExtAdcMillivolts, {0.0})                                                         \
    X(std::int16_t, g_ExtAdcGain, {1})

#define DCPEVAL_DEFINE_STATE(type, name, ...) inline type name = type __VA_ARGS__;
DCPEVAL_SHARED_STATE(DCPEVAL_DEFINE_STATE)
#undef DCPEVAL_DEFINE_STATE

// Set once from the command line; not part of what a test resets.
inline std::uint16_t g_BoardVendorId = 0x10C4; // overridable with --vid
inline constexpr std::uint16_t kBoardProductId = 0x2034;

void resetSharedState();
