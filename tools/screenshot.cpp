// Saves a picture of each page of the window, with two steps in the steps panel, and of the
// preview of the case command over every file of the folder, for the README and for checking the
// layout by eye:
// screenshot [--points P] [--dark] OUTPUT_PREFIX [FOLDER]. Run it with QT_QPA_PLATFORM=offscreen or
// under Xvfb; QT_SCALE_FACTOR=2 shows the window at double scale, --points the desktop's font at
// P points, --dark the window in a dark palette.
#include "filelist/filelistmodel.h"
#include "rules/convertcase.h"
#include "ui/application.h"
#include "ui/contrast.h"
#include "ui/form1.h"
#include "ui/livecolumn.h"
#include "ui/previewdialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFont>
#include <QStringList>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    bool dark = false;
    for (;;) {
        if (arguments.size() >= 2 && arguments.front() == QLatin1String("--points")) {
            // As a desktop set to that size would give it.
            QFont font = QApplication::font();
            font.setPointSizeF(arguments.at(1).toDouble());
            QApplication::setFont(font);
            arguments = arguments.mid(2);
        } else if (!arguments.isEmpty() && arguments.front() == QLatin1String("--dark")) {
            dark = true;
            arguments = arguments.mid(1);
        } else {
            break;
        }
    }
    ui::configureApplication();
    if (dark)
        QApplication::setPalette(ui::darkFusionPalette()); // as a desktop's dark colours would
    if (arguments.isEmpty()) {
        QTextStream(stderr) << "usage: screenshot [--points P] [--dark] OUTPUT_PREFIX [FOLDER]\n";
        return 2;
    }
    const QString prefix = arguments.at(0);
    const QByteArray folder =
        arguments.size() > 1 ? QFile::encodeName(arguments.at(1)) : QFile::encodeName(QCoreApplication::applicationDirPath());
    // The program's tables are looked for, and made when missing, beside the program, not in the folder shown.
    ui::Form1::StartUp startUp;
    startUp.programFolder = QFile::encodeName(QCoreApplication::applicationDirPath());
    startUp.startFolder = folder;
    // In a build tree the tables lie beside the program one folder up.
    startUp.dataFolder = QFile::encodeName(QCoreApplication::applicationDirPath() + QStringLiteral("/.."));
    ui::Form1 window(startUp);
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
    // Some files selected, so that the column of new names shows what each page would do.
    for (int i = 0; i < window.fileList().count(); ++i)
        window.fileList().setSelected(i, i % 3 != 0);
    auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("SSTab1"));
    for (int page = 0; page < tabs->count(); ++page) {
        tabs->setCurrentIndex(page);
        QElapsedTimer waited;
        waited.start();
        do
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        while (window.liveColumn().names().hasRule() && !window.liveColumn().names().planReady() && waited.elapsed() < 3000);
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
