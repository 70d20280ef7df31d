#pragma once

#include <QString>
#include <QVariantList>

// A statement text with the values for its "?" placeholders.
struct BoundSql
{
    QString sql;
    QVariantList params;
};

// Comparisons that take the user's text as a bound value, matched as itself: "%" and "_" in it
// are no wildcards. The value is cast wide enough that a long text is compared, not cut.
namespace searchsql {

// "column like ? escape ..." for values containing text.
QString containsCondition(const QString& column);
// "column = ?".
QString equalsCondition(const QString& column);
// The LIKE pattern for containsCondition: text escaped, between two "%".
QString containsPattern(const QString& text);

} // namespace searchsql
