#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace lexordo {

// The options of a command word: "--name VALUE" or "--name=VALUE" for each
// of `valued`, "--name" alone for each of `switches`, each at most once.
// Fills `options` (a switch given maps to an empty value) and returns the
// problem in one sentence naming the argument; empty when the words fit.
QString readOptions(QStringList words, const QString &command, const QStringList &valued,
                    const QStringList &switches, QHash<QString, QString> &options);

} // namespace lexordo
