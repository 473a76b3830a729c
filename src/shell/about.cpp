#include "shell/about.h"

#include "shell/forms.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// A potentiometer symbol (a resistor with its wiper arrow) beside the staircase of wiper
// positions a digital potentiometer steps through.
class AboutLogo : public QWidget {
public:
    explicit AboutLogo(QWidget* parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("picLogo"));
        setFixedHeight(84);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient band(0, 0, width(), 0);
        band.setColorAt(0, QColor(18, 44, 92));
        band.setColorAt(1, QColor(24, 128, 140));
        p.fillRect(rect(), band);

        const qreal mid = height() / 2.0 + 8;
        QPen line(Qt::white, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        p.setPen(line);
        // terminals and the zigzag body of the resistor
        QPainterPath body;
        body.moveTo(16, mid);
        body.lineTo(40, mid);
        const int zigs = 6;
        const qreal zigW = 10;
        for (int i = 0; i < zigs; ++i)
            body.lineTo(40 + zigW * (i + 0.5), mid + (i % 2 ? 9 : -9));
        body.lineTo(40 + zigW * zigs, mid);
        body.lineTo(124, mid);
        p.drawPath(body);
        // the wiper, an arrow onto the body from above
        const qreal wx = 40 + zigW * zigs / 2.0;
        p.drawLine(QPointF(wx, 12), QPointF(wx, mid - 14));
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygonF({QPointF(wx - 6, mid - 20), QPointF(wx + 6, mid - 20), QPointF(wx, mid - 11)}));

        // the staircase: wiper positions, lit from the bottom up to the current one
        const int steps = 16;
        const qreal x0 = 150, stepW = 9, maxH = height() - 24;
        for (int i = 0; i < steps; ++i) {
            const qreal h = maxH * (i + 1) / steps;
            const QRectF bar(x0 + i * (stepW + 2), height() - 12 - h, stepW, h);
            p.fillRect(bar, i <= 10 ? QColor(255, 210, 80) : QColor(255, 255, 255, 70));
        }
    }
};

} // namespace

QString versionText(int major, int minor, int rev)
{
    return QStringLiteral("Version %1.%2.%3").arg(major).arg(minor).arg(rev);
}

QString programTitle() { return QStringLiteral("dcpeval"); }

QString programDescription()
{
    return QStringLiteral("Evaluation tool for digitally controlled potentiometers on the DCP evaluation board");
}

frmAbout2::frmAbout2()
{
    setObjectName(QStringLiteral("frmAbout2"));
    picLogo = new AboutLogo(this);
    lblTitle = new QLabel(this);
    QFont big = lblTitle->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    lblTitle->setFont(big);
    lblVersion = new QLabel(this);
    lblDescription = new QLabel(this);
    lblDescription->setWordWrap(true);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setDefault(true);
    cmdOK->setAutoDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });

    auto* text = new QVBoxLayout;
    text->setContentsMargins(16, 10, 16, 0);
    text->addWidget(lblTitle);
    text->addWidget(lblVersion);
    text->addSpacing(6);
    text->addWidget(lblDescription);
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(16, 0, 16, 12);
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    auto* all = new QVBoxLayout(this);
    all->setContentsMargins(0, 0, 0, 0);
    all->addWidget(picLogo);
    all->addLayout(text);
    all->addStretch(1);
    all->addLayout(buttons);
    setMinimumWidth(420);
}

void frmAbout2::Form_Load()
{
    setWindowTitle(QStringLiteral("About ") + programTitle());
    lblVersion->setText(versionText(DCPEVAL_VERSION_MAJOR, DCPEVAL_VERSION_MINOR, DCPEVAL_VERSION_PATCH));
    lblDescription->setText(programDescription());
    lblTitle->setText(programTitle());
}

void frmAbout2::cmdOK_Click()
{
    if (forms().frmAbout2.get() == this)
        forms().frmAbout2.unload();
    else
        hide(); // a box made outside the registry has nothing to unload
}

void frmAbout2::reject() { cmdOK_Click(); }
