#include "cli/cli.h"

#include "platform/module.h"

#include <QFile>

#include <cstdio>

namespace cli {

int openWindow(int argc, char* argv[])
{
    // Beside the program in a build tree or a portable copy, else where an installed copy keeps it.
    const QByteArray folder = platform::runningProgramFolder();
    const QByteArray name = "/" QUENDRA_WINDOW_MODULE;
    QString error;
    void* entry = nullptr;
    const QByteArray beside = folder + name;
    const QByteArray installed = folder + "/" QUENDRA_WINDOW_FROM_BIN + name;
    for (const QByteArray& path : {beside, installed}) {
        if (QFile::exists(QFile::decodeName(path))) {
            entry = platform::loadModuleFunction(path, "quendra_window_main", error);
            break;
        }
        error = QStringLiteral("找不到 %1").arg(QFile::decodeName(path));
    }
    if (!entry) {
        std::fprintf(stderr, "quendra-rename: 无法打开窗口：%s\n", error.toLocal8Bit().constData());
        std::fprintf(stderr, "quendra-rename: 不需要图形显示的命令仍然可用：quendra-rename apply、quendra-rename undo\n");
        return 1;
    }
    using WindowMain = int (*)(int, char*[], const char*);
    return reinterpret_cast<WindowMain>(entry)(argc, argv, commandsUsage());
}

} // namespace cli
