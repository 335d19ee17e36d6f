#include "ui/listviews.h"

#include "filelist/folderlistmodel.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

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

void RefreshingComboBox::showPopup()
{
    if (beforePopup && !beforePopup())
        return;
    QComboBox::showPopup();
}

} // namespace ui
