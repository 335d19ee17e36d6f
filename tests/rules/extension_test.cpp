#include "rules/extension.h"

#include <gtest/gtest.h>

namespace {

TEST(Extension, ReadsAndReplacesTheTextAfterTheFileNamesLastDot)
{
    const struct {
        const char* path;
        const char* extension;
        const char* newExtension;
        const char* newPath;
    } rows[] = {
        {"/p/photo.JPG", "JPG", "jpg", "/p/photo.jpg"},
        {"/p/archive.tar.gz", "gz", "zip", "/p/archive.tar.zip"},
        {"/p/backup.old/README", "", "txt", "/p/backup.old/README.txt"},
        {"/p/.profile", "profile", "txt", "/p/.txt"},
        {"/p/a.txt", "txt", ".doc", "/p/a..doc"},
        {"/p/a.tar.gz", "gz", "tar.gz", "/p/a.tar.tar.gz"},
        {"/p/name.", "", "txt", "/p/name.txt"},
        {"/p/中文.文本", "文本", "txt", "/p/中文.txt"},
        {"README", "", "md", "README.md"},
    };
    for (const auto& row : rows) {
        const QString path = QString::fromUtf8(row.path);
        EXPECT_EQ(rules::GetFileExt(path), QString::fromUtf8(row.extension)) << row.path;
        EXPECT_EQ(rules::ChangeFileExt(path, QString::fromUtf8(row.newExtension)), QString::fromUtf8(row.newPath))
            << row.path;
    }
}

} // namespace
