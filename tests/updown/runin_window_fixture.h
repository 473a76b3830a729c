#pragma once
// The run-in window over the simulated up/down part, with VCC switched on from the
// motherboard as a user does before a run, and a fixed start time.
#include "motherboard/frmMotherboardDAQ2.h"
#include "shell/forms.h"
#include "sim/updown_part.h"
#include "support/board_fixture.h"
#include "updown/UPDN_Runin.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

class RunInWindowFixture : public BoardFixture {
protected:
    void SetUp() override
    {
        BoardFixture::SetUp();
        part = sim::installUpDownPart(board());
        console();
        forms().frmMotherboardDAQ2().OptVCC[0]->setChecked(true);
        svc.clock = QDateTime(QDate(2026, 3, 2), QTime(10, 0, 0));
    }
    UPDN_Runin& window()
    {
        forms().UPDN_Runin.show();
        return forms().UPDN_Runin();
    }
    // A run of `moves` moves with progress every `every`, from the Run Test button.
    void runTest(const QString& moves, const QString& every = QStringLiteral("500"))
    {
        UPDN_Runin& w = window();
        w.txtTestQty->setText(moves);
        w.txtLogSteps->setText(every);
        w.cmdRunInitial->click();
    }

    std::shared_ptr<sim::UpDownPart> part;
};
