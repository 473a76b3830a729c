// The SPI device window's "SPI Parameter File": one row of a device parameter table sets the
// window up instead of a preset, with the special set-ups of the 10-bit and the quad parts.
#include "devices/FrmK6623.h"
#include "devices/ProductExec.h"
#include "devices/frmDCP_SPI1.h"
#include "devices/spi_record.h"
#include "platform/services.h"
#include "quad/quad_console.h"
#include "shell/forms.h"
#include "shell/globals.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include <initializer_list>


void frmDCP_SPI1::mnu_SPI_List_Click()
{
    platform::pumpEvents();
    if (FrmK6623* k = forms().FrmK6623.get())
        k->hide();
    g_ParamTableDone = false;
    g_I2CFamily = false;
    g_SPIFamily = true;

    if (!waitForParameterPick())
        return;

    if (!g_SPIPartPicked) {
        platform::msgBox("No Device was selected from the list");
        return;
    }
    const params::SpiPartFields f = params::decodeSpiRecord(g_PickedRecord);

    chkSendID->setChecked(true);
    txtDeviceAdr->setText(f.deviceId);
    if (!f.sendId)
        chkSendID->setChecked(false);
    txtACRAddress->setText(f.acrWrite);
    txtACR[0]->setText(f.acrValue);
    txtACRAddress1->setText(f.acrRead);
    txtGPAddress->setText(f.gpWrite);
    txtGPAddress1->setText(f.gpRead);
    txtBaseDCPWriteAddress->setText(f.wiperWrite);
    txtBaseDCPReadAddress->setText(f.wiperRead);
    txtSPIWrCount->setText(f.writeCount);
    txtSPIRDQuantity->setText(f.readCount);
    // Channel 0's panels alone first; a count the options do not have keeps it that way.
    OptChans[0]->setChecked(true);
    OptChans_Click(0);
    takePartCounts(f.description, f.channels, f.taps);
    platform::pumpEvents();
    runSelectedCountOptions();
    platform::pumpEvents();

    const std::initializer_list<QWidget*> registerFrames{SSFrame2, frmRegisterWrite, FrmShutdown, fraADDRSelect};
    Frk4744Show->hide();
    for (QWidget* w : registerFrames)
        w->show();

    switch (params::spiLayout(f.description)) {
    case params::SpiLayout::K6623: {
        forms().FrmK6623.show();
        FrmK6623& k = forms().FrmK6623();
        k.frk662x->setTitle("K6623/3 Table 3 Instruction Set");
        k.frk662x->show();
        lblChanSend[0]->setText("A0");
        lblChanRcvr[0]->setText("80");
        for (QWidget* w : registerFrames)
            w->hide();
        break;
    }
    case params::SpiLayout::K4731:
        captionQuadConsole();
        Frk4744Show->show();
        for (QWidget* w : registerFrames)
            w->hide();
        lblChanSend[0]->setText("A0");
        lblChanRcvr[0]->setText("90");
        // The quad part runs on SPI alone: the bridge console's I2C options stay as the I2C
        // window needs them.
        break;
    case params::SpiLayout::Standard:
        break;
    }
}
