#pragma once

#include "rules/rule.h"

#include <QString>

#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QWidget;

namespace ui {

// "起始：", "顺序：" and "同名文件一起改名": where a page's numbers start, the order the files
// get them in, and whether the folder's files of a file's name go with it. The controls are
// made on parent and named with prefix ("txtStart", "cboOrder", "chkPairs" after it); the
// page lays them out.
struct NumberingControls {
    QLabel* startLabel = nullptr;
    QLineEdit* start = nullptr;
    QLabel* orderLabel = nullptr;
    QComboBox* order = nullptr;
    QCheckBox* pairs = nullptr;

    static NumberingControls make(QWidget* parent, const QString& prefix = {});

    // The first number: none while the box is empty (numbering from the step, as always).
    [[nodiscard]] std::optional<int> startValue() const;
    // Whether the box holds a number in range, or nothing.
    [[nodiscard]] bool startValid() const;
    [[nodiscard]] rules::NumberOrder orderValue() const;
    [[nodiscard]] bool pairsValue() const;

    // Why numbering files files with step from the start can't be done, in the page's words
    // ending in notDone; empty when it can (files < 0: the count is not known yet).
    [[nodiscard]] QString refusal(qint64 files, int step, const QString& notDone) const;
};

} // namespace ui
