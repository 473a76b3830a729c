#include "devices/ProductExec.h"

#include "platform/services.h"
#include "shell/forms.h"
#include "shell/globals.h"

#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kFieldCount = 18;
constexpr int kDescriptionCapTwips = 7500;

const QColor kFixedCells(212, 208, 200);

// The family of the table that last ended a wait.
params::Family lastEndedFamily = params::Family::I2C;

params::Family flaggedFamily() { return g_SPIFamily ? params::Family::SPI : params::Family::I2C; }

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

params::Family ProductExec::family() const { return flaggedFamily(); }

void ProductExec::Form_Load()
{
    served_ = family();
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
    const bool returnShown = cmdReturn->isVisibleTo(this);
    cmdReturn->hide();
    cmdLoadParam_Click();
    // A refused file leaves the table as it was, so the pick it shows can still be returned.
    if (refusedKeepingTable_)
        cmdReturn->setVisible(returnShown);
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
    refusedKeepingTable_ = false;
    if (path.isEmpty()) {
        failLoad();
        return;
    }
    if (!ReadParameters(path)) {
        // The user has been told why. A table already shown stays, with its pick; with none
        // there is nothing to choose from, and the device window's wait ends as on Cancel.
        if (table_) {
            refusedKeepingTable_ = true;
            return;
        }
        failLoad();
        return;
    }
    Frame1->show();
}

bool ProductExec::ReadParameters(const QString& FileName)
{
    const params::Family f = family();
    // The file is read before the grid is touched: a file that is refused changes nothing.
    QString problem;
    std::optional<params::ParameterTable> table = params::readParameterFile(FileName, f, &problem);
    if (!table) {
        platform::msgBox(problem);
        return false;
    }

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
    fitColumns();
    return true;
}

void ProductExec::fitColumns()
{
    // The delegate keeps a margin on either side of a cell's text; the grid line takes a pixel.
    const int margins = 2 * (tGrid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, tGrid) + 1) + 1;
    // Text is laid out in fractions of a pixel: a width rounded down would cut the last letter.
    const QFontMetricsF fm(tGrid->font());
    const auto needs = [&](const QTableWidgetItem* item) {
        return item ? int(std::ceil(fm.horizontalAdvance(item->text()))) + margins : 0;
    };
    const int columns = tGrid->columnCount();
    for (int c = 0; c + 1 < columns; ++c) {
        int widest = 0;
        for (int r = 0; r < tGrid->rowCount(); ++r)
            widest = std::max(widest, needs(tGrid->item(r, c)));
        if (c == 1) {
            // A long description would push every other column out of sight: beyond the cap
            // it is cut, and its cell shows the whole text as its tip.
            const int cap = kDescriptionCapTwips / kTwipsPerPixel;
            for (int r = 0; r < tGrid->rowCount(); ++r)
                if (QTableWidgetItem* item = tGrid->item(r, c); item && needs(item) > cap)
                    item->setToolTip(item->text());
            widest = std::min(widest, cap);
        }
        tGrid->setColumnWidth(c, std::max(tGrid->columnWidth(c), widest));
    }

    // The window shows every column when the screen is wide enough; beyond, the grid scrolls.
    const QMargins outer = centralWidget()->layout()->contentsMargins();
    const QMargins inner = Frame1->layout()->contentsMargins();
    const int around = outer.left() + outer.right() + inner.left() + inner.right() + 2 * Frame1->frameWidth() +
                       2 * tGrid->frameWidth() + tGrid->verticalScrollBar()->sizeHint().width();
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    const int decoration = frameGeometry().width() - geometry().width();
    const int room = s->availableGeometry().width() - decoration;
    resize(std::min(around + tGrid->horizontalHeader()->length(), room), height());
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
    endWait();
    showFamilyWindow();
    platform::pumpEvents();
}

void ProductExec::failLoad()
{
    Frame1->hide();
    endWait();
    showFamilyWindow();
    platform::pumpEvents();
    forms().ProductExec.unload();
    platform::pumpEvents();
}

void ProductExec::Form_Unload()
{
    Timer1->stop();
    endWait();
    platform::pumpEvents();
}

void ProductExec::endWait()
{
    g_ParamTableDone = true;
    lastEndedFamily = served_;
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
    const params::Family wanted = flaggedFamily();
    if (ProductExec* t = forms().ProductExec.get(); t && t->shownFamily() && *t->shownFamily() != wanted) {
        // Closing the stale table ends no wait: the caller's wait has not begun.
        const bool done = g_ParamTableDone;
        forms().ProductExec.unload();
        g_ParamTableDone = done;
    }
    forms().ProductExec().serve(wanted);
    forms().ProductExec.show();
}

bool waitForParameterTable()
{
    const params::Family wanted = flaggedFamily();
    showParameterTable();
    for (int i = 0; i < 3; ++i)
        platform::pumpEvents();
    while (!g_ParamTableDone) {
        platform::pumpEvents();
        platform::sleepMs(10); // the user takes seconds; the wait need not spin
    }
    return lastEndedFamily == wanted;
}
