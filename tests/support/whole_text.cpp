#include "support/whole_text.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTableWidget>

#include <cmath>

namespace {

std::string name(const QString& text) { return text.toStdString(); }

// The room a button's style leaves its text, and the text's width in the button's font.
void expectButtonTextWhole(const QAbstractButton& b)
{
    if (b.text().isEmpty())
        return;
    QStyleOptionButton opt;
    opt.initFrom(&b);
    opt.text = b.text();
    QStyle::SubElement contents = QStyle::SE_PushButtonContents;
    if (qobject_cast<const QCheckBox*>(&b))
        contents = QStyle::SE_CheckBoxContents;
    else if (qobject_cast<const QRadioButton*>(&b))
        contents = QStyle::SE_RadioButtonContents;
    else if (!qobject_cast<const QPushButton*>(&b))
        return;
    const QRect room = b.style()->subElementRect(contents, &opt, &b);
    const QSize text = b.fontMetrics().size(Qt::TextShowMnemonic, b.text());
    EXPECT_GE(room.width(), text.width()) << name(b.text());
    EXPECT_GE(b.height(), text.height()) << name(b.text());
}

} // namespace

void layOutPending(QWidget& top)
{
    // A frame shown inside a frame asks for a new layout of each level in turn.
    for (int i = 0; i < 3; ++i)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    if (top.layout())
        top.layout()->activate();
}

void expectTextsWhole(QWidget& top)
{
    layOutPending(top);
    for (QGroupBox* f : top.findChildren<QGroupBox*>()) {
        if (!f->isVisibleTo(&top))
            continue;
        // The title and the contents' least size.
        EXPECT_GE(f->width(), f->minimumSizeHint().width()) << name(f->title());
        EXPECT_GE(f->height(), f->minimumSizeHint().height()) << name(f->title());
        if (f->layout() && f->layout()->hasHeightForWidth()) {
            EXPECT_GE(f->height(), f->heightForWidth(f->width())) << name(f->title());
        }
    }
    for (QLabel* l : top.findChildren<QLabel*>()) {
        if (!l->isVisibleTo(&top) || l->text().isEmpty())
            continue;
        if (l->wordWrap()) {
            EXPECT_GE(l->height(), l->heightForWidth(l->width())) << name(l->text());
        } else {
            EXPECT_GE(l->width(), l->minimumSizeHint().width()) << name(l->text());
            EXPECT_GE(l->height(), l->minimumSizeHint().height()) << name(l->text());
        }
    }
    for (QAbstractButton* b : top.findChildren<QAbstractButton*>())
        if (b->isVisibleTo(&top))
            expectButtonTextWhole(*b);
}

void expectWrappedCellsWhole(const QTableWidget& t)
{
    const QFontMetrics fm(t.font());
    for (int r = 0; r < t.rowCount(); ++r)
        for (int col = 0; col < t.columnCount(); ++col) {
            // The cell's text area: its width less the item's margins on both sides.
            const QRect room(0, 0, t.columnWidth(col) - 8, 10000);
            const int needed = fm.boundingRect(room, Qt::TextWordWrap, t.item(r, col)->text()).height();
            EXPECT_GE(t.rowHeight(r), needed) << "row " << r << " column " << col;
        }
    EXPECT_GE(t.height(), t.verticalHeader()->length());
}

void expectCellsFitTheirColumns(const QTableWidget& t, const std::set<int>& except)
{
    // The item delegate keeps a margin on either side of the text; the grid line takes a pixel.
    const int margins = 2 * (t.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &t) + 1) + (t.showGrid() ? 1 : 0);
    for (int col = 0; col < t.columnCount(); ++col) {
        if (except.count(col) || t.isColumnHidden(col))
            continue;
        for (int r = 0; r < t.rowCount(); ++r) {
            const QTableWidgetItem* item = t.item(r, col);
            if (!item || item->text().isEmpty())
                continue;
            // Text is laid out in fractions of a pixel, and cut when it needs a fraction more.
            const QFontMetricsF fm(item->data(Qt::FontRole).isValid() ? item->font() : t.font());
            EXPECT_GE(t.columnWidth(col), std::ceil(fm.horizontalAdvance(item->text())) + margins)
                << "row " << r << " column " << col << ": " << name(item->text());
        }
    }
}
