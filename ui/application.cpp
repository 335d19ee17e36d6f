#include "ui/application.h"

#include "filelist/startup.h"
#include "platform/memory.h"
#include "ui/form1.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QStringList>
#include <QStyleFactory>
#include <QTranslator>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <future>
#include <optional>
#include <system_error>
#include <vector>

namespace ui {

namespace {

const char* const kUsage =
    "用法：quendra-rename [文件夹 | 文件...]\n"
    "Usage: quendra-rename [FOLDER | FILE...]\n"
    "\n"
    "批量改名工具。打开文件夹；给出文件时，打开它们所在的文件夹并选中这些文件。\n"
    "不给参数时，安装后的程序打开主文件夹，否则打开程序所在的文件夹。\n"
    "Renames many files at once. Opens FOLDER, or the folder of the FILEs with them selected.\n"
    "Without arguments an installed program opens the home folder, a portable one its own folder.\n"
    "给出的路径所在的磁盘 5 秒内没有响应时（断开的网络磁盘、卡住的 FUSE 磁盘），说明原因并以状态 1 退出。\n"
    "When the disk of a path given does not answer for 5 seconds (a hung network or FUSE mount),\n"
    "says so and exits with status 1.\n"
    "\n"
    "  -h, --help      显示此帮助 / show this help\n"
    "  -v, --version   显示版本 / show the version\n";

void printLine(std::FILE* stream, const QString& text)
{
    std::fprintf(stream, "%s\n", text.toLocal8Bit().constData());
}

// Whether a window can be shown at all; without a display Qt would abort.
bool haveDisplay()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

// Qt's own words (确定, 取消 ...) in Chinese, where Debian's translations are installed.
void loadQtTranslation(QApplication& app)
{
    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
}

} // namespace

void configureApplication()
{
    platform::returnLargeBlocksAtOnce();
    QApplication::setApplicationName(QStringLiteral("Quendra文件批量改名工具"));
    QApplication::setApplicationVersion(QStringLiteral(QUENDRA_VERSION));
    QApplication::setDesktopFileName(QStringLiteral(QUENDRA_APP_ID));
    if (auto* style = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(style);
    // The desktop's font at the desktop's size; where its family has no Chinese of its own (the
    // characters would come from whatever face the system falls back on, line by line), a CJK
    // sans-serif face goes before it (families are tried in order), at the same size.
    QFont font = QApplication::font();
    const bool showsChinese =
        QFontDatabase::writingSystems(QFontInfo(font).family()).contains(QFontDatabase::SimplifiedChinese);
    if (!showsChinese) {
        QStringList families{QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei"),
                             QStringLiteral("Microsoft YaHei")};
        families += font.families().isEmpty() ? QStringList{font.family()} : font.families();
        font.setFamilies(families);
        QApplication::setFont(font);
    }
}

namespace {

// What the command line asks before a window: the exit status when it is all that is asked for
// (help, the version, a refused line, a disk that did not answer) or no window can open.
std::optional<int> answeredWithoutWindow(const filelist::CommandLine& line, const char* moreUsage)
{
    switch (line.action) {
    case filelist::CommandLine::Action::Help:
        std::fputs(kUsage, stdout);
        if (moreUsage)
            std::fputs(moreUsage, stdout);
        return 0;
    case filelist::CommandLine::Action::Version: std::printf("quendra-rename %s\n", QUENDRA_VERSION); return 0;
    case filelist::CommandLine::Action::Refuse: printLine(stderr, QStringLiteral("quendra-rename: ") + line.problem); return 2;
    case filelist::CommandLine::Action::Unanswered:
        printLine(stderr, QStringLiteral("quendra-rename: ") + line.problem);
        return 1;
    case filelist::CommandLine::Action::Open: break;
    }
    if (!haveDisplay()) {
        printLine(stderr, QStringLiteral("quendra-rename: 没有图形显示（DISPLAY 和 WAYLAND_DISPLAY 都没有设置），无法打开窗口。"));
        return 1;
    }
    if (!line.note.isEmpty())
        printLine(stderr, QStringLiteral("quendra-rename: ") + line.note);
    return std::nullopt;
}

} // namespace

int runApplication(int argc, char* argv[], const char* moreUsage)
{
    const std::span<char* const> given(argv + std::min(argc, 1), argv + argc);
    const QByteArray workingFolder = QFile::encodeName(QDir::currentPath());
    // The arguments are read in place, as the process was given them, and live as long as it
    // does: the thirty thousand names of a shell's pattern are neither copied nor allocated.
    const auto parse = [given, &workingFolder] {
        std::vector<QByteArray> arguments;
        arguments.reserve(given.size());
        for (const char* argument : given)
            arguments.push_back(QByteArray::fromRawData(argument, qsizetype(std::strlen(argument))));
        return filelist::parseCommandLinePatiently(arguments, workingFolder, platform::systemFileSystem(),
                                                   platform::kDiskPatience);
    };
    // The thousands of names a shell's pattern gives are checked on a thread of their own while
    // the window is made ready in their folder; it shows only once they are found, and not at
    // all for a line that is refused.
    QByteArray namesFolder = haveDisplay() ? filelist::folderOfManyNames(given, workingFolder) : QByteArray();
    std::future<filelist::CommandLine> checking;
    if (!namesFolder.isEmpty()) {
        try {
            checking = std::async(std::launch::async, parse);
        } catch (const std::system_error&) {
            namesFolder.clear(); // no thread to be had: checked first, as any other line
        }
    }
    filelist::CommandLine line;
    if (namesFolder.isEmpty()) {
        line = parse();
        if (const auto status = answeredWithoutWindow(line, moreUsage))
            return *status;
    }

    // Qt reads its own options from the arguments, and its window system turns every argument
    // into text when the window first shows; the thousands of plain names of a shell's pattern
    // are none of its business, and cost it milliseconds.
    int qtArgc = namesFolder.isEmpty() ? argc : std::min(argc, 1);
    QApplication app(qtArgc, argv);
    configureApplication();
    loadQtTranslation(app);
    const QByteArray programFolder = QFile::encodeName(QCoreApplication::applicationDirPath());
    Form1::StartUp startUp;
    startUp.programFolder = programFolder;
    startUp.startFolder = !namesFolder.isEmpty() ? namesFolder
        : line.folder.isEmpty()                  ? filelist::defaultStartFolder(programFolder, QFile::encodeName(QDir::homePath()))
                                                 : line.folder;
    startUp.dataFolder = QFile::encodeName(QDir::cleanPath(QCoreApplication::applicationDirPath()
                                                             + QStringLiteral("/" QUENDRA_DATA_FROM_BIN)));
    // The window shows at once; a large folder is read, and the files given selected, after.
    startUp.readAfterShow = true;
    startUp.selectFiles = line.files;
    Form1 window(startUp);
    if (!namesFolder.isEmpty()) {
        line = checking.get();
        if (const auto status = answeredWithoutWindow(line, moreUsage))
            return *status;
        window.selectOnceRead(std::move(line.files));
    }
    window.show();
    return QApplication::exec();
}

} // namespace ui
