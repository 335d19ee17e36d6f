#include "rules/removematch.h"

namespace rules {

std::optional<QString> RemoveFirstMatch(const QString& fileName, const QString& search)
{
    if (search.isEmpty())
        return std::nullopt;
    const auto at = fileName.indexOf(search);
    if (at < 0)
        return std::nullopt;
    QString result = fileName;
    result.remove(at, search.size());
    return result;
}

} // namespace rules
