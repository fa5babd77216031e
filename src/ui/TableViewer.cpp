#include "ui/TableViewer.h"

#include <QGroupBox>
#include <QTabBar>
#include <QVBoxLayout>

#include "ui/WindowGeometry.h"

namespace k400::ui {

TableViewer::TableViewer(const TableViewerLayout& layout, QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(layout.objectName);
    setWindowTitle(layout.caption);
    setAttribute(Qt::WA_DeleteOnClose);

    QWidget* holder = this;
    auto* outer = new QVBoxLayout(this);
    if (!layout.frameName.isEmpty()) {
        auto* frame = new QGroupBox(layout.frameCaption, this);
        frame->setObjectName(layout.frameName);
        outer->addWidget(frame);
        holder = frame;
    }
    auto* inner = holder == this ? outer : new QVBoxLayout(holder);
    if (!layout.tabBarName.isEmpty()) {
        tabBar_ = new QTabBar(holder);
        tabBar_->setObjectName(layout.tabBarName);
        tabBar_->setExpanding(false);
        tabBar_->setDrawBase(true);
        inner->addWidget(tabBar_);
        connect(tabBar_, &QTabBar::currentChanged, this, [this](int index) { fill(index); });
    }
    grid_ = new GridTable(holder);
    grid_->setObjectName(layout.gridName);
    inner->addWidget(grid_);
    if (holder != this) {
        inner->setSpacing(0);
    }
    SizeAndCentre(this, layout.widthTwips, layout.heightTwips);
}

void TableViewer::load(const QStringList& tabs, Filler filler)
{
    filler_ = std::move(filler);
    if (tabBar_ != nullptr) {
        const QSignalBlocker block(tabBar_);
        while (tabBar_->count() > 0)
            tabBar_->removeTab(0);
        for (const QString& tab : tabs)
            tabBar_->addTab(tab);
        if (tabBar_->count() == 0) {
            grid_->clearGrid();
            return;
        }
        tabBar_->setCurrentIndex(0);
    }
    fill(0);
}

void TableViewer::refresh() { fill(currentTab()); }

int TableViewer::currentTab() const { return tabBar_ != nullptr ? tabBar_->currentIndex() : 0; }

void TableViewer::selectTab(int index)
{
    if (tabBar_ != nullptr)
        tabBar_->setCurrentIndex(index);
}

void TableViewer::fill(int tab)
{
    if (!filler_ || tab < 0)
        return;
    GridRows rows;
    std::vector<int> widths;
    filler_(tab, rows, widths);
    grid_->setGrid(rows);
    for (std::size_t c = 0; c < widths.size(); ++c)
        if (widths[c] > 0)
            grid_->setColumnWidthTwips(static_cast<int>(c), widths[c]);
}

}  // namespace k400::ui
