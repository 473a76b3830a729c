#include "scripts/script_grid.h"

#include <QFont>
#include <QHeaderView>

using namespace script;

namespace {
constexpr int kBlankRows = 24;

QColor colourOf(std::uint32_t bgr, const QColor& buttonFace)
{
    if (bgr == kButtonFace)
        return buttonFace;
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF), static_cast<int>((bgr >> 16) & 0xFF));
}

QVariant alignment(int column)
{
    return QVariant::fromValue(column == kComment ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
}
} // namespace

int ScriptGridModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return loaded_ ? ex_.rowCount() : kBlankRows;
}

int ScriptGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kCellCount; }

QVariant ScriptGridModel::data(const QModelIndex& index, int role) const
{
    if (!loaded_ || !index.isValid() || index.row() >= ex_.rowCount())
        return {};
    const ScriptRow& r = ex_.row(index.row() + 1);
    const auto c = static_cast<size_t>(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return r.cell[c];
    case Qt::BackgroundRole:
        return r.colour[c] == kNoColour ? QVariant() : QVariant(colourOf(r.colour[c], buttonFace_));
    case Qt::TextAlignmentRole:
        return alignment(index.column());
    case Qt::FontRole:
        if (cellFormat(index.column()) == 1) {
            QFont f;
            f.setBold(true);
            return f;
        }
        return {};
    default:
        return {};
    }
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
    endResetModel();
}

void ScriptGridModel::rowChanged(int row)
{
    if (loaded_ && row >= 1 && row <= ex_.rowCount())
        Q_EMIT dataChanged(index(row - 1, 0), index(row - 1, kCellCount - 1));
}

ScriptGrid::ScriptGrid(const Executor& ex, QWidget* parent) : QTableView(parent), model_(ex)
{
    setModel(&model_);
    model_.setButtonFace(palette().color(QPalette::Button));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(1); // the SPI family's Reg Adr is a sliver
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

void ScriptGrid::setCurrentRow(int row) { setCurrentIndex(model_.index(row, 0)); }
