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
using ChannelMap = std::array<std::int16_t, 11>;
using RegisterValues = std::array<std::int32_t, 11>;

// The instruction a quad console composes: instruction nibble, register field (R1 R0
// shifted, register * 4), pot, and what the chosen instruction does. Each console has its
// own set, kept for the whole run.
struct QuadComposition {
    std::uint8_t g_QuadInstrNibble = 0;
    std::uint8_t g_QuadRegField = 0;
    std::uint8_t g_QuadPotSel = 0;
    QString operation;    // "Read", "Write", "XFER", "XFERG", "INC" or empty
    QString registerKind; // "WCR" or "Data" for Read and Write
    QString xferSource;   // "Data" or "WCR" for XFER and XFERG
};
// The part picked from a device parameter file: cells 0..13 (I2C) or 0..17 (SPI) of its row.
using ParameterTableRecord = std::array<QString, 18>;

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
    /* --- script runs, up/down consoles and run-in */                                          \
    X(bool, g_AbortRequest, {false})            /* stops a script run or a run-in at its next check */ \
    X(bool, g_PinBatch, {false})                /* line boxes only mirror their pins; the setter writes */ \
    X(std::int16_t, g_ActiveDcp, {1})           /* DCP the up/down console's trains and stores address */ \
    X(bool, g_AbortIncr, {false})               /* stops a running pulse or press train */       \
    X(std::int32_t, g_RunRow, {0})              /* run-in table row now running (readings land there) */ \
    /* --- device model: the part under test, whichever device window set it last */             \
    X(std::int16_t, g_TapCount, {128})          /* also the highest wiper position */            \
    X(std::int16_t, g_ChannelCount, {1})                                                         \
    X(ChannelMap, g_ChannelMap, {0, 1, 2, 3})   /* wiper register of channel k (0..3 used) */    \
    X(std::uint8_t, g_WriteAddress, {0x50})     /* device write address (script rows) */         \
    X(bool, g_I2CFamily, {false})                                                                \
    X(bool, g_SPIFamily, {false})                                                                \
    X(std::int16_t, g_AcrValue, {0})            /* ACR byte: 0x80 volatile writes, 0x40 running */ \
    X(std::int16_t, g_WriteByteCount, {0})      /* bytes of one SPI device frame */              \
    X(std::int16_t, g_ReadByteCount, {0})                                                        \
    X(RegisterValues, g_ReadValues, {})         /* (6): the last wiper read */                   \
    X(RegisterValues, g_WriteValues, {})        /* (6): the last "Set Write = Read" value */     \
    /* --- wiper entry synchronisation, shared by every device window's channel panels */       \
    X(bool, g_SliderTouched, {false})                                                            \
    X(bool, g_ListTouched, {false})                                                              \
    X(bool, g_SuppressTouch, {false})           /* code moves slider and list: no user move */   \
    X(bool, g_SliderSyncBusy, {false})          /* the slider is moving the list */              \
    X(bool, g_ListSyncBusy, {false})            /* the list is moving the slider */              \
    X(bool, g_HexEntryPending, {false})         /* typed in a hex field, not yet committed */    \
    X(bool, g_DecEntryPending, {false})                                                          \
    X(int, g_HexEntryIndex, {0})                /* channel of that field */                      \
    X(int, g_DecEntryIndex, {0})                                                                 \
    X(ParameterTableRecord, g_PickedRecord, {}) /* the picked row, kept with the two pick flags */ \
    X(bool, g_ParamTableDone, {false})          /* the parameter table was left or closed */     \
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
    X(std::int16_t, g_ExtAdcGain, {1})                                                           \
    /* --- script runs (the run-in test shares the stop request above) */                         \
    X(std::int16_t, g_ScriptFailsAtRowStart, {0})                                                \
    X(std::int16_t, g_ScriptFails, {0})                                                           \
    /* --- quad consoles */                                                                      \
    X(QuadComposition, g_K4744Quad, {})         /* the I2C console's composition */              \
    X(QuadComposition, g_K4731Quad, {})         /* the SPI console's composition */

#define DCPEVAL_DEFINE_STATE(type, name, ...) inline type name = type __VA_ARGS__;
DCPEVAL_SHARED_STATE(DCPEVAL_DEFINE_STATE)
#undef DCPEVAL_DEFINE_STATE

// Set once from the command line; not part of what a test resets.
inline std::uint16_t g_BoardVendorId = 0x10C4; // overridable with --vid
inline constexpr std::uint16_t kBoardProductId = 0x2034;

void resetSharedState();
