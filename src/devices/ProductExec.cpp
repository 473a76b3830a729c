#include "devices/ProductExec.h"

#include "platform/services.h"
#include "shell/forms.h"
#include "shell/globals.h"

#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kFieldCount = 18;

const QColor kFixedCells(212, 208, 200);

} // namespace

ProductExec::ProductExec()
{
    setWindowTitle("DCP Product Selection Parameter Table");

    MnuFileMain = menuBar()->addMenu("File");
    mnu_Open_Param = MnuFileMain->addAction("Open ");
    // Opening the menu is what chooses a file; the entry itself does nothing. The dialog
    // waits until the menu has closed.
    connect(MnuFileMain, &QMenu::aboutToShow, this, [this] {
        QTimer::singleShot(0, this, [this] {
            MnuFileMain->hide();
            MnuFileMain_Click();
        });
    });

    auto* central = new QWidget;
    setCentralWidget(central);
    auto* outer = new QVBoxLayout(central);
    Frame1 = new QFrame;
    Frame1->setFrameShape(QFrame::StyledPanel);
    outer->addWidget(Frame1);
    auto* v = new QVBoxLayout(Frame1);

    tGrid = new QTableWidget;
    tGrid->horizontalHeader()->hide();
    tGrid->horizontalHeader()->setMinimumSectionSize(1); // the last column is a sliver
    tGrid->verticalHeader()->hide();
    tGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    tGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    tGrid->setMinimumHeight(260);
    connect(tGrid, &QTableWidget::cellClicked, this, [this](int row, int) {
        // The header row is fixed: a click there changes nothing.
        if (row >= 1)
            tGrid_Click();
    });
    v->addWidget(tGrid, 1);

    auto* fields = new QGridLayout;
    for (int k = 0; k < kFieldCount; ++k) {
        lblField[k] = new QLabel;
        lblDeviceSel[k] = new QLabel;
        lblField[k]->setStyleSheet("color: #404040;");
        lblDeviceSel[k]->setFrameShape(QFrame::Panel);
        lblDeviceSel[k]->setFrameShadow(QFrame::Sunken);
        lblDeviceSel[k]->setMinimumWidth(k == 1 ? 300 : 60);
        // Six places to a line, a title above its cell; the description takes three of them.
        const int span = k == 1 ? 3 : 1;
        const int place = k <= 1 ? k : k + 2;
        const int row = 2 * (place / 6), col = place % 6;
        fields->addWidget(lblField[k], row, col, 1, span);
        fields->addWidget(lblDeviceSel[k], row + 1, col, 1, span);
    }
    QFont blueBold = lblDeviceSel[1]->font();
    blueBold.setBold(true);
    lblDeviceSel[1]->setFont(blueBold);
    lblDeviceSel[1]->setStyleSheet("color: blue;");
    const char* fixedTitles[] = {"Selected Part", "Description", "Channels", "Taps", "Bus Adr"};
    for (int k = 0; k < 5; ++k)
        lblField[k]->setText(fixedTitles[k]);
    v->addLayout(fields);

    auto* buttons = new QHBoxLayout;
    cmdLoadParam = new QPushButton("Re-Load");
    cmdReturn = new QPushButton("Return");
    QFont bold = cmdReturn->font();
    bold.setBold(true);
    cmdReturn->setFont(bold);
    buttons->addStretch(1);
    buttons->addWidget(cmdLoadParam);
    buttons->addWidget(cmdReturn);
    v->addLayout(buttons);
    connect(cmdLoadParam, &QPushButton::clicked, this, [this] { cmdLoadParam_Click(); });
    connect(cmdReturn, &QPushButton::clicked, this, [this] { cmdReturn_Click(); });

    Frame1->hide();

    Timer1 = new QTimer(this);
    Timer1->setInterval(600);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });

    resize(1180, 580);
}

params::Family ProductExec::family() const { return g_SPIFamily ? params::Family::SPI : params::Family::I2C; }

void ProductExec::Form_Load()
{
    platform::pumpEvents();
    Timer1->start();
}

void ProductExec::Timer1_Timer()
{
    Timer1->stop();
    cmdReturn->hide();
    cmdLoadParam_Click();
    platform::pumpEvents();
}

void ProductExec::MnuFileMain_Click()
{
    cmdReturn->hide();
    cmdLoadParam_Click();
    platform::pumpEvents();
}

void ProductExec::cmdLoadParam_Click()
{
    platform::FileDialogSpec dialog;
    platform::openInLastFolder(dialog, "parameter table");
    dialog.filter = "All Files (*.*)|*.*|Read Data File(*.csv)|*.csv";
    dialog.filterIndex = 2;
    if (g_I2CFamily)
        dialog.fileName = "*I2C* .csv";
    if (g_SPIFamily)
        dialog.fileName = "*SPI* .csv";
    const QString path = platform::services().openFileName(dialog);
    if (path.isEmpty() || !ReadParameters(path)) {
        failLoad();
        return;
    }
    Frame1->show();
}

bool ProductExec::ReadParameters(const QString& FileName)
{
    const params::Family f = family();
    const int columns = params::rowWidth(f);
    tGrid->clear();
    tGrid->setRowCount(params::kMaxRows);
    tGrid->setColumnCount(columns);
    for (int c = 0; c < columns; ++c)
        tGrid->setColumnWidth(c, (c == 0 ? 1500 : c == 1 ? 5000 : 800) / kTwipsPerPixel);
    tGrid->setColumnWidth(columns - 8, 2200 / kTwipsPerPixel);
    tGrid->setColumnWidth(columns - 7, 1300 / kTwipsPerPixel);
    tGrid->setColumnWidth(columns - 6, 1300 / kTwipsPerPixel);
    tGrid->setColumnWidth(columns - 1, 200 / kTwipsPerPixel);

    const int shown = params::recordCells(f);
    for (int k = 0; k < kFieldCount; ++k) {
        lblField[k]->setVisible(k < shown);
        lblDeviceSel[k]->setVisible(k < shown);
    }
    platform::pumpEvents();

    QString problem;
    std::optional<params::ParameterTable> table = params::readParameterFile(FileName, f, &problem);
    if (!table) {
        platform::msgBox(QStringLiteral("%1 cannot be read as a parameter table: %2.")
                             .arg(QDir::toNativeSeparators(FileName), problem));
        return false;
    }
    table_ = std::move(table);
    shownFamily_ = f;

    tGrid->setRowCount(table_->rowCount());
    for (int r = 0; r < table_->rowCount(); ++r) {
        for (int c = 0; c < columns; ++c) {
            auto* item = new QTableWidgetItem(table_->rows[static_cast<size_t>(r)][c]);
            if (r == 0 || c == 0)
                item->setBackground(kFixedCells);
            if (r == 0)
                item->setFlags(Qt::ItemIsEnabled);
            tGrid->setItem(r, c, item);
        }
    }
    tGrid->setCurrentCell(0, 0);
    for (int k = 5; k < shown; ++k)
        lblField[k]->setText(table_->rows[0][k]);
    return true;
}

void ProductExec::tGrid_Click()
{
    if (!table_)
        return;
    const int row = tGrid->currentRow();
    if (row < 1)
        return;
    if (!table_->pickable(row)) {
        g_I2CPartPicked = false;
        g_SPIPartPicked = false;
        g_PickedRecord = {};
        cmdReturn->hide();
        for (int k = 0; k <= 8; ++k)
            lblDeviceSel[k]->clear();
        return;
    }
    const ParameterTableRecord record = table_->record(row);
    for (int c = 0; c < params::recordCells(table_->family); ++c)
        lblDeviceSel[c]->setText(record[static_cast<size_t>(c)]);
    tGrid->setCurrentCell(row, 0);
    g_PickedRecord = record;
    g_I2CPartPicked = true;
    g_SPIPartPicked = true;
    cmdReturn->show();
}

void ProductExec::cmdReturn_Click()
{
    hide();
    g_ParamTableDone = true;
    showFamilyWindow();
    platform::pumpEvents();
}

void ProductExec::failLoad()
{
    Frame1->hide();
    g_ParamTableDone = true;
    showFamilyWindow();
    platform::pumpEvents();
    forms().ProductExec.unload();
    platform::pumpEvents();
}

void ProductExec::Form_Unload()
{
    Timer1->stop();
    g_ParamTableDone = true;
    platform::pumpEvents();
}

void ProductExec::closeEvent(QCloseEvent* e)
{
    e->ignore();
    forms().ProductExec.unload();
}

void ProductExec::showFamilyWindow()
{
    if (g_I2CFamily && forms().showI2CDeviceWindow)
        forms().showI2CDeviceWindow();
    if (g_SPIFamily && forms().showSPIDeviceWindow)
        forms().showSPIDeviceWindow();
}

void showParameterTable()
{
    const params::Family wanted = g_SPIFamily ? params::Family::SPI : params::Family::I2C;
    if (ProductExec* t = forms().ProductExec.get(); t && t->shownFamily() && *t->shownFamily() != wanted) {
        // Closing the stale table ends no wait: the caller's wait has not begun.
        const bool done = g_ParamTableDone;
        forms().ProductExec.unload();
        g_ParamTableDone = done;
    }
    forms().ProductExec.show();
}

void waitForParameterTable()
{
    showParameterTable();
    for (int i = 0; i < 3; ++i)
        platform::pumpEvents();
    while (!g_ParamTableDone) {
        platform::pumpEvents();
        platform::sleepMs(10); // the user takes seconds; the wait need not spin
    }
}
