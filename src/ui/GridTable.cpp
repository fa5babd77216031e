#include "ui/GridTable.h"

#include <QAbstractButton>
#include <QEvent>
#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionHeader>

#include "ui/MessageBoxes.h"
#include "ui/WindowGeometry.h"

namespace k400::ui {

namespace {
// The table's corner button has no text of its own; this paints cell (0,0) on it.
class CornerPainter : public QObject {
public:
    CornerPainter(QAbstractButton* button, const QString* text) : QObject(button), text_(text) {}

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() != QEvent::Paint)
            return false;
        auto* button = static_cast<QAbstractButton*>(object);
        QPainter painter(button);
        QStyleOptionHeader option;
        option.initFrom(button);
        // The button itself is disabled (no select-all); its text is not.
        option.state |= QStyle::State_Enabled;
        option.palette.setCurrentColorGroup(QPalette::Active);
        option.rect = button->rect();
        option.position = QStyleOptionHeader::OnlyOneSection;
        option.text = *text_;
        option.textAlignment = Qt::AlignCenter;
        button->style()->drawControl(QStyle::CE_Header, &option, &painter, button);
        return true;
    }

private:
    const QString* text_;
};
}  // namespace

GridTable::GridTable(QWidget* parent) : QTableWidget(parent)
{
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setCornerButtonEnabled(false);
    horizontalHeader()->setSectionsClickable(false);
    verticalHeader()->setSectionsClickable(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    if (auto* corner = findChild<QAbstractButton*>())
        corner->installEventFilter(new CornerPainter(corner, &corner_));
}

void GridTable::clearGrid()
{
    clear();
    setRowCount(0);
    setColumnCount(0);
    corner_.clear();
    empty_ = true;
}

void GridTable::setGrid(const GridRows& rows, int columnCount)
{
    clearGrid();
    if (rows.empty())
        return;
    int columns = columnCount;
    if (columns <= 0)
        for (const auto& row : rows)
            columns = std::max(columns, static_cast<int>(row.size()));
    if (columns <= 0)
        return;
    empty_ = false;
    setRowCount(static_cast<int>(rows.size()) - 1);
    setColumnCount(columns - 1);
    const auto text = [&](std::size_t r, int c) {
        return c < static_cast<int>(rows[r].size()) ? FromCore(rows[r][static_cast<std::size_t>(c)]) : QString();
    };
    corner_ = text(0, 0);
    QStringList headings;
    for (int c = 1; c < columns; ++c)
        headings << text(0, c);
    setHorizontalHeaderLabels(headings);
    QStringList rowHeadings;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        rowHeadings << text(r, 0);
        for (int c = 1; c < columns; ++c)
            setItem(static_cast<int>(r) - 1, c - 1, new QTableWidgetItem(text(r, c)));
    }
    setVerticalHeaderLabels(rowHeadings);
    // The corner is as wide as the row headings, at least as wide as its own text.
    verticalHeader()->setMinimumWidth(fontMetrics().horizontalAdvance(corner_) + 16);
    resizeColumnsToContents();
    if (auto* corner = findChild<QAbstractButton*>())
        corner->update();
}

int GridTable::gridRows() const
{
    return empty_ ? 0 : rowCount() + 1;
}

int GridTable::gridColumns() const
{
    return empty_ ? 0 : columnCount() + 1;
}

QString GridTable::cellText(int row, int column) const
{
    if (empty_ || row < 0 || column < 0 || row > rowCount() || column > columnCount())
        return {};
    if (row == 0 && column == 0)
        return corner_;
    if (row == 0) {
        const QTableWidgetItem* heading = horizontalHeaderItem(column - 1);
        return heading != nullptr ? heading->text() : QString();
    }
    if (column == 0) {
        const QTableWidgetItem* heading = verticalHeaderItem(row - 1);
        return heading != nullptr ? heading->text() : QString();
    }
    const QTableWidgetItem* cell = item(row - 1, column - 1);
    return cell != nullptr ? cell->text() : QString();
}

int GridTable::fullWidth() const
{
    const int rowHeadings = std::max(verticalHeader()->sizeHint().width(), verticalHeader()->minimumWidth());
    return rowHeadings + horizontalHeader()->length() + 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
}

void GridTable::setColumnWidthTwips(int gridColumn, int twips)
{
    const int pixels = TwipsToPixels(twips, this);
    if (gridColumn == 0)
        verticalHeader()->setMinimumWidth(pixels);
    else if (gridColumn - 1 < columnCount())
        setColumnWidth(gridColumn - 1, std::max(pixels, columnWidth(gridColumn - 1)));
}

}  // namespace k400::ui
