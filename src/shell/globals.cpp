#include "shell/globals.h"

void resetSharedState()
{
    g_ReportBuffer.fill(0);
    g_WriteHandle = -1;
    g_ReadHandle = -1;
    g_WriteHandles = {0};
    g_ReadHandles = {0};
    g_ReadEvent = 0;
    g_BridgeStatus = 0;
    g_UsbCommError = 0;
    g_MsgResult = 0;
    g_BoardPresent = false;
    g_I2CAddress = 0;
    g_TraceOn = false;
    g_TraceDetail = false;
    g_ActiveForm = nullptr;
    g_CalRunning = false;
    g_OptionGuard = false;
    g_SkipAddressDelay = false;
    g_BridgeModel = 320;
    g_PortShadow.fill(0);
    g_PipeBusy = false;
    g_VminusTracksVcc = true;
    g_StopSampling = false;
    g_VccCodeTable.fill(QString());
    g_ReturnToMenu = false;
    g_I2CPartPicked = false;
    g_SPIPartPicked = false;
    g_AdcVref = 3.3;
    g_AdcVolts = 0.0;
    g_VccVolts = 0.0;
    g_AdcHigh = 0.0;
    g_AdcLow = 0.0;
    g_AdcCount = 0.0;
    g_AdcConversionOk = false;
    g_VccAdcChannel = 10;
    g_AdcNegChannel = 17;
    g_ExtAdcCount = 0;
    g_ExtAdcMillivolts = 0.0;
    g_ExtAdcGain = 1;
}
