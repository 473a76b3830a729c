// Where the program's file dialogs open: the folder of the last file chosen in the same
// dialog; before that the project's example files when run from its build tree, else the
// program directory.
#include "platform/services.h"
#include "support/test_services.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class DialogFolders : public ::testing::Test {
protected:
    void SetUp() override
    {
        svc.programDirectory = programDir.path();
        platform::setServices(&svc);
    }
    void TearDown() override { platform::setServices(nullptr); }

    // The folder the dialog called name opens in; then the user chooses chosen (empty: Cancel).
    QString opens(const QString& name, const QString& chosen, const QString& exampleSubfolder = QString())
    {
        platform::FileDialogSpec d;
        platform::openInLastFolder(d, name, exampleSubfolder);
        svc.openPaths.push_back(chosen);
        platform::services().openFileName(d);
        return d.directory;
    }

    TestServices svc;
    QTemporaryDir programDir, elsewhere;
    const QString examples = QStringLiteral(DCPEVAL_SOURCE_DIR "/examples");
};

} // namespace

TEST_F(DialogFolders, TheExampleFilesBelongToABuildTreeOfTheProject)
{
    // The tests run from the build tree, as dcpeval does after scripts/run.
    EXPECT_EQ(platform::exampleFilesFolder(QCoreApplication::applicationDirPath()), examples);
    EXPECT_EQ(platform::exampleFilesFolder("/usr/bin"), QString());
    EXPECT_EQ(platform::exampleFilesFolder(elsewhere.path()), QString());
}

TEST_F(DialogFolders, EachDialogOpensWhereItsLastFileWas)
{
    const QString chosen = QDir(elsewhere.path()).filePath("parts.csv");
    EXPECT_EQ(opens("parameter table", chosen), examples);
    EXPECT_EQ(opens("script", QString(), "scripts"), examples + "/scripts");
    EXPECT_EQ(opens("parameter table", QString()), elsewhere.path());
    EXPECT_EQ(opens("parameter table", QString()), elsewhere.path()) << "a Cancel keeps the folder";
    EXPECT_EQ(opens("script", QString(), "scripts"), examples + "/scripts") << "each dialog has its own";

    // A folder that went away since: the dialog starts afresh.
    const QString gone = QDir(elsewhere.path()).filePath("gone");
    ASSERT_TRUE(QDir().mkpath(gone));
    opens("parameter table", gone + "/t.csv");
    ASSERT_TRUE(QDir(gone).removeRecursively());
    EXPECT_EQ(opens("parameter table", QString()), examples);
    // A subfolder the examples lack: the program directory.
    EXPECT_EQ(opens("trace", QString(), "no such folder"), programDir.path());
}
