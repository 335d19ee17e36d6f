#pragma once

#include <QComboBox>
#include <QStyledItemDelegate>

#include <functional>

namespace ui {

// Draws the folder list the way a folder tree reads: ancestors open and indented step by step,
// subfolders closed one step further in.
class FolderItemDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    [[nodiscard]] QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    static constexpr int kIndent = 8;
};

// Rows exactly one line of the list's font high, so that a pointer position divided by the
// font's line height gives the row under it.
class FileItemDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    [[nodiscard]] QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

// Makes box's drop-down list wide enough to show each of its items whole, however narrow the
// box itself is; run again when the items change.
void widenPopup(QComboBox* box);

// A list that reads its items again each time it opens: the volume list, so that a stick plugged
// in after start-up can be picked; the preset list, so that presets saved meanwhile are offered.
class RefreshingComboBox final : public QComboBox {
public:
    using QComboBox::QComboBox;
    // Refreshes the list before it opens, and widens it for the items it has then; false keeps it closed.
    std::function<bool()> beforePopup;

    void showPopup() override;
};

} // namespace ui
