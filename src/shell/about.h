#pragma once
// The About box: the program's title, version and description under a drawn logo. It is
// shown not modal; OK, Enter, Esc and the close box all unload it.
#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

// "Version 2.1.14": each number in decimal without leading zeros.
QString versionText(int major, int minor, int rev);
QString programTitle();
QString programDescription();

class frmAbout2 : public QDialog {
    Q_OBJECT
public:
    frmAbout2();

    QWidget* picLogo;
    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* lblDescription;
    QPushButton* cmdOK;

    void Form_Load();
    void cmdOK_Click();

    // Esc and the close box end up here; they press OK.
    void reject() override;
};
