#include "commandoptions.h"

#include <cstdio>

namespace lexordo {

QString readOptions(QStringList words, const QString &command, const QStringList &valued,
                    const QStringList &switches, QHash<QString, QString> &options)
{
    while (!words.isEmpty()) {
        const QString word = words.takeFirst();
        const qsizetype equals = word.indexOf(u'=');
        const QString option = equals > 0 ? word.left(equals) : word;
        const QString name = option.mid(2);
        const bool isSwitch = switches.contains(name) && equals < 0;
        if (!option.startsWith(QStringLiteral("--")) || (!valued.contains(name) && !isSwitch))
            return QStringLiteral("%1 is not an option of %2.").arg(word, command);
        if (options.contains(name))
            return QStringLiteral("%1 is given more than once.").arg(option);
        QString value;
        if (equals > 0) {
            value = word.mid(equals + 1);
        } else if (!isSwitch) {
            if (words.isEmpty())
                return QStringLiteral("%1 needs a value.").arg(option);
            value = words.takeFirst();
        }
        options.insert(name, value);
    }
    return QString();
}

bool asksForHelp(const QStringList &words)
{
    return words.contains(QStringLiteral("--help")) || words.contains(QStringLiteral("-h"));
}

std::optional<int> readFromFile(const QStringList &commandLine, const QString &command,
                                const char *usage, const QString &missing, QString &file)
{
    if (asksForHelp(commandLine)) {
        std::fputs(usage, stdout);
        return 0;
    }
    QHash<QString, QString> options;
    const QString problem =
        readOptions(commandLine.mid(1), command, {QStringLiteral("from")}, {}, options);
    if (!problem.isEmpty())
        return wrongArguments(command, problem);
    file = options.value(QStringLiteral("from"));
    if (file.isEmpty())
        return wrongArguments(command, missing);
    return std::nullopt;
}

int wrongArguments(const QString &command, const QString &problem)
{
    const QString usage = command.isEmpty() ? QStringLiteral("lexordo --help")
                                            : QStringLiteral("lexordo %1 --help").arg(command);
    std::fprintf(stderr, "%s %s tells how to use it.\n", qPrintable(problem), qPrintable(usage));
    return 2;
}

int failedWith(const QString &reason)
{
    std::fprintf(stderr, "%s\n", qPrintable(reason));
    return 1;
}

} // namespace lexordo
