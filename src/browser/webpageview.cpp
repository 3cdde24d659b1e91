#include "webpageview.h"

#include "address.h"

#include <data/dataerror.h>
#include <data/messenger.h>
#include <data/safewrite.h>
#include <QCoreApplication>
#include <QDir>
#include <QUrl>
#include <QWebEngineDownloadRequest>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <unistd.h>

namespace lexordo {

void prepareWebEngine()
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (::geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

namespace {

// The browser writes a download itself; a file named like the diary or its
// journals (a downloads folder set to the program's own) is not started.
bool refusesDiary(QWebEngineDownloadRequest *download)
{
    try {
        safewrite::refuseDiary(
            QDir(download->downloadDirectory()).filePath(download->downloadFileName()));
        return false;
    } catch (const DataError &e) {
        download->cancel();
        showMessage(e.description(), Messenger::Buttons::Ok, Messenger::Icon::Critical);
        return true;
    }
}

} // namespace

WebPageView::WebPageView(QObject *parent) : PageView(parent), m_view(new QWebEngineView)
{
    connect(m_view, &QWebEngineView::loadStarted, this, [this] {
        m_busy = true;
        emit navigationStarted();
    });
    connect(m_view, &QWebEngineView::loadFinished, this, [this](bool) {
        m_busy = false;
        emit navigationComplete(address());
        emit downloadComplete();
    });
    connect(m_view->page(), &QWebEnginePage::loadingChanged, this,
            [this](const QWebEngineLoadingInfo &info) {
                if (info.status() == QWebEngineLoadingInfo::LoadFailedStatus)
                    emit navigationFailed(info.url().toString(), info.errorString());
            });
    connect(m_view, &QWebEngineView::titleChanged, this, [this] {
        if (!m_busy)
            emit downloadComplete();
    });

    // Courts publish cause lists and orders as PDF files: they open in the
    // page, and a file the page cannot show is saved to the downloads folder.
    m_view->settings()->setAttribute(QWebEngineSettings::PluginsEnabled, true);
    m_view->settings()->setAttribute(QWebEngineSettings::PdfViewerEnabled, true);
    connect(m_view->page()->profile(), &QWebEngineProfile::downloadRequested, this,
            [this](QWebEngineDownloadRequest *download) {
                if (download->page() != m_view->page())
                    return;
                if (refusesDiary(download))
                    return;
                download->accept();
                connect(download, &QWebEngineDownloadRequest::isFinishedChanged, this,
                        [download] { reportDownload(download); });
            });
}

void WebPageView::reportDownload(QWebEngineDownloadRequest *download)
{
    if (download->state() == QWebEngineDownloadRequest::DownloadCompleted) {
        showMessage(
            QStringLiteral("Saved as %1")
                .arg(QDir::toNativeSeparators(
                    QDir(download->downloadDirectory()).filePath(download->downloadFileName()))));
    } else {
        showMessage(QStringLiteral("%1 could not be saved: %2")
                        .arg(download->downloadFileName(), download->interruptReasonString()),
                    Messenger::Buttons::Ok, Messenger::Icon::Exclamation);
    }
}

WebPageView::~WebPageView()
{
    // The view belongs to the window that shows it; one never shown goes here.
    if (m_view && !m_view->parent())
        delete m_view;
}

QWidget *WebPageView::widget()
{
    return m_view;
}

void WebPageView::navigate(const QString &address)
{
    const QUrl url = browser::addressUrl(address);
    if (!url.isValid())
        throw PageError("That is not a web address.");
    m_view->load(url);
}

bool WebPageView::goBack()
{
    if (!m_view->history()->canGoBack())
        return false;
    m_view->back();
    return true;
}

bool WebPageView::goForward()
{
    if (!m_view->history()->canGoForward())
        return false;
    m_view->forward();
    return true;
}

void WebPageView::stop()
{
    m_view->stop();
    m_busy = false;
}

void WebPageView::refresh()
{
    m_view->reload();
}

QString WebPageView::title() const
{
    return m_view->title();
}

QString WebPageView::address() const
{
    return m_view->url().toString();
}

bool WebPageView::isBusy() const
{
    return m_busy;
}

} // namespace lexordo
