#pragma once
// Plays the user at the parameter table while a device window waits for it: the file dialog
// after the table's timer, a click on `row` (0: none), then Return.
#include "devices/ProductExec.h"
#include "shell/forms.h"
#include "support/test_services.h"

#include <QTableWidget>
#include <QTimer>

inline void answerParameterTable(TestServices& svc, const QString& file, int row)
{
    svc.openPaths.push_back(file);
    svc.onPump = [row](int) {
        ProductExec* t = forms().ProductExec.get();
        if (!t || !t->isVisible())
            return;
        if (t->Timer1->isActive()) {
            t->Timer1_Timer();
        } else if (t->Frame1->isVisible()) {
            if (row > 0) {
                t->tGrid->setCurrentCell(row, 3);
                t->tGrid_Click();
            }
            t->cmdReturn_Click();
        }
    };
}
