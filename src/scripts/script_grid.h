#pragma once
// The script grid: a table view over the executor's rows, eight columns, cell texts and
// background colours as the loader and the executor set them. Before the first load it
// shows 24 empty rows.
#include "scripts/script_run.h"

#include <QAbstractTableModel>
#include <QTableView>

#include <array>

class ScriptGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ScriptGridModel(const script::Executor& ex, QObject* parent = nullptr) : QAbstractTableModel(parent), ex_(ex) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void setHeaders(const std::array<QString, script::kCellCount>& heads);
    // A load replaced the rows; a row's cells changed.
    void reload();
    void rowChanged(int row);
    void setButtonFace(const QColor& c) { buttonFace_ = c; }

private:
    const script::Executor& ex_;
    bool loaded_ = false;
    std::array<QString, script::kCellCount> heads_;
    QColor buttonFace_;
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

private:
    ScriptGridModel model_;
};
