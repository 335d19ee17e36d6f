#pragma once

#include <QDateTime>
#include <QString>

#include <vector>

namespace rules {

// What a rule may know of a file besides its name: its dates and what a photo says of itself.
struct FileFacts {
    QDateTime modified;          // invalid when unknown
    QDateTime taken;             // when the photo was taken, from its own data; invalid when it has none
    bool takenDigitized = false; // taken is when the photo was digitized: it said nothing of when it was taken
    QString camera;              // maker and model; empty when unknown
    int width = 0;               // in pixels; 0 when unknown
    int height = 0;
    QString folder;              // the name of the folder the file is in
};

// A name template: literal text and fields in braces, such as "{拍摄时间:yyyy-MM-dd} 海南 {编号}".
// It gives the name before the extension; "{{" and "}}" write braces.
enum class TemplateField { Text, Name, Extension, Number, Taken, Modified, Camera, Width, Height, Folder };

struct TemplatePart {
    TemplateField field = TemplateField::Text;
    QString text; // the literal text, or a date field's format
    friend bool operator==(const TemplatePart&, const TemplatePart&) = default;
};

struct ParsedTemplate {
    std::vector<TemplatePart> parts;
    QString error; // in Chinese; then parts is empty
};

// The format a date field takes when it names none.
inline constexpr char16_t kDefaultDateFormat[] = u"yyyy-MM-dd";

ParsedTemplate parseTemplate(const QString& text);

// Whether any part is the field.
bool usesField(const std::vector<TemplatePart>& parts, TemplateField field);

// The base name a template gives a file. note says where a field's data was missing and what
// stood in for it ("没有拍摄时间，用了修改时间"); empty when nothing was missing.
struct TemplateName {
    QString base;
    QString note;
};
TemplateName renderTemplate(const std::vector<TemplatePart>& parts, const QString& base, const QString& extension,
                            const QString& number, const FileFacts& facts);

} // namespace rules
