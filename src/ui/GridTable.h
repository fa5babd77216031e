#pragma once
// A read-only grid whose row 0 and column 0 are fixed: row 0 becomes the
// column headings, column 0 the row headings, cell (0,0) the corner. They stay
// in place while the body scrolls.

#include <string>
#include <vector>

#include <QTableWidget>

namespace k400::ui {

using GridRows = std::vector<std::vector<std::string>>;

class GridTable : public QTableWidget {
    Q_OBJECT
public:
    explicit GridTable(QWidget* parent = nullptr);

    // Rows of cell texts, row 0 and column 0 included; short rows leave their
    // remaining cells empty. columnCount 0 = the longest row.
    void setGrid(const GridRows& rows, int columnCount = 0);
    void clearGrid();

    // Total rows and columns, the fixed ones included.
    int gridRows() const;
    int gridColumns() const;
    // Text of a cell in grid coordinates (row 0 / column 0 are the fixed ones).
    QString cellText(int row, int column) const;

    // Width that shows every column without scrolling sideways.
    int fullWidth() const;

    // Column width in twips, as the windows specify them.
    void setColumnWidthTwips(int gridColumn, int twips);

private:
    QString corner_;
    bool empty_ = true;
};

}  // namespace k400::ui
