#include "ui/aboutpage.h"

#include "ui/controlhelpers.h"

#include <QEvent>
#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace ui {

AboutPage::AboutPage(QWidget* parent) : QWidget(parent)
{
    Label5 = makeControl<QLabel>(this, "Label5", QStringLiteral("Quendra文件批量改名工具"));
    // "宋体" where it is installed, otherwise another CJK serif face.
    QFont title(QStringList{QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("Noto Serif CJK SC"),
                            QStringLiteral("AR PL UMing CN"), QStringLiteral("serif")},
                16);
    // 16 points beside a 9-point window font: as much larger beside whatever font the desktop has.
    title.setPointSizeF(font().pointSizeF() * 16.0 / 9.0);
    title.setBold(true);
    Label5->setFont(title);
    Label5->setAlignment(Qt::AlignCenter);

    Label6 = makeControl<QLabel>(this, "Label6", QStringLiteral("Quendra 开发组\nhttps://quendra.example.org/"));
    Label6->setAlignment(Qt::AlignCenter);
    Label6->setCursor(Qt::PointingHandCursor);
    Label6->setToolTip(QStringLiteral("打开主页"));
    // Reachable from the keyboard like any link, and drawn so when it has the focus.
    Label6->setFocusPolicy(Qt::StrongFocus);
    Label6->setStyleSheet(QStringLiteral("QLabel:focus { border: 1px dotted palette(text); }"));
    Label6->setAccessibleName(Label6->text().replace(QLatin1Char('\n'), QLatin1Char(' ')));
    Label6->setAccessibleDescription(QStringLiteral("打开主页"));
    Label6->installEventFilter(this);

    cmdExit = makeControl<QPushButton>(this, "cmdExit", QStringLiteral("退出"));
    connect(cmdExit, &QPushButton::clicked, this, &AboutPage::exitAsked);

    auto* page = new QVBoxLayout(this);
    page->addStretch(1);
    page->addWidget(Label5);
    page->addSpacing(fontMetrics().height() * 2);
    page->addWidget(Label6);
    page->addStretch(1);
    page->addWidget(cmdExit, 0, Qt::AlignHCenter);
    page->addStretch(1);
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
