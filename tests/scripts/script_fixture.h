#pragma once
// The script window over a simulated board with a register-bank part at 7-bit 0x28 (write
// address 0x50) and the board's shift-register SPI slave; scripts are written to files in
// the test's program directory and opened through the scripted file dialog.
#include "scripts/frmScriptOps.h"
#include "shell/forms.h"
#include "shell/globals.h"
#include "sim/i2c_devices.h"
#include "support/board_fixture.h"

#include <QFile>
#include <QStringList>

#include <memory>

class ScriptWindowTest : public BoardFixture {
protected:
    void SetUp() override
    {
        BoardFixture::SetUp();
        board().attachI2C(0x28, part);
        g_I2CFamily = true;
        g_SPIFamily = false;
    }

    QString writeScript(const QStringList& lines, const QString& name = "script.txt")
    {
        const QString path = dataDir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(lines.join("\r\n").toLatin1() + "\r\n");
        return path;
    }

    // The window loaded (hidden) with the console behind it, and a script opened in it.
    frmScriptOps& open(const QStringList& lines)
    {
        console();
        frmScriptOps& w = forms().frmScriptOps();
        svc.openPaths.push_back(writeScript(lines));
        w.mnuScript_Read_Click();
        return w;
    }

    QString fileText(const QString& path)
    {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return QString::fromLatin1(f.readAll());
    }

    std::shared_ptr<sim::RegisterBankDevice> part = std::make_shared<sim::RegisterBankDevice>();
};
