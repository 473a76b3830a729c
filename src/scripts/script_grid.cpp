#include "scripts/script_grid.h"

#include "scripts/run_style.h"

#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QHelpEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStaticText>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QToolTip>

#include <cmath>

using namespace script;

namespace {
constexpr int kBlankRows = 24;

QColor colourOf(std::uint32_t bgr, const QColor& buttonFace)
{
    if (bgr == kButtonFace)
        return buttonFace;
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF), static_cast<int>((bgr >> 16) & 0xFF));
}

// The item view's text margin, on either side of a cell's text.
int textMargin(const QWidget* w)
{
    return (w ? w->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, w) : 2) + 1;
}

QVariant alignment(int column)
{
    return QVariant::fromValue(column == kComment ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
}

// Paints a cell as the item view's own delegate does (its background or the selection, its
// text centred or to the left within the text margins, cut with an ellipsis), but from images
// of the cells it keeps: a run repaints the same few cells again and again, and laying out and
// drawing each text afresh was most of what a repaint cost.
class CellPainter : public QStyledItemDelegate {
public:
    explicit CellPainter(QObject* parent) : QStyledItemDelegate(parent) {}

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette::ColorGroup group = !(option.state & QStyle::State_Enabled) ? QPalette::Disabled
                                         : (option.state & QStyle::State_Active)  ? QPalette::Active
                                                                                   : QPalette::Inactive;
        useFont(option, option.widget);
        const QRect cell = option.rect;
        if (cell.isEmpty())
            return;
        QColor ground;
        if (selected) {
            ground = option.palette.color(group, QPalette::Highlight);
        } else {
            const QVariant bg = index.data(Qt::BackgroundRole);
            ground = bg.isValid() ? bg.value<QColor>() : option.palette.color(group, QPalette::Base);
        }
        const QString text = index.data(Qt::DisplayRole).toString();
        const bool bold = cellFormat(index.column()) == 1;
        const QColor pen = option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
        const qreal ratio = p->device() ? p->device()->devicePixelRatioF() : 1.0;
        // A run shows the same few cells (a value in a colour) again and again: each is drawn
        // once into an image, and then copied.
        const CellKey key{text, cell.size(), ground.rgba(), pen.rgba(), bold, index.column() == kComment, ratio};
        auto it = cells_.constFind(key);
        if (it == cells_.constEnd()) {
            QImage image((QSizeF(cell.size()) * ratio).toSize(),
                         ground.alpha() == 255 ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
            image.setDevicePixelRatio(ratio);
            image.fill(ground);
            {
                // The cell's own grid lines, right and bottom, as the table view draws them.
                QPainter ip(&image);
                const QRect whole(QPoint(0, 0), cell.size());
                ip.fillRect(QRect(whole.right(), 0, 1, whole.height()), gridColour_);
                ip.fillRect(QRect(0, whole.bottom(), whole.width() - 1, 1), gridColour_);
                if (!text.isEmpty())
                    drawText(ip, whole.adjusted(0, 0, -1, -1), text, bold, key.left, pen);
            }
            if (cellBytes_ > kMostCellBytes) {
                cells_.clear();
                cellBytes_ = 0;
            }
            cellBytes_ += image.sizeInBytes();
            it = cells_.insert(key, image);
        }
        p->drawImage(cell.topLeft(), *it);
    }

private:
    // The text within the cell's margins, centred or (Comment) to the left, cut with an
    // ellipsis when the cell is too narrow.
    void drawText(QPainter& p, const QRect& inner, const QString& text, bool bold, bool left, const QColor& pen) const
    {
        const QRect room = inner.adjusted(textMargin_, 0, -textMargin_, 0);
        const QStaticText& laid = laidOut(text, bold, room.width());
        const QSizeF size = laid.size();
        const qreal x = left ? room.left() : room.left() + (room.width() - size.width()) / 2;
        const qreal y = room.top() + (room.height() - size.height()) / 2;
        p.setFont(bold ? bold_ : plain_);
        p.setPen(pen);
        p.drawStaticText(QPointF(x, y), laid);
    }

    void useFont(const QStyleOptionViewItem& option, const QWidget* widget) const
    {
        const QFont& font = option.font;
        if (ready_ && font == plain_)
            return;
        plain_ = font;
        bold_ = font;
        bold_.setBold(true);
        textMargin_ = textMargin(widget);
        // The colour a table view draws its grid in.
        const int grid = widget ? widget->style()->styleHint(QStyle::SH_Table_GridLineColor, &option, widget) : 0;
        gridColour_ = grid ? QColor::fromRgba(static_cast<QRgb>(grid)) : option.palette.color(QPalette::Mid);
        laid_.clear();
        cells_.clear();
        cellBytes_ = 0;
        ready_ = true;
    }
    // The text as drawn in a room that wide: whole, or cut with an ellipsis.
    const QStaticText& laidOut(const QString& text, bool bold, int width) const
    {
        const QFont& font = bold ? bold_ : plain_;
        auto prepared = [&font](const QString& shown) {
            QStaticText st(shown);
            st.setTextFormat(Qt::PlainText);
            st.prepare(QTransform(), font);
            return st;
        };
        if (laid_.size() > kMostKept)
            laid_.clear();
        Key key{text, bold, 0};
        auto it = laid_.constFind(key);
        if (it == laid_.constEnd())
            it = laid_.insert(key, prepared(text)); // its size is the whole text's advance
        if (it->size().width() <= width)
            return *it;
        // Cut texts are kept by the width they were cut to.
        key.width = width;
        auto cut = laid_.constFind(key);
        if (cut == laid_.constEnd())
            cut = laid_.insert(key, prepared(QFontMetrics(font).elidedText(text, Qt::ElideRight, width)));
        return *cut;
    }

    struct Key {
        QString text;
        bool bold;
        int width; // 0: the whole text
        bool operator==(const Key& o) const { return width == o.width && bold == o.bold && text == o.text; }
    };
    friend size_t qHash(const Key& k, size_t seed) { return qHashMulti(seed, k.text, k.bold, k.width); }
    struct CellKey {
        QString text;
        QSize size;
        QRgb ground, pen;
        bool bold, left;
        qreal ratio;
        bool operator==(const CellKey& o) const
        {
            return size == o.size && ground == o.ground && pen == o.pen && bold == o.bold && left == o.left &&
                   ratio == o.ratio && text == o.text;
        }
    };
    friend size_t qHash(const CellKey& k, size_t seed)
    {
        return qHashMulti(seed, k.text, k.size.width(), k.size.height(), k.ground, k.pen, k.bold, k.left);
    }
    static constexpr int kMostKept = 8192;
    static constexpr qsizetype kMostCellBytes = 16 << 20; // beyond it the images start afresh
    mutable QHash<CellKey, QImage> cells_;
    mutable qsizetype cellBytes_ = 0;
    mutable QHash<Key, QStaticText> laid_;
    mutable QFont plain_, bold_;
    mutable int textMargin_ = 3;
    mutable QColor gridColour_;
    mutable bool ready_ = false;
};

// The grid's column headings, which can say how wide a heading's text and margins are.
class Header : public QHeaderView {
public:
    Header() : QHeaderView(Qt::Horizontal)
    {
        // As a table view's own headings, but they stay as they are while the current row
        // moves: repainting them at every move was a good part of what a run's frame cost.
        setSectionsClickable(true);
        setHighlightSections(false);
    }
    int needs(int section) const { return sectionSizeFromContents(section).width(); }
};
} // namespace

ScriptGridModel::ScriptGridModel(const Executor& ex, QObject* parent) : QAbstractTableModel(parent), ex_(ex)
{
    bold_.setBold(true);
}

int ScriptGridModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return loaded_ ? static_cast<int>(shown_.size()) : kBlankRows;
}

int ScriptGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kCellCount; }

QVariant ScriptGridModel::data(const QModelIndex& index, int role) const
{
    if (!loaded_ || !index.isValid() || index.row() >= static_cast<int>(shown_.size()))
        return {};
    const Shown& r = shown_[static_cast<size_t>(index.row())];
    const auto c = static_cast<size_t>(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return r.cell[c];
    case Qt::BackgroundRole:
        return r.colour[c] == kNoColour ? QVariant() : QVariant(colourOf(r.colour[c], buttonFace_));
    case Qt::TextAlignmentRole:
        return alignment(index.column());
    case Qt::FontRole:
        return cellFormat(index.column()) == 1 ? QVariant(bold_) : QVariant();
    default:
        return {};
    }
}

QFont ScriptGridModel::cellFont(int column, const QFont& gridFont) const
{
    return cellFormat(column) == 1 ? bold_.resolve(gridFont) : gridFont;
}

QVariant ScriptGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kCellCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return heads_[static_cast<size_t>(section)];
    if (role == Qt::TextAlignmentRole)
        return alignment(section);
    return {};
}

void ScriptGridModel::setHeaders(const std::array<QString, kCellCount>& heads)
{
    heads_ = heads;
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, kCellCount - 1);
}

void ScriptGridModel::reload()
{
    beginResetModel();
    loaded_ = true;
    shown_.resize(static_cast<size_t>(ex_.rowCount()));
    for (int r = 1; r <= ex_.rowCount(); ++r)
        shown_[static_cast<size_t>(r - 1)] = Shown{ex_.row(r).cell, ex_.row(r).colour};
    endResetModel();
}

void ScriptGridModel::rowChanged(int row)
{
    if (!loaded_ || row < 1 || row > ex_.rowCount() || row > static_cast<int>(shown_.size()))
        return;
    Shown& s = shown_[static_cast<size_t>(row - 1)];
    const ScriptRow& now = ex_.row(row);
    // Cell by cell: a run changes two or three cells of a row, and every cell repainted costs
    // a text layout.
    for (int c = 0; c < kCellCount; ++c) {
        const auto i = static_cast<size_t>(c);
        if (s.cell[i] == now.cell[i] && s.colour[i] == now.colour[i])
            continue;
        s.cell[i] = now.cell[i];
        s.colour[i] = now.colour[i];
        const QModelIndex at = index(row - 1, c);
        Q_EMIT dataChanged(at, at);
    }
}

ScriptGrid::ScriptGrid(const Executor& ex, QWidget* parent) : QTableView(parent), model_(ex)
{
    setHorizontalHeader(new Header);
    setItemDelegate(new CellPainter(this));
    setModel(&model_);
    // The headings keep a selection of their own: sharing the grid's, they would repaint at
    // every move of the current row (a row's selection covers every column).
    horizontalHeader()->setSelectionModel(new QItemSelectionModel(&model_, horizontalHeader()));
    model_.setButtonFace(palette().color(QPalette::Button));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setShowGrid(false); // the cells draw it
    setStyle(RunStyle::instance()); // and their ground: no row panel is drawn beneath them
    verticalScrollBar()->setStyle(RunStyle::instance());
    horizontalScrollBar()->setStyle(RunStyle::instance());
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(1); // the SPI family's Reg Adr is a sliver
    // The scroll bar paints all of itself: what lies behind it need not be painted again when a
    // run moves it.
    verticalScrollBar()->setAttribute(Qt::WA_OpaquePaintEvent);
    // Likewise the cells: the grid fills only the ground beyond them (paintEvent), a band of
    // rows at a time, rather than the whole area it repaints.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    // Comment takes whatever width the other columns leave.
    horizontalHeader()->setStretchLastSection(true);
}

QString ScriptGrid::cellText(int row, int column) const { return model_.index(row, column).data().toString(); }

QColor ScriptGrid::cellColour(int row, int column) const
{
    return model_.index(row, column).data(Qt::BackgroundRole).value<QColor>();
}

QString ScriptGrid::headerText(int column) const
{
    return model_.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
}

void ScriptGrid::setCurrentRow(int row)
{
    const QModelIndex at = model_.index(row, 0);
    // A row out of sight comes in at the top: a run then scrolls the grid a page at a time
    // rather than a row or two in every frame.
    const QRect where = visualRect(at);
    if (at.isValid() && (where.top() < 0 || where.bottom() > viewport()->height()))
        scrollTo(at, QAbstractItemView::PositionAtTop);
    setCurrentIndex(at);
}

int ScriptGrid::cellMargins() const
{
    // The text margin on either side, and the grid line that the cell gives up.
    return 2 * textMargin(this) + 1;
}

int ScriptGrid::unitsToPixels(int units) const
{
    const QFontMetricsF fm(font());
    qreal digit = 0;
    for (QChar c : QStringLiteral("0123456789ABCDEF"))
        digit = std::max(digit, fm.horizontalAdvance(c));
    return static_cast<int>(std::ceil(units * digit / 8.0)) + cellMargins();
}

int ScriptGrid::widthFor(int column, const QString& text) const
{
    const QFontMetricsF fm(model_.cellFont(column, font()));
    return static_cast<int>(std::ceil(fm.horizontalAdvance(text))) + cellMargins();
}

int ScriptGrid::headerWidth(int column) const
{
    return static_cast<const Header*>(horizontalHeader())->needs(column);
}

QString ScriptGrid::cutText(int row, int column) const
{
    const QString text = cellText(row, column);
    return !text.isEmpty() && widthFor(column, text) > columnWidth(column) ? text : QString();
}

void ScriptGrid::paintEvent(QPaintEvent* e)
{
    const int rows = rowCount();
    const int below = rows > 0 ? rowViewportPosition(rows - 1) + rowHeight(rows - 1) : 0;
    const int right = columnViewportPosition(kCellCount - 1) + columnWidth(kCellCount - 1);
    const QRegion ground = e->region() - QRegion(0, 0, right, below);
    if (!ground.isEmpty()) {
        QPainter p(viewport());
        for (const QRect& r : ground)
            p.fillRect(r, palette().brush(QPalette::Base));
    }
    QTableView::paintEvent(e);
}

bool ScriptGrid::viewportEvent(QEvent* e)
{
    if (e->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(e);
        const QModelIndex at = indexAt(help->pos());
        const QString whole = at.isValid() ? cutText(at.row(), at.column()) : QString();
        if (whole.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), whole, viewport(), visualRect(at));
        return true;
    }
    return QTableView::viewportEvent(e);
}

