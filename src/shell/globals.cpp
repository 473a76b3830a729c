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
    g_AdcVref = 3.3;
    g_AdcVolts = 0.0;
}
