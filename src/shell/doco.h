#pragma once
// The trace window: the log of the traffic with the board, its two switches (tracing and
// detailed tracing), and saving the log to a trace file. Writers append through trace()
// (shell/trace.h); the window is created hidden by the first of them.
#include <QDateTime>
#include <QString>
#include <QWidget>

#include <array>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The saved form of a log: a header line "Trace File Data Acquisition MM-dd-yyyy HH:mm:ss",
// the log text, an empty line (the log's lines end with CR LF already) and "END", every line
// ended by CR LF. The run-in log is saved the same way.
QString TraceRecordFile(const QString& log, const QDateTime& when);

// Writes TraceRecordFile(log, now) to path, at the end of the file when append is set, else
// replacing the file whole (or leaving it as it was). A failure is told in a message box and
// writes nothing; returns whether the file was written.
bool saveTraceRecord(const QString& path, const QString& log, bool append);

// The record file's dialog ("Select File For Recording"): the chosen path, or empty.
QString browseTraceRecord();
// Adds text (CR LF line breaks) at the end of a log box, following it there when the box
// showed its end; only the new text goes in, so a long log stays fast.
void appendToLogBox(QPlainTextEdit* box, const QString& text);

class Doco : public QWidget {
    Q_OBJECT
public:
    Doco();

    QPlainTextEdit* rtxt1;
    QGroupBox* FrmDocoOptions;
    // Only element 2 ("Trace") is ever shown; 0 and 1 exist hidden so that every index of
    // the array is a real box that callers may set.
    std::array<QCheckBox*, 3> ChkTrace{};
    QCheckBox* chkTRDetail;
    QPushButton* cndTclear;
    QGroupBox* frmDataRecord;
    QLineEdit* txtFilePath;
    QPushButton* cmdBrowse;
    QCheckBox* chkAppend;
    std::array<QPushButton*, 1> cmdStartRec{};

    void Form_Load();
    void Form_Resize();
    void ChkTrace_Click(int Index);
    void chkTRDetail_Click();
    void cndTclear_Click();
    void cmdBrowse_Click();
    void cmdStartRec_Click(int Index);

    // Adds the message and CR LF at the end of the log.
    void appendLine(const QString& message);
    QString logText() const { return log_; }

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    QString log_; // the log as saved: every line ends with CR LF
};
