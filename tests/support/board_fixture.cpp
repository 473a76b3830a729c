#include "support/board_fixture.h"

#include "bridge/frmMainF340.h"
#include "link/hid.h"
#include "platform/transport.h"
#include "shell/forms.h"
#include "shell/globals.h"

#include <QLocale>

void BoardFixture::SetUp()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    resetSharedState();
    resetLinkHooks();
    platform::setServices(&svc);
    svc.programDirectory = dataDir.path();
    useBoards(1);
}

void BoardFixture::TearDown()
{
    forms().destroyAll();
    CloseHidHandles();
    resetLinkHooks();
    platform::setTransports({});
    platform::setServices(nullptr);
    resetSharedState();
}

frmMainF340& BoardFixture::console() { return forms().frmMainF340(); }

void BoardFixture::useBoards(int count)
{
    sims = std::make_shared<sim::SimTransport>(count);
    platform::setTransports({sims});
}
