#pragma once

#include <QString>

namespace rules {

// name as file systems of the Windows family (FAT, exFAT, NTFS, SMB shares) take it: \ : * ? " <
// > | become their full-width forms (＼：＊？＂＜＞｜), or "_" with underscore; control characters
// become "_"; dots and spaces at the end go. Empty when nothing is left.
QString WindowsSafeName(const QString& name, bool underscore);

} // namespace rules
