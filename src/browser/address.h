#pragma once

#include <QString>
#include <QUrl>

namespace lexordo::browser {

// What an address typed into the browser's address box means. An address
// with its scheme ("http://...", "file:///...", "about:blank") is taken as
// typed; a path of this computer (absolute, "~/...", or one that exists from
// the program's folder) opens as a file; anything else is a host name, and
// its page is asked for with https. An empty text is no address.
QUrl addressUrl(const QString &typed);

} // namespace lexordo::browser
