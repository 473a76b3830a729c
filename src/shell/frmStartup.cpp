#include "shell/frmStartup.h"

#include "bridge/frmMainF340.h"
#include "controls/lamp.h"
#include "devices/frmDCP_SPI1.h"
#include "devices/frmDCP_User1.h"
#include "motherboard/FrmVCCCal.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "platform/services.h"
#include "shell/about.h"
#include "shell/forms.h"
#include "updown/frmDCP_PB1.h"
#include "updown/frmDCP_UD1.h"
#include "shell/globals.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <QVBoxLayout>

namespace {

enum Pick { kHeading = 0, kI2C = 2, kSPI = 3, kUpDown = 4, kPushButton = 5, kCalibration = 9 };

// The small picture at the top left: a potentiometer symbol. A double-click on it turns on
// the engineering view.
class SmallPicture : public QWidget {
public:
    explicit SmallPicture(frmStartup* menu) : menu_(menu) { setFixedSize(64, 48); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillRect(rect(), QColor(0, 60, 120));
        p.setPen(QPen(Qt::white, 2));
        const int y = height() / 2 + 6;
        p.drawLine(4, y, 14, y);
        QPainterPath zig;
        zig.moveTo(14, y);
        for (int i = 0; i < 6; ++i)
            zig.lineTo(18 + i * 6, y + (i % 2 ? 6 : -6));
        zig.lineTo(50, y);
        p.drawPath(zig);
        p.drawLine(50, y, 60, y);
        p.drawLine(32, 6, 32, y - 8);
        p.drawLine(32, y - 8, 28, y - 14);
        p.drawLine(32, y - 8, 36, y - 14);
    }
    void mouseDoubleClickEvent(QMouseEvent*) override { menu_->Picture1_DblClick(); }

private:
    frmStartup* menu_;
};

// The board set-up as the user connects it: PC, USB cable, motherboard with the bridge, the
// supply and the daughter board with the chip under test.
class SetupPicture : public QWidget {
public:
    SetupPicture() { setMinimumSize(520, 260); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillRect(rect(), QColor(245, 245, 240));
        const QRectF r = QRectF(rect()).adjusted(10, 10, -10, -10);
        const qreal w = r.width(), h = r.height();
        auto box = [&](QRectF b, QColor fill, const QString& text) {
            p.setPen(QPen(Qt::black, 1.5));
            p.setBrush(fill);
            p.drawRoundedRect(b, 6, 6);
            p.drawText(b, Qt::AlignCenter | Qt::TextWordWrap, text);
        };
        const QRectF pc(r.left(), r.top() + h * 0.25, w * 0.18, h * 0.45);
        const QRectF mb(r.left() + w * 0.32, r.top() + h * 0.05, w * 0.66, h * 0.9);
        box(pc, QColor(210, 220, 235), "PC\ndcpeval");
        p.setPen(QPen(QColor(60, 60, 60), 3));
        p.drawLine(QPointF(pc.right(), pc.center().y()), QPointF(mb.left(), pc.center().y()));
        p.setPen(Qt::black);
        p.drawText(QRectF(pc.right(), pc.center().y() - 22, mb.left() - pc.right(), 18), Qt::AlignCenter, "USB");
        box(mb, QColor(30, 110, 60), QString());
        p.setPen(Qt::white);
        p.drawText(mb.adjusted(8, 6, -8, -6), Qt::AlignTop | Qt::AlignLeft, "DCP Motherboard");
        box(QRectF(mb.left() + mb.width() * 0.06, mb.top() + mb.height() * 0.3, mb.width() * 0.3, mb.height() * 0.35),
            QColor(40, 40, 40), QString());
        p.setPen(Qt::white);
        p.drawText(QRectF(mb.left() + mb.width() * 0.06, mb.top() + mb.height() * 0.3, mb.width() * 0.3, mb.height() * 0.35),
                   Qt::AlignCenter, "F340\nbridge");
        box(QRectF(mb.left() + mb.width() * 0.06, mb.top() + mb.height() * 0.72, mb.width() * 0.3, mb.height() * 0.2),
            QColor(230, 200, 80), "VCC / V- supply");
        const QRectF db(mb.left() + mb.width() * 0.5, mb.top() + mb.height() * 0.22, mb.width() * 0.44, mb.height() * 0.62);
        box(db, QColor(70, 130, 200), QString());
        p.setPen(Qt::white);
        p.drawText(db.adjusted(6, 4, -6, -4), Qt::AlignTop | Qt::AlignHCenter, "Daughter board");
        box(QRectF(db.left() + db.width() * 0.25, db.top() + db.height() * 0.4, db.width() * 0.5, db.height() * 0.35),
            QColor(20, 20, 20), QString());
        p.setPen(Qt::white);
        p.drawText(QRectF(db.left() + db.width() * 0.25, db.top() + db.height() * 0.4, db.width() * 0.5, db.height() * 0.35),
                   Qt::AlignCenter, "DCP");
    }
};

} // namespace

frmStartup::frmStartup()
{
    setWindowTitle("Vantrel DCP Devices Evaluation Software Main Startup Menu");

    mnuAboutShow = menuBar()->addAction("About");
    connect(mnuAboutShow, &QAction::triggered, this, [this] { mnuAboutShow_Click(); });

    auto* central = new QWidget;
    setCentralWidget(central);
    auto* v = new QVBoxLayout(central);

    auto* top = new QHBoxLayout;
    Picture1 = new SmallPicture(this);
    Label1 = new QLabel("Connect Hardware as Shown, then select Option");
    QFont f = Label1->font();
    f.setPointSizeF(f.pointSizeF() * 1.2);
    f.setBold(true);
    Label1->setFont(f);
    top->addWidget(Picture1);
    top->addWidget(Label1, 1);
    v->addLayout(top);

    Picture2 = new SetupPicture;
    v->addWidget(Picture2, 1);

    auto* pick = new QHBoxLayout;
    cboDCPSelect = new QComboBox;
    cboDCPSelect->setMinimumContentsLength(26);
    Label2 = new QLabel("<- Select Option");
    Shpstatus[2] = new Lamp(nullptr, Lamp::Shape::Circle);
    Shpstatus[2]->setFixedSize(18, 18);
    Shpstatus[2]->setFillColor(10);
    pick->addWidget(cboDCPSelect);
    pick->addWidget(Label2);
    pick->addWidget(Shpstatus[2]);
    pick->addStretch(1);
    v->addLayout(pick);

    cboVCC = new QComboBox(this);
    cboVCC->hide();

    // A pick runs the handler whether or not it changes the entry shown (picking the family
    // the menu still shows does the pick again); code that sets the entry runs it on a change.
    // A user's pick that changes the entry brings the change and, straight after its handler
    // returns, the activation. The flag goes up only once the pick is over: the pick lets
    // events run, and those would clear a flag raised before it.
    connect(cboDCPSelect, &QComboBox::currentIndexChanged, this, [this] {
        cboDCPSelect_Click();
        pickRan_ = true;
        QTimer::singleShot(0, this, [this] { pickRan_ = false; });
    });
    connect(cboDCPSelect, &QComboBox::activated, this, [this] {
        if (!pickRan_)
            cboDCPSelect_Click();
        pickRan_ = false;
    });

    Timer1 = new QTimer(this);
    Timer1->setInterval(1500);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });

    resize(640, 460);
}

void frmStartup::Form_Load()
{
    g_BridgeModel = 320;
    g_BoardPresent = false;
    engineeringView_ = false;
    g_AdcVref = 3.3;
    Timer1->start();
    g_VminusTracksVcc = true;

    const QStringList entries = {"Device Selection", "   DCP Devices", "I2C", "SPI", "Up /Down", "Push Button",
                                 "---------",        "",                "",    "Calibrate Device VCC Supply"};
    {
        QSignalBlocker quiet(cboDCPSelect);
        cboDCPSelect->clear();
        cboDCPSelect->addItems(entries);
        cboDCPSelect->setCurrentIndex(-1);
    }
    cboDCPSelect->setCurrentIndex(kHeading);
    platform::pumpEvents();
}

void frmStartup::Form_Activate()
{
    g_ActiveForm = this;
    Timer1->start();
    platform::pumpEvents();
    cboDCPSelect->setCurrentIndex(kHeading);
    g_I2CPartPicked = false;
    g_SPIPartPicked = false;
    g_PickedRecord = {};
}

void frmStartup::Form_GotFocus()
{
    Timer1->start();
    g_ActiveForm = this;
}

void frmStartup::changeEvent(QEvent* e)
{
    QMainWindow::changeEvent(e);
    // A link dialog closing during a pick hands the focus back here: that is no return to
    // the menu, and the pick keeps the lamp stopped and leaves registered whom it shows.
    if (e->type() == QEvent::ActivationChange && isActiveWindow() && !picking_)
        Form_GotFocus();
}

void frmStartup::Form_Unload()
{
    Timer1->stop();
    platform::endProgram(platform::kExitQuit);
}

void frmStartup::closeEvent(QCloseEvent* e)
{
    e->ignore();
    forms().frmStartup.unload();
}

void frmStartup::Timer1_Timer()
{
    Shpstatus[2]->setVisible(true);
    Shpstatus[2]->setFillColor(Shpstatus[2]->fillColor() == 10 ? 2 : 10);
}

void frmStartup::Picture1_DblClick() { engineeringView_ = true; }

void frmStartup::mnuAboutShow_Click() { forms().frmAbout2.show(); }

void frmStartup::setBusSwitch(bool high)
{
    auto& mb = forms().frmMotherboardDAQ2();
    mb.chkPData[11]->setChecked(high);
    // The box's handler has already run when the value changed; the pin is driven from the
    // image either way.
    mb.chkPData_Click(11);
}

void frmStartup::showServiceWindows()
{
    if (!engineeringView_)
        return;
    forms().frmMotherboardDAQ2.show();
    forms().frmMainF340.show();
}

void frmStartup::cboDCPSelect_Click()
{
    // A pick may nest inside another one (events run during it); the outer one ends it.
    struct Picking {
        bool& flag;
        bool was;
        explicit Picking(bool& f) : flag(f), was(f) { flag = true; }
        ~Picking() { flag = was; }
    } picking(picking_);

    g_ActiveForm = this;
    g_ReturnToMenu = false;
    const int pick = cboDCPSelect->currentIndex();
    if (pick < 0)
        return;

    if (pick != kHeading) {
        Timer1->stop();
        Shpstatus[2]->setVisible(false);
        // The first time, reaching the motherboard window loads it, and its set-up loads the
        // bridge console first, which opens the board link.
        forms().frmMotherboardDAQ2().hide();
        forms().frmMainF340().hide();
        platform::pumpEvents();
    }
    g_BoardPresent = true;
    platform::pumpEvents();
    g_ActiveForm = this;

    switch (pick) {
    case kI2C:
        setBusSwitch(false);
        forms().frmMainF340().setI2Coptions(0);
        showServiceWindows();
        forms().frmDCP_User1.show();
        hide();
        break;
    case kSPI:
        setBusSwitch(true);
        showServiceWindows();
        forms().frmDCP_SPI1.show();
        hide();
        break;
    case kUpDown:
        setBusSwitch(false);
        showServiceWindows();
        forms().frmDCP_UD1.show();
        hide();
        break;
    case kPushButton:
        setBusSwitch(false);
        forms().frmDCP_PB1.show();
        hide();
        break;
    case kCalibration:
        showServiceWindows();
        forms().FrmVCCCal.show();
        hide();
        break;
    default:
        break; // the heading and the separators: nothing more
    }
}
