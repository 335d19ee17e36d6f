// Saves a picture of each page of the window, with two steps in the steps panel, and of the
// preview of the case command over every file of the folder, for the README and for checking the
// layout by eye:
// screenshot OUTPUT_PREFIX [FOLDER]. Run it with QT_QPA_PLATFORM=offscreen or under Xvfb;
// QT_SCALE_FACTOR=2 shows the window at double scale.
#include "filelist/filelistmodel.h"
#include "rules/convertcase.h"
#include "ui/application.h"
#include "ui/form1.h"
#include "ui/previewdialog.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    ui::configureApplication();
    if (argc < 2) {
        QTextStream(stderr) << "usage: screenshot OUTPUT_PREFIX [FOLDER]\n";
        return 2;
    }
    const QString prefix = QString::fromLocal8Bit(argv[1]);
    const QByteArray folder = argc > 2 ? QByteArray(argv[2]) : QFile::encodeName(QCoreApplication::applicationDirPath());
    ui::Form1 window(folder);
    window.show();
    // Spaces to "_", then lower case, as steps.
    window.findChild<QLineEdit*>(QStringLiteral("txtFind"))->setText(QStringLiteral(" "));
    window.findChild<QLineEdit*>(QStringLiteral("txtReplace"))->setText(QStringLiteral("_"));
    window.findChild<QPushButton*>(QStringLiteral("cmdReplaceStep"))->click();
    window.findChild<QAbstractButton*>(QStringLiteral("Option1(1)"))->click();
    window.findChild<QPushButton*>(QStringLiteral("cmdCaseStep"))->click();
    // The pages themselves as they open.
    window.findChild<QAbstractButton*>(QStringLiteral("Option1(2)"))->click();
    window.findChild<QLineEdit*>(QStringLiteral("txtFind"))->clear();
    window.findChild<QLineEdit*>(QStringLiteral("txtReplace"))->clear();
    auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("SSTab1"));
    for (int page = 0; page < tabs->count(); ++page) {
        tabs->setCurrentIndex(page);
        QApplication::processEvents();
        const QString path = prefix + QLatin1Char('-') + QString::number(page) + QStringLiteral(".png");
        if (!window.grab().save(path)) {
            QTextStream(stderr) << "cannot write " << path << '\n';
            return 1;
        }
    }
    window.fileList().setAllSelected(true);
    const auto plan = filelist::planRename(window.fileList(), platform::systemFileSystem(), [](const QString& name) {
        return filelist::RenameDecision::rename(rules::ConvertCase(name, {}));
    });
    ui::PreviewDialog preview(plan, QStringLiteral("文件名转换"), &window);
    preview.show();
    QApplication::processEvents();
    if (!preview.grab().save(prefix + QStringLiteral("-preview.png")))
        return 1;
    return 0;
}
