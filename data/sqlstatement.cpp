#include "sqlstatement.h"

#include "dberror.h"

#include <QSqlError>

namespace {

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

} // namespace

SqlStatement::SqlStatement(const QString& sql) : m_text(sql)
{
    const int n = int(sql.size());
    int i = 0;
    while (i < n) {
        const QChar c = sql[i];
        if (c == u'\'' || c == u'"') {
            // Quoted text or identifier; a doubled quote stays inside.
            const QChar q = c;
            ++i;
            while (i < n) {
                if (sql[i] == q) {
                    if (i + 1 < n && sql[i + 1] == q) {
                        i += 2;
                        continue;
                    }
                    break;
                }
                ++i;
            }
            ++i;
        } else if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
            while (i < n && sql[i] != u'\n')
                ++i;
        } else if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
            const int end = int(sql.indexOf(QStringLiteral("*/"), i + 2));
            i = end < 0 ? n : end + 2;
        } else if (c == u'?') {
            m_slots.append(Slot{i, 1, -1, {}, false, false});
            ++i;
        } else if (c == u':' && i + 1 < n && (sql[i + 1].isLetter() || sql[i + 1] == u'_')) {
            int j = i + 1;
            while (j < n && isNameChar(sql[j]))
                ++j;
            const QString name = sql.mid(i + 1, j - i - 1);
            int idx = -1;
            for (int k = 0; k < m_names.size(); ++k) {
                if (m_names[k].compare(name, Qt::CaseInsensitive) == 0) {
                    idx = k;
                    break;
                }
            }
            if (idx < 0) {
                idx = int(m_names.size());
                m_names.append(name);
            }
            m_slots.append(Slot{i, j - i, idx, {}, false, false});
            i = j;
        } else {
            ++i;
        }
    }
}

bool SqlStatement::hasParam(const QString& name) const
{
    for (const QString& n : m_names) {
        if (n.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

void SqlStatement::bind(const QString& name, const QVariant& value, FieldType type)
{
    for (Slot& s : m_slots) {
        if (s.name >= 0 && m_names[s.name].compare(name, Qt::CaseInsensitive) == 0) {
            s.value = value;
            s.bound = true;
            s.decimal = type == FieldType::Decimal;
        }
    }
}

void SqlStatement::bindPositional(const QVariantList& values)
{
    int next = 0;
    for (Slot& s : m_slots) {
        if (s.name >= 0)
            continue;
        if (next >= values.size())
            break;
        s.value = values[next++];
        s.bound = true;
        s.decimal = false;
    }
    if (next != values.size()) {
        throw DbError(
            QStringLiteral("The statement has fewer parameters than values given: %1").arg(m_text));
    }
}

QSqlQuery SqlStatement::exec(const QSqlDatabase& db) const
{
    QString sql;
    sql.reserve(m_text.size() + 32 * m_slots.size());
    int from = 0;
    for (const Slot& s : m_slots) {
        if (!s.bound) {
            const QString which =
                s.name >= 0 ? QLatin1Char(':') + m_names[s.name] : QStringLiteral("?");
            throw DbError(
                QStringLiteral("No value was bound for parameter %1 of: %2").arg(which, m_text));
        }
        sql += QStringView(m_text).mid(from, s.pos - from);
        // Text reaches the engine exactly and is converted there, not through a double.
        sql += s.decimal ? QStringLiteral("CAST(? AS VARCHAR(40))") : QStringLiteral("?");
        from = s.pos + s.len;
    }
    sql += QStringView(m_text).mid(from);

    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        throw DbError::fromSql(q.lastError(), QStringLiteral("Could not prepare: %1").arg(m_text));
    for (const Slot& s : m_slots) {
        QVariant v = s.value;
        if (v.typeId() == QMetaType::QByteArray && v.toByteArray().isEmpty())
            v = QVariant(); // the driver stores an empty array as NULL anyway; say so plainly
        q.addBindValue(v);
    }
    if (!q.exec())
        throw DbError::fromSql(q.lastError(), QStringLiteral("Could not run: %1").arg(m_text));
    return q;
}
