#pragma once

#include <QString>

#include <optional>

namespace rules {

// fileName with the first occurrence of search cut out, compared exactly (letter case counts,
// nothing is a wildcard). Nothing when search does not occur or is empty.
std::optional<QString> RemoveFirstMatch(const QString& fileName, const QString& search);

} // namespace rules
