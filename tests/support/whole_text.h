#pragma once
// What a user would see cut off in a window, as test failures that name the text: frames
// smaller than their contents need, labels, buttons, check boxes and options narrower than
// their text, wrapped texts without room for all their lines, table cells narrower or lower
// than their text. Only what is shown counts; the window is laid out first.
#include <QString>

#include <set>

class QTableWidget;
class QWidget;

// Lays out what was shown, hidden or changed in top since the last event loop turn.
void layOutPending(QWidget& top);

// Frames, labels and buttons inside top, laid out first.
void expectTextsWhole(QWidget& top);

// Cells of a table whose rows are as tall as their word-wrapped text needs.
void expectWrappedCellsWhole(const QTableWidget& t);

// Cells of a table on one line: each column at least as wide as the text of its widest cell,
// the item margins added; the columns in `except` aside.
void expectCellsFitTheirColumns(const QTableWidget& t, const std::set<int>& except = {});
