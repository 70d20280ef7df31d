#include "fieldvalue.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

namespace {

bool isNullValue(const QVariant& v)
{
    return !v.isValid() || v.isNull();
}

bool isNumericValue(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

bool isIntegralValue(const QVariant& v)
{
    return isNumericValue(v) && v.typeId() != QMetaType::Double && v.typeId() != QMetaType::Float;
}

QDate dateOf(const QVariant& v)
{
    if (v.typeId() == QMetaType::QDate)
        return v.toDate();
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().date();
    const QString s = v.toString().trimmed();
    QDate d = QDate::fromString(s.left(10), Qt::ISODate);
    return d;
}

QTime timeOf(const QVariant& v)
{
    if (v.typeId() == QMetaType::QTime)
        return v.toTime();
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().time();
    const QString s = v.toString().trimmed();
    QTime t = QTime::fromString(s, Qt::ISODate);
    if (!t.isValid())
        t = QTime::fromString(s, QStringLiteral("h:mm"));
    return t;
}

QDateTime dateTimeOf(const QVariant& v)
{
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime();
    if (v.typeId() == QMetaType::QDate)
        return QDateTime(v.toDate(), QTime(0, 0));
    const QString s = v.toString().trimmed();
    QDateTime dt = QDateTime::fromString(s, Qt::ISODate);
    if (!dt.isValid())
        dt = QDateTime::fromString(s, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    if (!dt.isValid()) {
        const QDate d = QDate::fromString(s, Qt::ISODate);
        if (d.isValid())
            dt = QDateTime(d, QTime(0, 0));
    }
    return dt;
}

} // namespace

QString fieldDisplayText(const FieldDef& field, const QVariant& value)
{
    if (isNullValue(value))
        return {};
    switch (field.type) {
    case FieldType::Blob:
        return {};
    case FieldType::Date: {
        const QDate d = dateOf(value);
        return d.isValid() ? d.toString(QStringLiteral("yyyy-MM-dd")) : value.toString();
    }
    case FieldType::Time: {
        const QTime t = timeOf(value);
        return t.isValid() ? t.toString(QStringLiteral("hh:mm:ss")) : value.toString();
    }
    case FieldType::DateTime: {
        const QDateTime dt = dateTimeOf(value);
        return dt.isValid() ? dt.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) : value.toString();
    }
    default:
        // QVariant's own text keeps decimals as stored and doubles at their shortest form.
        return value.toString();
    }
}

QVariant fieldValueFromInput(const FieldDef& field, const QVariant& input, bool* ok)
{
    if (ok)
        *ok = true;
    auto fail = [ok]() {
        if (ok)
            *ok = false;
        return QVariant();
    };
    if (isNullValue(input))
        return {};
    const bool isText = input.typeId() == QMetaType::QString;
    const QString text = isText ? input.toString().trimmed() : QString();
    // Spaces are content in text columns, but mean "nothing typed" in any other.
    const bool textual = field.type == FieldType::String || field.type == FieldType::Blob;
    if (isText && (textual ? input.toString().isEmpty() : text.isEmpty()))
        return {};

    switch (field.type) {
    case FieldType::Integer:
    case FieldType::SmallInt:
    case FieldType::LargeInt: {
        bool good = false;
        qlonglong n = 0;
        if (isText) {
            n = text.toLongLong(&good);
        } else if (isIntegralValue(input) || input.typeId() == QMetaType::Bool) {
            n = input.toLongLong(&good);
        } else if (isNumericValue(input)) {
            const double d = input.toDouble(&good);
            good = good && d == double(qlonglong(d));
            n = qlonglong(d);
        } else {
            n = input.toLongLong(&good);
        }
        if (!good)
            return fail();
        if (field.type == FieldType::LargeInt)
            return QVariant(n);
        return QVariant(int(n));
    }
    case FieldType::Float: {
        bool good = false;
        const double d = isText ? text.toDouble(&good) : input.toDouble(&good);
        return good ? QVariant(d) : fail();
    }
    case FieldType::Decimal: {
        if (isText) {
            bool good = false;
            text.toDouble(&good);
            return good ? QVariant(text) : fail();
        }
        if (isIntegralValue(input))
            return QString::number(input.toLongLong());
        bool good = false;
        const double d = input.toDouble(&good);
        if (!good)
            return fail();
        return field.scale > 0 ? QString::number(d, 'f', field.scale) : QString::number(d);
    }
    case FieldType::String:
        return input.toString();
    case FieldType::Date: {
        const QDate d = dateOf(input);
        return d.isValid() ? QVariant(d) : fail();
    }
    case FieldType::Time: {
        const QTime t = timeOf(input);
        return t.isValid() ? QVariant(t) : fail();
    }
    case FieldType::DateTime: {
        const QDateTime dt = dateTimeOf(input);
        return dt.isValid() ? QVariant(dt) : fail();
    }
    case FieldType::Blob:
        // Text put into a blob (a memo) is stored as its UTF-8 bytes.
        return input.typeId() == QMetaType::QString ? QVariant(input.toString().toUtf8())
                                                    : QVariant(input.toByteArray());
    }
    return input;
}

bool sameFieldValue(const QVariant& a, const QVariant& b)
{
    const bool an = isNullValue(a);
    const bool bn = isNullValue(b);
    if (an || bn)
        return an == bn;
    if (isNumericValue(a) && isNumericValue(b)) {
        if (isIntegralValue(a) && isIntegralValue(b))
            return a.toLongLong() == b.toLongLong();
        return a.toDouble() == b.toDouble();
    }
    if (a.typeId() == b.typeId())
        return a == b;
    return a.toString() == b.toString();
}
