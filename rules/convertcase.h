#pragma once

#include <QString>

namespace rules {

enum class CaseMode { Upper = 0, Lower = 1, FirstUpper = 2 };
enum class SpaceMode { Delete = 0, Underscore = 1 };

// The options of the case page, read from its controls at each evaluation.
struct CaseOptions {
    bool base = true;      // "前缀": the part before the last dot is converted
    bool extension = true; // "后缀": the part after it is converted
    CaseMode caseMode = CaseMode::FirstUpper;
    SpaceMode spaceMode = SpaceMode::Delete;
    friend bool operator==(const CaseOptions&, const CaseOptions&) = default;
};

// The new name of fileName: its case converted in the parts in scope, then its spaces deleted
// or turned into "_" throughout. With neither part in scope the result is empty.
QString ConvertCase(const QString& fileName, const CaseOptions& options);

// sSource with every occurrence of sSearch removed, searching again from the start after each
// cut, so that an occurrence formed by a cut goes too. An empty sSearch changes nothing.
QString StrCls(QString sSource, const QString& sSearch);

// sSource with every occurrence of sSearch replaced by Rel, searching again from the start
// after each replacement. An empty sSearch changes nothing; when Rel itself holds sSearch,
// searching again would never end, so each original occurrence is replaced once instead.
QString StrRel(QString sSource, const QString& sSearch, const QString& Rel);

} // namespace rules
