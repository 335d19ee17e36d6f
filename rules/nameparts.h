#pragma once

#include <QString>
#include <QStringView>

namespace rules {

// A file name split at its last ".": the base name before it and the extension after it. The
// dot belongs to neither part; a name without a dot is all base name.
struct NameParts {
    QString base;
    QString extension;
    bool hasDot = false;

    static NameParts split(QStringView name);
};

// The text without the space characters (U+0020 only) at either end.
QString trimSpaces(QStringView text);

} // namespace rules
