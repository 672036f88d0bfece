#include "ListBox.h"

#include <QEvent>
#include <QHeaderView>
#include <QStringList>
#include <QTreeWidget>

#include <algorithm>
#include <vector>

#include "Window.h"
#include "internal/QtBridge.h"
#include "internal/WindowControls.h"

namespace fw {

// The platform list; its column widths follow its width.
class ListWidget : public QTreeWidget {
 public:
  ListWidget(ListBox& l, QWidget* parent) : QTreeWidget(parent), l_(l) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSortingEnabled(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    header()->setSectionsMovable(false);
    header()->setSectionResizeMode(QHeaderView::Fixed);
    header()->setStretchLastSection(false);
    header()->setSortIndicatorShown(false);
  }

 protected:
  bool viewportEvent(QEvent* e) override {
    if (e->type() == QEvent::Resize) l_.ApplyWidths();
    return QTreeWidget::viewportEvent(e);
  }

 private:
  ListBox& l_;
};

namespace {

ListWidget* ListOf(const Control::Impl& impl) { return static_cast<ListWidget*>(impl.widget.data()); }

QStringList Headings(const QTreeWidget& list) {
  QStringList out;
  for (int c = 0; c < list.columnCount(); ++c) out << list.headerItem()->text(c);
  return out;
}

}  // namespace

ListBox::ListBox(Window* owner, std::string_view name, int left, int top, int width, int height)
    : Control(owner, name, left, top, width, height) {
  auto* list = new ListWidget(*this, ContentWidget(*owner));
  impl_->widget = list;
  list->setColumnCount(1);
  list->setHeaderLabels(QStringList{QString()});
  list->setHeaderHidden(true);
  list->setGeometry(left, top, width, height);
  list->show();
}

ListBox::~ListBox() = default;

int ListBox::ColumnCount() const { return ListOf(*impl_)->columnCount(); }

void ListBox::SetColumnCount(int n) {
  ListWidget* list = ListOf(*impl_);
  QStringList heads = Headings(*list);
  n = std::max(n, 1);
  while (heads.size() < n) heads << QString();
  heads = heads.mid(0, n);
  list->setColumnCount(n);
  list->setHeaderLabels(heads);
  ApplyWidths();
}

void ListBox::SetColumnWidths(std::string_view widths) {
  widths_ = widths;
  ApplyWidths();
}

void ListBox::ApplyWidths() {
  ListWidget* list = ListOf(*impl_);
  int total = list->viewport()->width();
  int n = list->columnCount();
  QStringList given = ToQ(widths_).split(',');
  std::vector<int> width(static_cast<std::size_t>(n), -1);
  int used = 0, open = 0;
  for (int c = 0; c < n; ++c) {
    QString w = c < given.size() ? given[c].trimmed() : QString();
    bool ok = false;
    int px = -1;
    if (w.endsWith('%')) {
      double pct = w.chopped(1).trimmed().toDouble(&ok);
      if (ok) px = static_cast<int>(total * pct / 100.0);
    } else {
      px = w.toInt(&ok);
    }
    if (ok && px >= 0) {
      width[static_cast<std::size_t>(c)] = px;
      used += px;
    } else {
      ++open;
    }
  }
  int share = open > 0 ? std::max(total - used, 0) / open : 0;
  for (int c = 0; c < n; ++c) {
    int w = width[static_cast<std::size_t>(c)];
    list->header()->resizeSection(c, w >= 0 ? w : share);
  }
}

void ListBox::SetHasHeading(bool h) { ListOf(*impl_)->setHeaderHidden(!h); }

std::string ListBox::Heading(int column) const {
  ListWidget* list = ListOf(*impl_);
  if (column < 0 || column >= list->columnCount()) return {};
  return list->headerItem()->text(column).toStdString();
}

void ListBox::SetHeading(int column, std::string_view text) {
  ListWidget* list = ListOf(*impl_);
  if (column < 0 || column >= list->columnCount()) return;
  list->headerItem()->setText(column, ToQ(text));
}

void ListBox::SetTextSize(int s) {
  ListWidget* list = ListOf(*impl_);
  QFont font = list->font();
  if (s > 0) font.setPixelSize(s);
  list->setFont(font);
}

void ListBox::AddRow(std::string_view firstCell) {
  ListWidget* list = ListOf(*impl_);
  auto* item = new QTreeWidgetItem(list);
  item->setText(0, ToQ(firstCell));
  lastIndex_ = list->topLevelItemCount() - 1;
}

void ListBox::DeleteAllRows() {
  ListOf(*impl_)->clear();
  lastIndex_ = -1;
}

int ListBox::ListCount() const { return ListOf(*impl_)->topLevelItemCount(); }

std::string ListBox::Cell(int row, int column) const {
  ListWidget* list = ListOf(*impl_);
  QTreeWidgetItem* item = list->topLevelItem(row);
  if (!item || column < 0 || column >= list->columnCount()) return {};
  return item->text(column).toStdString();
}

bool ListBox::SetCell(int row, int column, std::string_view text) {
  ListWidget* list = ListOf(*impl_);
  QTreeWidgetItem* item = list->topLevelItem(row);
  if (!item || column < 0 || column >= list->columnCount()) return false;
  item->setText(column, ToQ(text));
  return true;
}

int ListBox::ListIndex() const {
  ListWidget* list = ListOf(*impl_);
  QList<QTreeWidgetItem*> picked = list->selectedItems();
  return picked.isEmpty() ? -1 : list->indexOfTopLevelItem(picked.front());
}

void ListBox::SetListIndex(int row) {
  ListWidget* list = ListOf(*impl_);
  list->clearSelection();
  if (QTreeWidgetItem* item = list->topLevelItem(row)) {
    list->setCurrentItem(item);
    item->setSelected(true);
    list->scrollToItem(item);
  }
}

}  // namespace fw
