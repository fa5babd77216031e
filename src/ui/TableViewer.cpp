#include "ui/TableViewer.h"

#include <QGroupBox>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
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

TableViewer::~TableViewer()
{
    if (shown_)
        QSettings().setValue(QStringLiteral("viewers/") + objectName(), saveGeometry());
}

void TableViewer::showEvent(QShowEvent* event)
{
    // The grid's share of the window is known once the layout has run, just before the window appears.
    if (!shown_ && placeBeside_)
        place(owner_);
    shown_ = true;
    QWidget::showEvent(event);
}

void TableViewer::placeBeside(const QWidget* owner)
{
    if (restoreGeometry(QSettings().value(QStringLiteral("viewers/") + objectName()).toByteArray()))
        return;
    owner_ = owner;
    placeBeside_ = true;
}

void TableViewer::place(const QWidget* owner)
{
    const QScreen* screen = owner != nullptr && owner->screen() != nullptr ? owner->screen() : this->screen();
    if (screen == nullptr)
        return;
    const QRect area = screen->availableGeometry();
    // Every column and the window around the grid, within the screen. The
    // window manager's frame is not known before the window appears: the
    // owner's stands in for it.
    QMargins frame(2, 2, 2, 2);
    if (owner != nullptr) {
        const QRect inner = owner->geometry(), outer = owner->frameGeometry();
        frame = QMargins(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                         outer.bottom() - inner.bottom());
    }
    const int chrome = width() - grid_->width();
    const QSize wanted(
        std::min(std::max(width(), grid_->fullWidth() + chrome), area.width() - frame.left() - frame.right()),
        std::min(height(), area.height() - frame.top() - frame.bottom()));
    resize(wanted);
    const QSize outer = wanted.grownBy(frame);
    if (owner == nullptr) {
        CentreOnScreen(this);
        return;
    }
    const QRect o = owner->frameGeometry();
    const auto clampX = [&](int x) { return std::clamp(x, area.left(), area.right() + 1 - outer.width()); };
    const auto clampY = [&](int y) { return std::clamp(y, area.top(), area.bottom() + 1 - outer.height()); };
    QPoint at;
    if (o.right() + 1 + outer.width() <= area.right() + 1)
        at = {o.right() + 1, clampY(o.top())};
    else if (o.left() - outer.width() >= area.left())
        at = {o.left() - outer.width(), clampY(o.top())};
    else if (o.bottom() + 1 + outer.height() <= area.bottom() + 1)
        at = {clampX(o.left()), o.bottom() + 1};
    else if (o.top() - outer.height() >= area.top())
        at = {clampX(o.left()), o.top() - outer.height()};
    else  // no room beside: keep at least the owner's lower edge, where its buttons are, free
        at = {clampX(o.left()), area.top()};
    // The frame's corner goes there: the window itself sits inside the frame.
    setGeometry(QRect(at + QPoint(frame.left(), frame.top()), wanted));
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

void TableViewer::refresh()
{
    fill(currentTab());
}

int TableViewer::currentTab() const
{
    return tabBar_ != nullptr ? tabBar_->currentIndex() : 0;
}

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
