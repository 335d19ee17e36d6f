#pragma once

#include "rules/pinyin.h"
#include "rules/rule.h"
#include "ui/rulepage.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace ui {

// Page "拼音": Han characters in names written in pinyin, for devices and servers that take only
// plain letters, with the spelling, tones, separator and letter case to use.
class PinyinPage final : public RulePage {
    Q_OBJECT

public:
    explicit PinyinPage(PageHost& host, QWidget* parent = nullptr);

    [[nodiscard]] rules::Rule rule(int command) const override;
    [[nodiscard]] QString refusal(int command, Use use, qint64 files) const override;
    void refreshExample() override;

    [[nodiscard]] rules::PinyinRule pinyinRule() const;

private:
    QGroupBox* fraPinyin = nullptr;
    QComboBox* cboPinyinSpelling = nullptr;  // 全拼, 首字母
    QComboBox* cboPinyinTones = nullptr;     // as rules::PinyinTones
    QComboBox* cboPinyinSeparator = nullptr; // as rules::PinyinSeparator
    QComboBox* cboPinyinCase = nullptr;      // 小写, 首字母大写
    QGroupBox* fraPinyinExample = nullptr;
    QLabel* lblPinyinFrom = nullptr;
    QLabel* lblPinyinTo = nullptr;
    QPushButton* cmdPinyin = nullptr;
};

} // namespace ui
