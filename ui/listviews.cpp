#include "ui/listviews.h"

#include "filelist/folderlistmodel.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>
#include <QStyle>

#include <algorithm>

namespace ui {

void FolderItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem indented(option);
    indented.rect.adjust(kIndent * index.data(filelist::FolderListModel::DepthRole).toInt(), 0, 0, 0);
    QStyledItemDelegate::paint(painter, indented, index);
}

QSize FolderItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.rwidth() += kIndent * index.data(filelist::FolderListModel::DepthRole).toInt();
    return size;
}

void FolderItemDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    const bool open = index.data(filelist::FolderListModel::IsOpenRole).toBool();
    option->icon = QApplication::style()->standardIcon(open ? QStyle::SP_DirOpenIcon : QStyle::SP_DirIcon);
    option->features |= QStyleOptionViewItem::HasDecoration;
}

QSize FileItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(QFontMetrics(option.font).height());
    return size;
}

void widenPopup(QComboBox* box)
{
    const QFontMetrics metrics = box->view()->fontMetrics();
    int widest = 0;
    for (int i = 0; i < box->count(); ++i)
        widest = std::max(widest, metrics.horizontalAdvance(box->itemText(i)));
    // An item's margins and the list's frame and scroll bar, in the list's own style.
    QStyle* style = box->view()->style();
    const int room = 2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, box->view()) + 1)
        + 2 * box->view()->frameWidth() + style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, box->view())
        + metrics.averageCharWidth() * 2;
    box->view()->setMinimumWidth(widest + room);
}

void RefreshingComboBox::showPopup()
{
    if (beforePopup && !beforePopup())
        return;
    widenPopup(this);
    QComboBox::showPopup();
}

} // namespace ui
