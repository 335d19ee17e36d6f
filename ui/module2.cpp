#include "ui/module2.h"

#include <QDesktopServices>

namespace Module2 {

QUrl homePage()
{
    return QUrl(QStringLiteral("https://quendra.example.org/?gai"));
}

void OpenHomePage()
{
    QDesktopServices::openUrl(homePage());
}

} // namespace Module2
