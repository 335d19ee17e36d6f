#pragma once

#include <QString>

namespace rules {

// The extension of the file at strFile (a path): what follows the last "." of its file name,
// or the empty text when the file name has no dot. A dot in a folder name never counts.
QString GetFileExt(const QString& strFile);

// The path of the same file with its extension replaced by strExt, or with "." and strExt
// added when its file name has no dot.
QString ChangeFileExt(const QString& strFile, const QString& strExt);

} // namespace rules
