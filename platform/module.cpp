#include "platform/module.h"

#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

namespace platform {

QByteArray runningProgramFolder()
{
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path);
    if (n <= 0 || std::size_t(n) >= sizeof path)
        return {};
    QByteArray folder(path, n);
    folder.truncate(folder.lastIndexOf('/'));
    return folder.isEmpty() ? QByteArray("/") : folder;
}

void* loadModuleFunction(const QByteArray& path, const char* symbol, QString& error)
{
    // Every symbol at once: a module with a missing one is refused here, not halfway through.
    void* module = ::dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        error = QString::fromLocal8Bit(::dlerror());
        return nullptr;
    }
    void* function = ::dlsym(module, symbol);
    if (!function)
        error = QString::fromLocal8Bit(::dlerror());
    return function;
}

} // namespace platform
