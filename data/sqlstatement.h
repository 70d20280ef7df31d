#pragma once

#include "clientdataset.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

// A statement with ":Name" or "?" placeholders, bound and run through QIBASE. Named
// placeholders are turned into positional ones here, so that a name used twice is one
// parameter and quotes or comments in the text are left alone. Every slot must be bound
// before exec(); an unbound slot is an error, never uninitialised memory.
class SqlStatement
{
public:
    explicit SqlStatement(const QString& sql);

    // Names in the order of first use, as written.
    QStringList paramNames() const { return m_names; }
    // Case-insensitive.
    bool hasParam(const QString& name) const;
    void bind(const QString& name, const QVariant& value, FieldType type = FieldType::String);
    // Values for the "?" slots in order (a named slot counts as its own name's value).
    void bindPositional(const QVariantList& values);

    // Prepares in the connection's current transaction and runs; throws DbError.
    QSqlQuery exec(const QSqlDatabase& db) const;
    QString text() const { return m_text; }

private:
    struct Slot
    {
        int pos = 0;   // index of the placeholder in m_text
        int len = 0;   // its length
        int name = -1; // index into m_names, -1 for "?"
        QVariant value;
        bool bound = false;
        bool decimal = false;
    };
    QString m_text;
    QStringList m_names;
    QVector<Slot> m_slots;
};
