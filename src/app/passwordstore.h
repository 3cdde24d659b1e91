#pragma once

#include <optional>
#include <QString>

namespace lexordo {

// The one login of the office: a fixed user name and the password kept in
// table `password1`. The table holds a salted, slow hash of the password
// (PBKDF2 with HMAC-SHA-256), never the password itself. A plain-text
// password found in an older database is still accepted, once, and is then
// replaced by its hash.
//
// Passwords are compared with the blanks around them removed, letter case
// kept; the user name is compared exactly as typed.
class PasswordStore
{
public:
    static inline const QString userName = QStringLiteral("clerk");

    // The stored value of the table's first row; nothing when the table is empty.
    static std::optional<QString> storedValue(); // throws DataError

    // True when both the user name and the password are right. A right
    // password that was kept as plain text is hashed in its place.
    static bool checkLogin(const QString &typedUserName, const QString &typedPassword); // throws

    // True when the typed password is the stored one (blanks around both ignored).
    static bool checkPassword(const QString &typedPassword); // throws DataError

    // Keeps the hash of the new password (blanks around it removed) as the
    // table's password. An empty table gets its row.
    static void changePassword(const QString &newPassword); // throws DataError
    // The same, in place of the value `read` (as storedValue() gave it) only:
    // a password changed at another desk since is not overwritten
    // (ChangedElsewhere).
    static void changePassword(const QString &newPassword, const std::optional<QString> &read);

    // --- the hash ---
    // "pbkdf2-sha256$ITERATIONS$SALT$HASH", salt and hash in base64. A stored
    // hash is checked with the rounds it records, whatever rounds new hashes get.
    // New hashes take hashRounds() rounds.
    static QString hash(const QString &password);
    static QString hash(const QString &password, const QByteArray &salt, int iterations);
    static bool isHash(const QString &stored);
    // Whether the password matches a stored value (a hash, or plain text of an
    // older database); blanks around both are ignored. Empty storage: only an
    // empty password matches.
    static bool matches(const QString &password, const std::optional<QString> &stored);

    static constexpr int iterations = 600000;
    // The rounds of new hashes: `iterations` unless set otherwise. Only tests
    // lower it, so that they do not wait for the slow hash each time.
    static int hashRounds();
    static void setHashRounds(int rounds);
};

} // namespace lexordo
