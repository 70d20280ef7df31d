#pragma once

#include <QSqlError>
#include <QString>
#include <stdexcept>

// An error of the database engine or of a dataset operation, carrying the engine's text.
class DbError : public std::runtime_error
{
public:
    explicit DbError(const QString& message, int sqlCode = 0)
        : std::runtime_error(message.toStdString()), m_message(message), m_sqlCode(sqlCode)
    {
    }
    static DbError fromSql(const QSqlError& error, const QString& context = {})
    {
        QString text = error.databaseText().trimmed();
        if (text.isEmpty())
            text = error.driverText().trimmed();
        if (text.isEmpty())
            text = context.isEmpty() ? QStringLiteral("The database reported an unknown error.")
                                     : context;
        bool ok = false;
        const int code = error.nativeErrorCode().toInt(&ok);
        return DbError(text, ok ? code : 0);
    }

    QString message() const { return m_message; }
    // The engine's SQLCODE: -803 duplicate key, -913 update conflict, -902 open or lock.
    int sqlCode() const { return m_sqlCode; }

private:
    QString m_message;
    int m_sqlCode = 0;
};
