#include "ui/application.h"

#include <QApplication>
#include <QFont>
#include <QStringList>
#include <QStyleFactory>

namespace ui {

void configureApplication()
{
    QApplication::setApplicationName(QStringLiteral("Quendra文件批量改名工具"));
    if (auto* style = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(style);
    // The window is laid out for a 9-point CJK sans-serif font; families are tried in order.
    QFont font(QStringList{QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei"),
                           QStringLiteral("Microsoft YaHei"), QStringLiteral("sans-serif")},
               9);
    QApplication::setFont(font);
}

} // namespace ui
