#include "searchpattern.h"

namespace searchsql {

namespace {
// Wider than any searched column, and than an escaped 200-character text.
const QString kValue = QStringLiteral("cast(? as varchar(1000))");
} // namespace

QString containsCondition(const QString& column)
{
    return column + QStringLiteral(" like ") + kValue + QStringLiteral(" escape '\\'");
}

QString equalsCondition(const QString& column)
{
    return column + QStringLiteral(" = ") + kValue;
}

QString containsPattern(const QString& text)
{
    QString escaped;
    escaped.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_'))
            escaped += QLatin1Char('\\');
        escaped += c;
    }
    return QLatin1Char('%') + escaped + QLatin1Char('%');
}

} // namespace searchsql
