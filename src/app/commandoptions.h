#pragma once

#include <optional>
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

// True when the words ask for the command's usage.
bool asksForHelp(const QStringList &words);

// The words of a command that takes only "--from FILE": prints `usage` when
// asked for it, and names a wrong or missing argument (`missing` says what
// FILE is). Gives the exit status when the command stops there; otherwise
// nothing, with the file in `file`.
std::optional<int> readFromFile(const QStringList &commandLine, const QString &command,
                                const char *usage, const QString &missing, QString &file);

// Wrong arguments: one line on standard error naming the problem and where
// the usage is ("lexordo COMMAND --help"; the program's own with no
// command). Returns the exit status 2.
int wrongArguments(const QString &command, const QString &problem);

// A fault of the diary or of a file: its reason on standard error. Returns
// the exit status 1.
int failedWith(const QString &reason);

} // namespace lexordo
