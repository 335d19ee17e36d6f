#include "rules/nametemplate.h"

#include <gtest/gtest.h>


using namespace rules;

namespace {

// The parts as one line: literal text as it is, each field as [field:format].
QString spelled(const std::vector<TemplatePart>& parts)
{
    static const char* const names[] = {"", "名", "扩", "号", "拍", "改", "机", "宽", "高", "夹"};
    QString out;
    for (const TemplatePart& part : parts) {
        if (part.field == TemplateField::Text)
            out += part.text;
        else
            out += QStringLiteral("[%1%2]").arg(QString::fromUtf8(names[int(part.field)]),
                                                part.text.isEmpty() ? QString() : QLatin1Char(':') + part.text);
    }
    return out;
}

TEST(NameTemplate, ReadsFieldsEscapesAndRefusesWhatItCannotUse)
{
    const std::vector<std::pair<const char*, const char*>> rows{
        {"{拍摄时间:yyyy-MM-dd} 海南 {编号}", "[拍:yyyy-MM-dd] 海南 [号]"},
        {"{原名}{扩展名}{相机}{宽}x{高}{文件夹}", "[名][扩][机][宽]x[高][夹]"},
        {"{修改时间}", "[改:yyyy-MM-dd]"},
        {"{修改时间:yyyy年M月d日 HH:mm}", "[改:yyyy年M月d日 HH:mm]"},
        {"{{原名}} }}{{", "{原名} }{"},
        {"{{{原名}}}", "{[名]}"},
        {"", "!模板是空的"},
        {"   ", "!模板是空的"},
        {"{原名", "!第 1 个字符“{”后面没有“}”"},
        {"a}b", "!第 2 个字符“}”前面没有“{”"},
        {"{名字}", "!不认识的字段“{名字}”，可用的字段有 {原名} {扩展名} {编号}"},
        {"{}", "!不认识的字段“{}”"},
        {"{原名:upper}", "!字段“{原名}”不带格式"},
        {"{拍摄时间:}", "!格式是空的"},
        {"{拍摄时间:照片}", "!格式里没有日期或时间"},
        {"{拍摄时间:'yyyy}", "!单引号没有配对"},
        {"{拍摄时间:yyyy/MM}", "!不能有“/”"},
        {"a/{原名}", "!模板里不能有“/”"},
    };
    for (const auto& [text, expected] : rows) {
        const ParsedTemplate parsed = parseTemplate(QString::fromUtf8(text));
        const QString want = QString::fromUtf8(expected);
        if (want.startsWith(QLatin1Char('!'))) {
            EXPECT_TRUE(parsed.parts.empty()) << text;
            EXPECT_TRUE(parsed.error.contains(want.mid(1))) << text << " -> " << parsed.error.toStdString();
        } else {
            EXPECT_TRUE(parsed.error.isEmpty()) << text << " -> " << parsed.error.toStdString();
            EXPECT_EQ(spelled(parsed.parts), want) << text;
        }
    }
}

TEST(NameTemplate, FillsFieldsFromWhatIsKnownAndSaysWhatStoodIn)
{
    const QDateTime taken(QDate(2023, 7, 15), QTime(9, 5, 7));
    const QDateTime modified(QDate(2024, 1, 2), QTime(23, 0, 0));
    FileFacts photo;
    photo.taken = taken;
    photo.modified = modified;
    photo.camera = QStringLiteral("NIKON D750/II");
    photo.width = 6016;
    photo.height = 4016;
    photo.folder = QStringLiteral("海南");
    FileFacts digitized = photo;
    digitized.takenDigitized = true;
    FileFacts plain;
    plain.modified = modified;
    plain.folder = QStringLiteral("docs");
    struct Row {
        const char* text;
        FileFacts facts;
        const char* base;
        const char* note;
    };
    const std::vector<Row> rows{
        {"{拍摄时间} {文件夹} {编号}", photo, "2023-07-15 海南 007", ""},
        {"{拍摄时间:yyyyMMdd_HHmmss}", photo, "20230715_090507", ""},
        {"{拍摄时间:yyyy年M月d日 ddd}", photo, "2023年7月15日 周六", ""},
        {"{相机} {宽}x{高}", photo, "NIKON D750-II 6016x4016", ""},
        {"{拍摄时间}", digitized, "2023-07-15", "照片没有拍摄时间，用了数字化时间"},
        {"{拍摄时间:yyyyMMdd}-{修改时间:yyyy}", plain, "20240102-2024", "没有拍摄时间，用了修改时间"},
        {"{原名}{相机}{宽}", plain, "IMG_1", "没有相机信息；没有图片尺寸"},
        {"{原名}.{扩展名}", FileFacts{}, "IMG_1.JPG", ""},
        {"{修改时间}", FileFacts{}, "", "不知道修改时间"},
    };
    for (const Row& row : rows) {
        const ParsedTemplate parsed = parseTemplate(QString::fromUtf8(row.text));
        ASSERT_TRUE(parsed.error.isEmpty()) << row.text;
        const TemplateName name = renderTemplate(parsed.parts, QStringLiteral("IMG_1"), QStringLiteral("JPG"),
                                                 QStringLiteral("007"), row.facts);
        EXPECT_EQ(name.base, QString::fromUtf8(row.base)) << row.text;
        EXPECT_EQ(name.note, QString::fromUtf8(row.note)) << row.text;
    }
}

} // namespace
