// A run-in on a board that answers every request 3 ms late, in order, with set answers of its
// own: the replies the run-in's line writes earn are never read as a wiper reading.
#include "runin_window_fixture.h"

#include <QStringList>

namespace {

// The board is slow from the start: the console's load and VCC switched on meet it too.
class SlowRunInTest : public RunInWindowFixture {
protected:
    void SetUp() override
    {
        BoardFixture::SetUp();
        board().replyDelayMs = 3;
        board().setAnswersCarryCode = true;
        part = sim::installUpDownPart(board());
        console();
        forms().frmMotherboardDAQ2().OptVCC[0]->setChecked(true);
        svc.clock = QDateTime(QDate(2026, 3, 2), QTime(10, 0, 0));
    }
};

TEST_F(SlowRunInTest, AHundredMovesPassWithNoFail)
{
    runTest(QStringLiteral("100"), QStringLiteral("50"));
    const QStringList lines = window().logText().split("\r\n");
    // The ends as a prompt board gives them (a count of 515 at the top, 0 at the bottom).
    EXPECT_EQ(lines.filter("Max Wiper V:[3.3226]    Min Wiper V:[0.0000]").size(), 1);
    EXPECT_EQ(lines.filter("FAIL").size(), 0) << lines.filter("FAIL").join("\n").toStdString();
    EXPECT_TRUE(lines.value(lines.size() - 3).startsWith("User Test ID   Test Completed : Test Count:[ 100] Fail Count:[ 0]"))
        << lines.value(lines.size() - 3).toStdString();
    EXPECT_TRUE(svc.boxes.empty()) << svc.boxTexts().join(" | ").toStdString();
}

} // namespace
