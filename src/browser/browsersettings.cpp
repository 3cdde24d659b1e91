#include "browsersettings.h"

#include <QSettings>

namespace lexordo::browser {

namespace {

const QString homePageKey = QStringLiteral("browser/homePage");
const QString searchPageKey = QStringLiteral("browser/searchPage");

QSettings settings()
{
    return QSettings(QStringLiteral("Lexordo"), QStringLiteral("Lexordo"));
}

QString valueOr(const QString &key, const QString &fallback)
{
    const QString value = settings().value(key).toString().trimmed();
    return value.isEmpty() ? fallback : value;
}

} // namespace

QString homePage()
{
    return valueOr(homePageKey, defaultHomePage);
}

void setHomePage(const QString &address)
{
    settings().setValue(homePageKey, address.trimmed());
}

QString searchPage()
{
    return valueOr(searchPageKey, defaultSearchPage);
}

void setSearchPage(const QString &address)
{
    settings().setValue(searchPageKey, address.trimmed());
}

} // namespace lexordo::browser
