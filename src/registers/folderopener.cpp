#include "folderopener.h"

#include <data/messenger.h>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace lexordo {

namespace {

FolderOpener::Opener &installed()
{
    static FolderOpener::Opener opener;
    return opener;
}

} // namespace

FolderOpener::Opener FolderOpener::setOpener(Opener opener)
{
    Opener previous = std::move(installed());
    installed() = std::move(opener);
    return previous;
}

bool FolderOpener::open(const QString &path)
{
    const QString folder = path.trimmed();
    if (folder.isEmpty()) {
        showMessage(QStringLiteral("No folder path is entered for this client."),
                    Messenger::Buttons::Ok, Messenger::Icon::Exclamation);
        return false;
    }
    const QFileInfo info(folder);
    if (!info.exists() || !info.isDir()) {
        showMessage(QStringLiteral("The folder \"%1\" does not exist.").arg(folder),
                    Messenger::Buttons::Ok, Messenger::Icon::Exclamation);
        return false;
    }
    // A file URL carries blanks and any script in the path as they are.
    const QUrl url = QUrl::fromLocalFile(QDir::cleanPath(info.absoluteFilePath()));
    const bool opened = installed() ? installed()(url) : QDesktopServices::openUrl(url);
    if (!opened) {
        showMessage(QStringLiteral("The folder \"%1\" could not be opened: no file browser "
                                   "is available on this computer.")
                        .arg(folder),
                    Messenger::Buttons::Ok, Messenger::Icon::Exclamation);
        return false;
    }
    return true;
}

} // namespace lexordo
