#include "cli/cli.h"

#include "cli/session.h"
#include "filelist/journal.h"
#include "filelist/presets.h"
#include "platform/filename.h"
#include "platform/memory.h"
#include "platform/terminal.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <cstring>
#include <string>

namespace cli {

const char* const kApplyUsage =
    "用法：quendra-rename apply [选项] 规则 路径...\n"
    "Usage: quendra-rename apply [OPTIONS] RULE PATH...\n"
    "\n"
    "按一条规则或一个预设给文件改名，不需要图形显示，与窗口的计划、改名、记录和撤销完全相同。\n"
    "路径是一个文件夹（改名其中符合 --pattern 的文件，顺序与窗口的列表相同），或者同一个文件夹里的\n"
    "几个文件（按给出的顺序改名和编号）。\n"
    "Renames files by one rule or a preset, without a display, planned, carried out, journaled and\n"
    "undone exactly as in the window. PATH is one folder (its files matching --pattern, in the\n"
    "window's list order) or files of one folder (renamed and numbered in the order given).\n"
    "\n"
    "规则，只能给一个 / RULE, exactly one:\n"
    "  --preset 名字|文件           保存的预设，或预设文件（含“/”或以 .json 结尾）\n"
    "                               a saved preset, or a preset file (holding \"/\" or ending .json)\n"
    "  --case upper|lower|title     大写、小写或首字母大写 / upper, lower or title case\n"
    "      --spaces delete|underscore   删除空格或改成“_”（默认 delete）\n"
    "                                   delete spaces or turn them into \"_\" (default delete)\n"
    "      --scope base,ext         前缀、后缀或两者（默认两者）\n"
    "                               the base name, the extension or both (default both)\n"
    "  --custom 文本                自定义文本加编号：第 k 个文件的编号是 k × 增量\n"
    "                               custom text and a number: the k-th file gets k x step\n"
    "      --place 位置             replace-base（默认）、replace-ext、before-base、after-base、\n"
    "                               before-ext、after-ext：替换前缀或后缀，或放在它们的前面或后面\n"
    "                               replace the base name (default) or extension, or go before or after it\n"
    "      --step N                 增量，-32768 到 32767（默认 1） / step (default 1)\n"
    "      --width W                编号至少几位，前面补零，0 到 9（默认 0）\n"
    "                               at least W digits, zeros in front (default 0)\n"
    "      --start N                第一个编号；给出时第 k 个文件的编号是 N + (k-1) × 增量\n"
    "                               the first number: the k-th file gets N + (k-1) x step\n"
    "      --order list|modified|taken  按列表顺序（默认）、修改时间或拍摄时间编号；没有拍摄时间的\n"
    "                               照片按修改时间，时间相同的按列表顺序\n"
    "                               number in list order (default), by modification time or by date\n"
    "                               taken; a photo without one goes by its modification time\n"
    "      --pairs                  同名文件一起改名：文件夹里与选中文件只差扩展名的文件（如\n"
    "                               DSC_0001.NEF、DSC_0001.xmp 跟着 DSC_0001.JPG）取同样的新名字，\n"
    "                               各自保留扩展名，不另编号；其中一个不能改名，就都不改\n"
    "                               the folder's files of a file's name up to the extension go\n"
    "                               with it: its new name, their own extensions, no number of\n"
    "                               their own; if one of them can't be renamed, none is\n"
    "  --template 模板              扩展名前面的名字按模板生成，扩展名不变。字段：{原名} {扩展名}\n"
    "                               {编号} {拍摄时间:格式} {修改时间:格式} {相机} {宽} {高} {文件夹}；\n"
    "                               格式如 yyyyMMdd、yyyy-MM-dd_HHmmss（默认 yyyy-MM-dd）；{{ 和 }} 写出括号\n"
    "                               the name before the extension from a template; each file keeps\n"
    "                               its extension; {编号} takes --start, --step, --width, --order,\n"
    "                               and --pairs works as for --custom\n"
    "  --remove 文本                去掉文件名里第一次出现的文本 / remove the first occurrence of TEXT\n"
    "  --ext 扩展名                 改成新的扩展名（不带“.”） / a new extension, without its dot\n"
    "  --to-simplified              繁体转简体 / traditional to simplified Chinese\n"
    "  --to-traditional             简体转繁体 / simplified to traditional Chinese\n"
    "  --windows-safe [--underscore]\n"
    "                               改成 Windows 可用的名字：\\ : * ? \" < > | 换成全角字符（或“_”），\n"
    "                               去掉末尾的点和空格 / names FAT, exFAT, NTFS and SMB take: those\n"
    "                               characters as full-width forms (or \"_\"), no trailing dots or spaces\n"
    "  --gbk-to-utf8                GBK 文件名转 UTF-8 / names stored in GBK written again in UTF-8\n"
    "  --pinyin                     汉字转拼音，多音字按词读（重庆 → chongqing），其他字符不变\n"
    "                               Han characters in pinyin, read by phrase; the rest unchanged\n"
    "      --initials               只取每个音节的首字母（重庆 → cq） / initials only\n"
    "      --tones none|number|mark 声调：不标（默认）、数字（chong2qing4）或符号（chóngqìng）；\n"
    "                               ü 不标或用数字时写作 v / tones: none (default), digits or\n"
    "                               marks; ü is written v without marks\n"
    "      --separator none|space|_|-  音节之间、音节与字母或数字之间的分隔（默认 none）\n"
    "                               between syllables, and a syllable and a letter or digit\n"
    "      --capitalize             每个音节首字母大写（ChongQing） / capitalise each syllable\n"
    "  --replace 查找 替换为        查找并替换 / find and replace\n"
    "      --regex                  按正则表达式查找（PCRE2） / FIND is a regular expression\n"
    "      --case-sensitive         区分大小写 / letter case counts\n"
    "      --first                  只替换第一个 / replace the first occurrence only\n"
    "      --scope base,ext         在前缀、后缀或两者里查找（默认两者） / where to search (default both)\n"
    "\n"
    "选项 / OPTIONS:\n"
    "  --pattern 模式     文件夹里要改名的文件，如 \"*.jpg;*.png\"（默认 \"*.*\"，所有文件）\n"
    "                     which files of the folder, as in the pattern box (default \"*.*\", every file)\n"
    "  --hidden           也改名隐藏文件（以“.”开头的） / include hidden files\n"
    "  --dry-run          只显示计划，什么都不动（也不写改名记录） / show the plan, touch nothing\n"
    "  --json             每个文件一行 JSON：{\"old\", \"new\", \"state\", \"reason\"}；state 是 rename、\n"
    "                     unchanged、taken 或 invalid，改名之后没能改名的文件是 failed\n"
    "                     one JSON object a line per file; state is rename, unchanged, taken or\n"
    "                     invalid, and failed for a file the run could not rename\n"
    "  -y, --yes          不问就改名；标准输入不是终端时必须给出\n"
    "                     rename without asking; needed when standard input is not a terminal\n"
    "  -h, --help         显示此帮助 / show this help\n"
    "\n"
    "在终端上，不给 --yes 时先显示计划，再问“确定改名吗？[y/N]”。Ctrl+C 在下一个文件之前停下，\n"
    "已经改名的文件保留新名字。每次改名都记在与窗口共用的改名记录里，可以用 quendra-rename undo\n"
    "或窗口里的“撤销”撤销。\n"
    "On a terminal, without --yes, the plan is shown and the question asked first. Ctrl+C stops\n"
    "before the next file; files already renamed keep their new names. Every run goes into the\n"
    "journal the window uses, so quendra-rename undo or the window's 撤销 takes it back.\n"
    "\n"
    "退出状态 / EXIT STATUS:\n"
    "  0  计划改名的文件都改好了（--dry-run：都能改名） / every planned rename was done\n"
    "     (--dry-run: every file can be renamed)\n"
    "  1  有文件没有改名，每个都在标准错误输出上列出原因；或者磁盘 5 秒内没有响应\n"
    "     some file was not renamed, each listed on standard error with why; or the disk did\n"
    "     not answer for 5 seconds\n"
    "  2  命令行或输入不对（未知的选项、不对的值、有问题的预设、不能用的规则）\n"
    "     a command line or input that can't be used (an unknown option, a bad value or preset,\n"
    "     a rule that can't run)\n";

const char* const kUndoUsage =
    "用法：quendra-rename undo [--list] [--yes]\n"
    "Usage: quendra-rename undo [--list] [--yes]\n"
    "\n"
    "撤销最近一次改名（窗口里做的也算），与窗口的“撤销”相同：只把改过名的那个文件改回来，\n"
    "之后别的程序用那个名字存的文件不会动。\n"
    "Takes back the latest run (runs made in the window included), as the window's 撤销 does:\n"
    "only the very file the run renamed gets its name back, never a file saved under that name since.\n"
    "\n"
    "  --list        列出可以撤销的改名：时间、命令、文件数、文件夹，最近的在前\n"
    "                list the runs that can be taken back: when, command, files, folder; latest first\n"
    "  -y, --yes     不问就撤销；标准输入不是终端时必须给出\n"
    "                undo without asking; needed when standard input is not a terminal\n"
    "  -h, --help    显示此帮助 / show this help\n"
    "\n"
    "退出状态 / EXIT STATUS: 0 都改回来了 / every file is back; 1 有文件没能改回、没有可以撤销的改名，\n"
    "或者磁盘没有响应 / some file is not back, nothing to undo, or the disk did not answer;\n"
    "2 命令行不对 / a command line that can't be used.\n";

const char* commandsUsage()
{
    static const std::string usage = std::string("\n不需要图形显示的命令 / Commands without a display:\n\n") + kApplyUsage
        + "\n" + kUndoUsage;
    return usage.c_str();
}

void Session::tell(const QString& line)
{
    out.flush();
    err.line(line);
    err.flush();
}

void Session::fail(const QString& line)
{
    // One line: the rules' messages for the window may hold a line break.
    QString text = line;
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    tell(QStringLiteral("quendra-rename: ") + text);
}

bool Session::confirm(const QString& question)
{
    out.flush();
    err.append(question.toUtf8());
    err.flush();
    const std::optional<QByteArray> answer = env.readAnswer ? env.readAnswer() : std::nullopt;
    if (!answer) {
        err.append("\n");
        err.flush();
        return false;
    }
    const QByteArray word = answer->trimmed().toLower();
    return word == "y" || word == "yes" || word == "是";
}

bool isCommand(int argc, char* argv[])
{
    return argc > 1 && (std::strcmp(argv[1], "apply") == 0 || std::strcmp(argv[1], "undo") == 0);
}

int run(const std::vector<QByteArray>& arguments, const Environment& environment)
{
    Session session(environment);
    const QByteArray command = arguments.empty() ? QByteArray() : arguments.front();
    const std::vector<QByteArray> rest(arguments.begin() + (arguments.empty() ? 0 : 1), arguments.end());
    if (command == "apply") {
        const Parsed<ApplyOptions> parsed = parseApply(rest);
        if (parsed.options.help) {
            session.out.append(kApplyUsage);
            return 0;
        }
        if (!parsed.error.isEmpty()) {
            session.fail(parsed.error);
            return 2;
        }
        return apply(parsed.options, session);
    }
    if (command == "undo") {
        const Parsed<UndoOptions> parsed = parseUndo(rest);
        if (parsed.options.help) {
            session.out.append(kUndoUsage);
            return 0;
        }
        if (!parsed.error.isEmpty()) {
            session.fail(parsed.error);
            return 2;
        }
        return undo(parsed.options, session);
    }
    session.fail(QStringLiteral("未知的命令“%1”：应是 apply 或 undo").arg(platform::readableFileName(command)));
    return 2;
}

Environment processEnvironment()
{
    Environment env;
    env.fs = &platform::systemFileSystem();
    env.workingFolder = QFile::encodeName(QDir::currentPath());
    env.programFolder = QFile::encodeName(QCoreApplication::applicationDirPath());
    env.dataFolder = QFile::encodeName(
        QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/" QUENDRA_DATA_FROM_BIN)));
    env.journalFolder = filelist::journalFolder();
    env.presetFolder = filelist::presetFolder();
    env.patience = platform::kDiskPatience;
    env.interactive = platform::standardInputIsTerminal();
    env.readAnswer = platform::readStandardInputLine;
    env.writeOut = [](QByteArrayView bytes) {
        std::fwrite(bytes.data(), 1, std::size_t(bytes.size()), stdout);
        std::fflush(stdout);
    };
    env.writeErr = [](QByteArrayView bytes) {
        std::fwrite(bytes.data(), 1, std::size_t(bytes.size()), stderr);
        std::fflush(stderr);
    };
    env.stopRequested = platform::interruptRequested;
    return env;
}

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quendra-rename"));
    platform::catchInterrupt();
    platform::returnLargeBlocksAtOnce();
    const std::vector<QByteArray> arguments(argv + 1, argv + argc);
    return run(arguments, processEnvironment());
}

} // namespace cli
