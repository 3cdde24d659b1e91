#include "address.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace lexordo::browser {

namespace {

// "http:", "file:", "about:" ... but not "localhost:8080", a host and its port.
bool hasScheme(const QString &text)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:(?!\\d)"));
    return scheme.match(text).hasMatch();
}

} // namespace

QUrl addressUrl(const QString &typed)
{
    QString text = typed.trimmed();
    if (text.isEmpty())
        return QUrl();
    if (text == u'~' || text.startsWith(QStringLiteral("~/")))
        text = QDir::homePath() + text.mid(1);
    if (QDir::isAbsolutePath(text) || QFileInfo::exists(text))
        return QUrl::fromLocalFile(QFileInfo(text).absoluteFilePath());
    if (hasScheme(text))
        return QUrl(text, QUrl::TolerantMode);
    return QUrl(QStringLiteral("https://") + text, QUrl::TolerantMode);
}

} // namespace lexordo::browser
