#pragma once
// The read-only table windows: a frame holding an optional tab bar and a grid.
// The cell texts come from the core; a tab change rebuilds the whole grid.

#include <functional>

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include "ui/GridTable.h"

class QGroupBox;
class QTabBar;

namespace k400::ui {

struct TableViewerLayout {
    QString objectName;  // the window's name
    QString caption;     // window title
    QString frameName;   // frame object name; empty = no frame
    QString frameCaption;
    QString gridName;
    QString tabBarName;  // empty = no tab bar
    int widthTwips = 0;
    int heightTwips = 0;
};

class TableViewer : public QWidget {
    Q_OBJECT
public:
    // Rows (and column widths in twips, may be empty) for the selected tab.
    using Filler = std::function<void(int tab, GridRows& rows, std::vector<int>& widthsTwips)>;

    TableViewer(const TableViewerLayout& layout, QWidget* parent = nullptr);
    // Keeps size and place for the next time (also for the next run).
    ~TableViewer() override;

    // Sets the tabs (none for a plain grid), selects the first and fills the grid.
    void load(const QStringList& tabs, Filler filler);
    // Rebuilds the grid for the selected tab.
    void refresh();

    GridTable* grid() const { return grid_; }
    QTabBar* tabBar() const { return tabBar_; }
    int currentTab() const;
    void selectTab(int index);

    // Where the user last left this viewer; otherwise sized to show every
    // column (as far as the screen allows) and put beside `owner`, so that
    // it does not hide the owner's buttons.
    void placeBeside(const QWidget* owner);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fill(int tab);
    void place(const QWidget* owner);

    GridTable* grid_ = nullptr;
    QTabBar* tabBar_ = nullptr;
    Filler filler_;
    bool shown_ = false;
    bool placeBeside_ = false;
    QPointer<const QWidget> owner_;
};

}  // namespace k400::ui
