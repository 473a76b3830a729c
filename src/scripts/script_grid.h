#pragma once
// The script grid: a table view over the executor's rows, eight columns, cell texts and
// background colours as the loader and the executor set them. Before the first load it
// shows 24 empty rows.
#include "scripts/script_run.h"

#include <QAbstractTableModel>
#include <QFont>
#include <QTableView>

#include <algorithm>
#include <array>
#include <vector>

class ScriptGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ScriptGridModel(const script::Executor& ex, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void setHeaders(const std::array<QString, script::kCellCount>& heads);
    // A load replaced the rows.
    void reload();
    // A row's cells may have changed: the grid takes them and repaints only the cells that did.
    void rowChanged(int row);
    void setButtonFace(const QColor& c) { buttonFace_ = c; }
    // The font of a cell of that column (its format value 1: bold), from the grid's font.
    QFont cellFont(int column, const QFont& gridFont) const;

private:
    // What the grid shows of a row: its cells as they were when it last took them.
    struct Shown {
        std::array<QString, script::kCellCount> cell;
        std::array<std::uint32_t, script::kCellCount> colour{};
    };
    const script::Executor& ex_;
    bool loaded_ = false;
    std::vector<Shown> shown_;
    std::array<QString, script::kCellCount> heads_;
    QColor buttonFace_;
    QFont bold_;
};

class ScriptGrid : public QTableView {
    Q_OBJECT
public:
    explicit ScriptGrid(const script::Executor& ex, QWidget* parent = nullptr);
    ScriptGridModel& grid() { return model_; }

    // The grid as a user reads it; rows and columns from 0.
    int rowCount() const { return model_.rowCount(); }
    QString cellText(int row, int column) const;
    QColor cellColour(int row, int column) const; // invalid: the grid's own background
    QString headerText(int column) const;
    int currentRow() const { return currentIndex().isValid() ? currentIndex().row() : -1; }
    void setCurrentRow(int row);

    // Widths: one unit is an eighth of the widest hex digit in the grid's font, so a column of
    // 8 x w units holds w digits; every column has the cell's margins besides.
    int cellMargins() const;
    int unitsToPixels(int units) const;
    // What a text needs in a column: its advance in that column's font, and the margins.
    int widthFor(int column, const QString& text) const;
    // What a column's heading needs.
    int headerWidth(int column) const;
    // A column of that many units, and never narrower than its heading.
    int unitsWide(int column, int units) const { return std::max(unitsToPixels(units), headerWidth(column)); }
    // The whole text of a cell its column cuts (its tool tip); empty when it fits.
    QString cutText(int row, int column) const;

protected:
    void paintEvent(QPaintEvent* e) override;
    bool viewportEvent(QEvent* e) override;

private:
    ScriptGridModel model_;
};
