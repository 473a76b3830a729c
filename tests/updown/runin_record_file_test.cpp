// The run-in record file on a disk that fills up: "Write to Disk" replaces or appends the log
// whole or not at all, and says which file it could not write.
#include "runin_window_fixture.h"

#include "shell/doco.h"
#include "support/full_disk.h"

#include <QDir>

TEST_F(RunInWindowFixture, AFullDiskLeavesTheRecordFileAsItWas)
{
    runTest(QStringLiteral("8"), QStringLiteral("4"));
    UPDN_Runin& w = window();
    const QString file = QDir(dataDir.path()).filePath("runin.txt");
    const QByteArray old = "Trace File Data Acquisition 03-01-2026 09:00:00\r\nearlier run\r\n\r\nEND\r\n";
    ASSERT_GT(w.logText().size(), 4 * old.size()) << "a record that cannot fit";
    for (const bool append : {false, true}) {
        SCOPED_TRACE(append ? "append" : "replace");
        putFileBytes(file, old);
        w.txtFilePath->setText(file);
        w.chkAppend->setChecked(append);
        // What "Write to Disk" hands the writer is taken here; only the write runs on the
        // full disk.
        const QString chosen = w.txtFilePath->text();
        const QString log = w.logText();
        const int code = runWithFileSizeLimit(2 * old.size(), [&] {
            QString shown;
            svc.onBox = [&](const QString& text, int) {
                shown = text;
                return platform::vbOK;
            };
            return !saveTraceRecord(chosen, log, append) && shown.contains(file) ? 0 : 1;
        });
        EXPECT_EQ(code, 0) << "the save fails with a message that names the file";
        EXPECT_EQ(fileBytes(file), old);
    }
}
