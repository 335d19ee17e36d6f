#pragma once

#include <QString>
#include <QStringView>

namespace rules {

// Full Unicode case mapping that leaves lone surrogates alone. File names that aren't UTF-8
// carry their stray bytes as lone surrogates (see platform/filename.h); a plain
// QString::toUpper() may turn those into U+FFFD and so change bytes on disk.
QString upper(QStringView text);
QString lower(QStringView text);
// The first character (code point) in upper case, the rest in lower case.
QString firstUpper(QStringView text);

} // namespace rules
