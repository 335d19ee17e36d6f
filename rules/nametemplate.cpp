#include "rules/nametemplate.h"

#include <QLocale>

#include <array>

namespace rules {

namespace {

struct FieldName {
    const char16_t* name;
    TemplateField field;
    bool takesFormat;
};

constexpr std::array kFields{
    FieldName{u"原名", TemplateField::Name, false},     FieldName{u"扩展名", TemplateField::Extension, false},
    FieldName{u"编号", TemplateField::Number, false},   FieldName{u"拍摄时间", TemplateField::Taken, true},
    FieldName{u"修改时间", TemplateField::Modified, true}, FieldName{u"相机", TemplateField::Camera, false},
    FieldName{u"宽", TemplateField::Width, false},      FieldName{u"高", TemplateField::Height, false},
    FieldName{u"文件夹", TemplateField::Folder, false},
};

QString fieldList()
{
    QStringList names;
    for (const FieldName& f : kFields)
        names << QStringLiteral("{%1}").arg(QString::fromUtf16(f.name));
    return names.join(QLatin1Char(' '));
}

// Why a date format can't be used, or nothing. Qt writes any letter it doesn't know as it is, so
// a format is checked for the mistakes it would otherwise take silently.
QString formatProblem(const QString& format)
{
    if (format.isEmpty())
        return QStringLiteral("格式是空的");
    bool quoted = false;
    bool dated = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        else if (!quoted && QStringLiteral("yMdhHmszapAPt").contains(c))
            dated = true;
        if (c == QLatin1Char('/'))
            return QStringLiteral("格式里不能有“/”：文件名不能含有它");
    }
    if (quoted)
        return QStringLiteral("格式里的单引号没有配对");
    if (!dated)
        return QStringLiteral("格式里没有日期或时间，如 yyyy、MM、dd、HH、mm、ss");
    return {};
}

// A field's text made fit for a file name: a "/" would name a folder.
QString fitForName(QString text)
{
    return text.replace(QLatin1Char('/'), QLatin1Char('-')).replace(QChar(0), QLatin1Char('_'));
}

} // namespace

ParsedTemplate parseTemplate(const QString& text)
{
    ParsedTemplate parsed;
    const auto fail = [&parsed](QString error) {
        parsed.parts.clear();
        parsed.error = std::move(error);
        return parsed;
    };
    if (text.trimmed().isEmpty())
        return fail(QStringLiteral("模板是空的"));
    QString literal;
    const auto flush = [&] {
        if (!literal.isEmpty())
            parsed.parts.push_back({TemplateField::Text, literal});
        literal.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('}')) {
            if (i + 1 < text.size() && text[i + 1] == QLatin1Char('}')) {
                literal += c;
                ++i;
                continue;
            }
            return fail(QStringLiteral("第 %1 个字符“}”前面没有“{”（要写“}”本身，请写“}}”）").arg(i + 1));
        }
        if (c == QLatin1Char('/'))
            return fail(QStringLiteral("模板里不能有“/”：文件名不能含有它"));
        if (c != QLatin1Char('{')) {
            literal += c;
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == QLatin1Char('{')) {
            literal += c;
            ++i;
            continue;
        }
        const qsizetype close = text.indexOf(QLatin1Char('}'), i + 1);
        if (close < 0)
            return fail(QStringLiteral("第 %1 个字符“{”后面没有“}”（要写“{”本身，请写“{{”）").arg(i + 1));
        const QString inside = text.mid(i + 1, close - i - 1);
        const qsizetype colon = inside.indexOf(QLatin1Char(':'));
        const QString name = colon < 0 ? inside : inside.left(colon);
        const FieldName* known = nullptr;
        for (const FieldName& f : kFields) {
            if (name == QString::fromUtf16(f.name))
                known = &f;
        }
        if (!known)
            return fail(QStringLiteral("不认识的字段“{%1}”，可用的字段有 %2").arg(inside, fieldList()));
        QString format;
        if (colon >= 0) {
            if (!known->takesFormat)
                return fail(QStringLiteral("字段“{%1}”不带格式，请去掉冒号和它后面的文字").arg(name));
            format = inside.mid(colon + 1);
            if (const QString problem = formatProblem(format); !problem.isEmpty())
                return fail(QStringLiteral("字段“{%1}”的格式“%2”不能用：%3").arg(name, format, problem));
        } else if (known->takesFormat) {
            format = QString::fromUtf16(kDefaultDateFormat);
        }
        flush();
        parsed.parts.push_back({known->field, format});
        i = close;
    }
    flush();
    return parsed;
}

bool usesField(const std::vector<TemplatePart>& parts, TemplateField field)
{
    for (const TemplatePart& part : parts) {
        if (part.field == field)
            return true;
    }
    return false;
}

TemplateName renderTemplate(const std::vector<TemplatePart>& parts, const QString& base, const QString& extension,
                            const QString& number, const FileFacts& facts)
{
    // Dates are written with Chinese month and day names, wherever the program runs.
    const QLocale locale(QLocale::Chinese, QLocale::China);
    TemplateName name;
    QStringList notes;
    const auto note = [&notes](QString words) {
        if (!notes.contains(words))
            notes << std::move(words);
    };
    for (const TemplatePart& part : parts) {
        switch (part.field) {
        case TemplateField::Text: name.base += part.text; break;
        case TemplateField::Name: name.base += base; break;
        case TemplateField::Extension: name.base += extension; break;
        case TemplateField::Number: name.base += number; break;
        case TemplateField::Taken:
            if (facts.taken.isValid()) {
                name.base += fitForName(locale.toString(facts.taken, part.text));
                if (facts.takenDigitized)
                    note(QStringLiteral("照片没有拍摄时间，用了数字化时间"));
                break;
            }
            note(QStringLiteral("没有拍摄时间，用了修改时间"));
            [[fallthrough]];
        case TemplateField::Modified:
            if (facts.modified.isValid())
                name.base += fitForName(locale.toString(facts.modified, part.text));
            else
                note(QStringLiteral("不知道修改时间"));
            break;
        case TemplateField::Camera:
            if (facts.camera.isEmpty())
                note(QStringLiteral("没有相机信息"));
            name.base += fitForName(facts.camera);
            break;
        case TemplateField::Width:
        case TemplateField::Height: {
            const int pixels = part.field == TemplateField::Width ? facts.width : facts.height;
            if (pixels > 0)
                name.base += QString::number(pixels);
            else
                note(QStringLiteral("没有图片尺寸"));
            break;
        }
        case TemplateField::Folder: name.base += fitForName(facts.folder); break;
        }
    }
    name.note = notes.join(QStringLiteral("；"));
    return name;
}

} // namespace rules
