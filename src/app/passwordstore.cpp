#include "passwordstore.h"

#include <data/database.h>
#include <data/dataerror.h>
#include <data/sqlquery.h>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>
#include <QStringList>
#include <QVariant>

namespace lexordo {

namespace {

const QString scheme = QStringLiteral("pbkdf2-sha256");
constexpr int saltBytes = 16;
constexpr int hashBytes = 32;
int newHashRounds = PasswordStore::iterations;

QByteArray derive(const QString &password, const QByteArray &salt, int iterations)
{
    const QByteArray secret = password.toUtf8();
    QByteArray out(hashBytes, '\0');
    if (PKCS5_PBKDF2_HMAC(secret.constData(), int(secret.size()),
                          reinterpret_cast<const unsigned char *>(salt.constData()),
                          int(salt.size()), iterations, EVP_sha256(), hashBytes,
                          reinterpret_cast<unsigned char *>(out.data())) != 1)
        throw DataError(QStringLiteral("The password could not be hashed."));
    return out;
}

// Replaces the stored value `old` by `value`, or gives the empty table its row.
void store(const std::optional<QString> &old, const QString &value)
{
    Database::Transaction transaction;
    if (old) {
        // Only while it still holds what was read: NULL (read as a null
        // string, bound as NULL again), empty text or the hash.
        SqlQuery update(QStringLiteral("UPDATE password1 SET pass_word = ? WHERE ") +
                        Database::sameAsBound(QStringLiteral("pass_word")));
        update.bindText(1, value);
        if (old->isNull())
            update.bindNull(2);
        else
            update.bindText(2, *old);
        if (update.exec() < 1)
            throw ChangedElsewhere();
    } else {
        SqlQuery insert(QStringLiteral("INSERT INTO password1 (pass_word) VALUES (?)"));
        insert.bindText(1, value);
        insert.exec();
    }
    transaction.commit();
}

} // namespace

std::optional<QString> PasswordStore::storedValue()
{
    SqlQuery query(QStringLiteral("SELECT pass_word FROM password1 LIMIT 1"));
    // A read that fails throws: only a table without a row has no password.
    if (!query.next())
        return std::nullopt;
    // NULL reads as an empty password (a null string, bound as NULL again).
    return query.isNull(0) ? QString() : query.value(0).toString();
}

QString PasswordStore::hash(const QString &password)
{
    QByteArray salt(saltBytes, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char *>(salt.data()), saltBytes) != 1)
        throw DataError(QStringLiteral("No random salt could be made for the password."));
    return hash(password, salt, newHashRounds);
}

int PasswordStore::hashRounds()
{
    return newHashRounds;
}

void PasswordStore::setHashRounds(int rounds)
{
    newHashRounds = rounds > 0 ? rounds : iterations;
}

QString PasswordStore::hash(const QString &password, const QByteArray &salt, int rounds)
{
    return QStringList{scheme, QString::number(rounds), QString::fromLatin1(salt.toBase64()),
                       QString::fromLatin1(derive(password.trimmed(), salt, rounds).toBase64())}
        .join(u'$');
}

bool PasswordStore::isHash(const QString &stored)
{
    const QStringList parts = stored.split(u'$');
    bool ok = false;
    return parts.size() == 4 && parts[0] == scheme && parts[1].toInt(&ok) > 0 && ok &&
           !parts[2].isEmpty() && !parts[3].isEmpty();
}

bool PasswordStore::matches(const QString &password, const std::optional<QString> &stored)
{
    if (!stored)
        return password.trimmed().isEmpty();
    if (!isHash(*stored))
        return password.trimmed() == stored->trimmed();
    const QStringList parts = stored->split(u'$');
    const QByteArray salt = QByteArray::fromBase64(parts[2].toLatin1());
    const QByteArray expected = QByteArray::fromBase64(parts[3].toLatin1());
    const QByteArray actual = derive(password.trimmed(), salt, parts[1].toInt());
    return expected.size() == actual.size() &&
           CRYPTO_memcmp(expected.constData(), actual.constData(), size_t(actual.size())) == 0;
}

bool PasswordStore::checkPassword(const QString &typedPassword)
{
    return matches(typedPassword, storedValue());
}

bool PasswordStore::checkLogin(const QString &typedUserName, const QString &typedPassword)
{
    const std::optional<QString> stored = storedValue();
    // Both are checked, so that a wrong name takes as long as a wrong password.
    const bool passwordRight = matches(typedPassword, stored);
    if (typedUserName != userName || !passwordRight)
        return false;
    if (stored && !isHash(*stored))
        store(stored, hash(typedPassword));
    return true;
}

void PasswordStore::changePassword(const QString &newPassword)
{
    changePassword(newPassword, storedValue());
}

void PasswordStore::changePassword(const QString &newPassword, const std::optional<QString> &read)
{
    store(read, hash(newPassword));
}

} // namespace lexordo
