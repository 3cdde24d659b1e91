#pragma once

#include <QString>

namespace lexordo::browser {

// The pages behind the browser's Home and Search keys, kept in the user's
// settings ([browser] homePage and searchPage).
inline const QString defaultHomePage = QStringLiteral("https://ecourts.gov.in/");
inline const QString defaultSearchPage = QStringLiteral("https://duckduckgo.com/");

QString homePage();
void setHomePage(const QString &address);
QString searchPage();
void setSearchPage(const QString &address);

} // namespace lexordo::browser
