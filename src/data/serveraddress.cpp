#include "serveraddress.h"

namespace lexordo {

QString ServerAddress::describe() const
{
    QString where = host.isEmpty() ? QStringLiteral("the local server") : host;
    if (!port.isEmpty())
        where += u':' + port;
    QString text = QStringLiteral("database %1 on %2").arg(database, where);
    if (!user.isEmpty())
        text += QStringLiteral(" as %1").arg(user);
    return text;
}

QList<QPair<QByteArray, QByteArray>> ServerAddress::connectionKeywords() const
{
    QList<QPair<QByteArray, QByteArray>> keywords;
    const auto add = [&](const char *key, const QString &value) {
        if (!value.isEmpty())
            keywords.append(qMakePair(QByteArray(key), value.toUtf8()));
    };
    add("host", host);
    add("port", port);
    add("dbname", database);
    add("user", user);
    add("password", password);
    // A server that does not answer is told within seconds, not waited for;
    // a statement that runs away is stopped; a cable pulled is noticed.
    const auto fixed = [&](const char *key, const char *value) {
        keywords.append(qMakePair(QByteArray(key), QByteArray(value)));
    };
    fixed("connect_timeout", "5");
    fixed("options", "-c statement_timeout=60000 -c lock_timeout=10000 "
                     "-c idle_in_transaction_session_timeout=300000");
    fixed("keepalives_idle", "10");
    fixed("keepalives_interval", "5");
    fixed("keepalives_count", "3");
    fixed("client_encoding", "UTF8");
    fixed("application_name", "lexordo");
    return keywords;
}

} // namespace lexordo
