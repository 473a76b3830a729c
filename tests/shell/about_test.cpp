#include "shell/about.h"

#include "shell_fixture.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include <functional>

TEST(AboutVersion, DecimalWithoutLeadingZeros)
{
    EXPECT_EQ(versionText(2, 1, 14), QStringLiteral("Version 2.1.14"));
    EXPECT_EQ(versionText(10, 0, 7), QStringLiteral("Version 10.0.7"));
}

class AboutTest : public ShellTest {};

TEST_F(AboutTest, LoadsTitleVersionAndDescription)
{
    forms().frmAbout2.show();
    frmAbout2& a = forms().frmAbout2();
    EXPECT_EQ(a.windowTitle(), QStringLiteral("About dcpeval"));
    EXPECT_EQ(a.lblTitle->text(), QStringLiteral("dcpeval"));
    EXPECT_EQ(a.lblVersion->text(), versionText(DCPEVAL_VERSION_MAJOR, DCPEVAL_VERSION_MINOR, DCPEVAL_VERSION_PATCH));
    EXPECT_FALSE(a.lblDescription->text().isEmpty());
    EXPECT_TRUE(a.cmdOK->isDefault());
    EXPECT_FALSE(a.isModal());
}

TEST_F(AboutTest, ShowingTwiceDoesNotReload)
{
    forms().frmAbout2.show();
    frmAbout2* first = forms().frmAbout2.get();
    first->lblTitle->setText("changed since load");
    forms().frmAbout2.show();
    EXPECT_EQ(forms().frmAbout2.get(), first);
    EXPECT_EQ(first->lblTitle->text(), QStringLiteral("changed since load"));
}

TEST_F(AboutTest, EveryWayOutUnloadsAndTheNextShowLoadsAgain)
{
    const std::pair<const char*, std::function<void(frmAbout2&)>> ways[] = {
        {"OK", [](frmAbout2& a) { a.cmdOK->click(); }},
        {"Enter", [](frmAbout2& a) {
             QKeyEvent e(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
             QCoreApplication::sendEvent(&a, &e);
         }},
        {"Esc", [](frmAbout2& a) {
             QKeyEvent e(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
             QCoreApplication::sendEvent(&a, &e);
         }},
        {"close box", [](frmAbout2& a) { a.close(); }},
    };
    for (const auto& [name, leave] : ways) {
        forms().frmAbout2.show();
        forms().frmAbout2().lblTitle->setText("changed since load");
        leave(forms().frmAbout2());
        EXPECT_FALSE(forms().frmAbout2.loaded()) << name;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        forms().frmAbout2.show();
        EXPECT_EQ(forms().frmAbout2().lblTitle->text(), QStringLiteral("dcpeval")) << name;
        forms().frmAbout2.unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}
