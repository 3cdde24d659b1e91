#pragma once

#include <functional>
#include <QString>

class QUrl;

namespace lexordo {

// Opens a client's folder in the desktop's file browser. The opener is the
// desktop's standard one; tests put their own in its place to see the folder
// handed over without starting a file browser.
class FolderOpener
{
public:
    using Opener = std::function<bool(const QUrl &)>;

    // Installs an opener (nullptr: the desktop's own); returns the one before.
    static Opener setOpener(Opener opener);

    // Opens the folder, trimmed of blanks at both ends. An empty path, a
    // folder that does not exist and a desktop that cannot open it are told
    // through the messenger; false then.
    static bool open(const QString &path);
};

} // namespace lexordo
