// The way to each simulated part's window, as the part list and the README give it, taken
// step by step as a new user takes it: every step exists, the window ends up set for the
// part, and a wiper write reads back with the voltage the part puts on its wiper.
#include "devices/DeviceFormCore.h"
#include "devices/SupplyPanel.h"
#include "devices/frmDCP_SPI1.h"
#include "devices/frmDCP_User1.h"
#include "shell/forms.h"
#include "shell/frmStartup.h"
#include "shell/globals.h"
#include "sim/evaluation_board.h"
#include "sim/parts.h"
#include "support/board_fixture.h"
#include "support/parameter_pick.h"
#include "updown/frmDCP_PB1.h"
#include "updown/frmDCP_UD1.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QRegularExpression>

#include <cmath>
#include <map>

namespace {

const QString kSource = QStringLiteral(DCPEVAL_SOURCE_DIR);

// The "pick in the program" column of the README's simulated-parts table, by part name.
std::map<QString, QString> readmePicks()
{
    QFile f(kSource + "/README.md");
    EXPECT_TRUE(f.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString text = QString::fromUtf8(f.readAll());
    const QString table = text.section("### Simulated parts", 1).section("\n\n", 2, 2);
    std::map<QString, QString> picks;
    static const QRegularExpression row(R"(^\| `([^`]+)`[^|]*\| ([^|]+) \|)");
    for (const QString& line : table.split('\n')) {
        const auto m = row.match(line);
        if (m.hasMatch())
            picks[m.captured(1)] = QString(m.captured(2)).remove('`');
    }
    return picks;
}

// The table row of the part called name in an example parameter table (row 0: the titles).
int rowOf(const QString& file, const QString& name)
{
    QFile f(file);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly | QIODevice::Text)) << file.toStdString();
    const QStringList lines = QString::fromUtf8(f.readAll()).split('\n');
    for (int i = 1; i < lines.size(); ++i)
        if (lines[i].startsWith(name + ","))
            return i;
    ADD_FAILURE() << "no row " << name.toStdString() << " in " << file.toStdString();
    return 0;
}

QAction* menuEntry(QMainWindow& w, const QString& menu, const QString& entry)
{
    for (QAction* m : w.menuBar()->actions())
        if (m->text() == menu && m->menu())
            for (QAction* a : m->menu()->actions())
                if (a->text() == entry)
                    return a;
    return nullptr;
}

class PartPath : public BoardFixture, public ::testing::WithParamInterface<const sim::SimPart*> {
protected:
    // Takes the steps of path; returns the window the last one leaves in front.
    QWidget* follow(const QString& path)
    {
        const QStringList steps = path.split(" > ");
        forms().frmStartup.show();
        QComboBox* menu = forms().frmStartup().cboDCPSelect;
        const int pick = menu->findText(steps[0]);
        EXPECT_GT(pick, 0) << "no menu entry " << steps[0].toStdString();
        menu->setCurrentIndex(pick);
        QMainWindow* window = steps[0] == "I2C"          ? static_cast<QMainWindow*>(&forms().frmDCP_User1())
                            : steps[0] == "SPI"          ? static_cast<QMainWindow*>(&forms().frmDCP_SPI1())
                            : steps[0] == "Up /Down"     ? static_cast<QMainWindow*>(&forms().frmDCP_UD1())
                            : steps[0] == "Push Button" ? static_cast<QMainWindow*>(&forms().frmDCP_PB1())
                                                         : nullptr;
        if (steps.size() == 1 || !window)
            return window;
        EXPECT_EQ(steps[1], "Device Select");
        QAction* entry = menuEntry(*window, steps[1], steps.value(2));
        if (!entry) {
            ADD_FAILURE() << "no entry " << steps.value(2).toStdString() << " under " << steps[1].toStdString();
            return window;
        }
        if (steps.size() == 3) {
            entry->trigger();
            return window;
        }
        // A parameter table: the file in its dialog, a click on the part's row, then Return.
        EXPECT_EQ(steps.size(), 6);
        EXPECT_TRUE(steps.value(4).startsWith("row "));
        EXPECT_EQ(steps.value(5), "Return");
        const QString file = kSource + "/" + steps.value(3);
        answerParameterTable(svc, file, rowOf(file, steps.value(4).mid(4)));
        entry->trigger();
        svc.onPump = nullptr;
        return window;
    }
};

} // namespace

TEST(PartList, TheReadmeTableGivesTheWayThePartListGives)
{
    const auto picks = readmePicks();
    EXPECT_EQ(picks.size(), sim::simParts().size());
    for (const sim::SimPart& p : sim::simParts()) {
        const auto it = picks.find(p.name);
        ASSERT_NE(it, picks.end()) << p.name << " has no row in the README";
        EXPECT_EQ(it->second.toStdString(), p.menuPick) << p.name;
    }
}

TEST_P(PartPath, ReachesTheWindowSetForThePart)
{
    const sim::SimPart& part = *GetParam();
    sim::setUpEvaluationBoard(board(), {}, &part);
    QWidget* window = follow(part.menuPick);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    auto* w = dynamic_cast<DeviceFormCore*>(window);
    if (!w)
        return; // the up/down and push-button consoles: one pick, and their own tests
    EXPECT_TRUE(w->lblProduct->text().startsWith(part.name, Qt::CaseInsensitive)) << w->lblProduct->text().toStdString();

    // Supply on, position 20 hex typed into channel 0 and Enter: Auto Read shows it back.
    w->supply->OptVCC[0]->setChecked(true);
    w->ChkAutoRead[0]->setChecked(true);
    const int taps = g_TapCount;
    w->txtHexDataWrt[0]->setText(taps > 256 ? "020" : "20");
    w->txtHexDataWrt_KeyPress(0, 'X');
    w->txtHexDataWrt_KeyPress(0, 13);
    EXPECT_EQ(w->lblPotReadhex[0]->text().toInt(nullptr, 16), 0x20) << w->lblPotReadhex[0]->text().toStdString();
    // The quad part puts VCC x WCR / 255 on its wiper, the others VCC x position / taps;
    // VCC is the list's 5.0.
    const bool quad = QString(part.name).startsWith("k47");
    const double want = 5.0 * 0x20 / (quad ? 255 : taps);
    EXPECT_NEAR(w->lblWiperVolts[0]->text().toDouble(), want, 0.02) << w->lblWiperVolts[0]->text().toStdString();
    EXPECT_TRUE(svc.boxes.empty()) << svc.boxTexts().join(" | ").toStdString();
}

INSTANTIATE_TEST_SUITE_P(EverySimulatedPart, PartPath, ::testing::ValuesIn([] {
                             std::vector<const sim::SimPart*> all;
                             for (const sim::SimPart& p : sim::simParts())
                                 all.push_back(&p);
                             return all;
                         }()),
                         [](const ::testing::TestParamInfo<const sim::SimPart*>& info) {
                             return std::string(info.param->name);
                         });
