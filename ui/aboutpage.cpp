#include "ui/aboutpage.h"

#include "ui/controlhelpers.h"

#include <QEvent>
#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace ui {

AboutPage::AboutPage(QWidget* parent) : QWidget(parent)
{
    Label5 = makeControl<QLabel>(this, "Label5", QStringLiteral("Quendra文件批量改名工具"));
    // "宋体" where it is installed, otherwise another CJK serif face.
    QFont title(QStringList{QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("Noto Serif CJK SC"),
                            QStringLiteral("AR PL UMing CN"), QStringLiteral("serif")},
                16);
    title.setBold(true);
    Label5->setFont(title);
    Label5->setAlignment(Qt::AlignCenter);
    Label5->setGeometry(4, 36, 313, 48);

    Label6 = makeControl<QLabel>(this, "Label6", QStringLiteral("Quendra 开发组\nhttps://quendra.example.org/"));
    Label6->setAlignment(Qt::AlignCenter);
    Label6->setCursor(Qt::PointingHandCursor);
    Label6->setToolTip(QStringLiteral("打开主页"));
    // Reachable from the keyboard like any link, and drawn so when it has the focus.
    Label6->setFocusPolicy(Qt::StrongFocus);
    Label6->setStyleSheet(QStringLiteral("QLabel:focus { border: 1px dotted palette(text); }"));
    Label6->setGeometry(4, 110, 313, 44);
    Label6->setAccessibleName(Label6->text().replace(QLatin1Char('\n'), QLatin1Char(' ')));
    Label6->setAccessibleDescription(QStringLiteral("打开主页"));
    Label6->installEventFilter(this);

    cmdExit = makeControl<QPushButton>(this, "cmdExit", QStringLiteral("退出"));
    cmdExit->setGeometry(120, 196, 80, 28);
    connect(cmdExit, &QPushButton::clicked, this, &AboutPage::exitAsked);
}

bool AboutPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Label6 && event->type() == QEvent::MouseButtonRelease) {
        Q_EMIT homePageAsked();
        return true;
    }
    if (watched == Label6 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
            Q_EMIT homePageAsked();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace ui
