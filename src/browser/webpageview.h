#pragma once

#include "pageview.h"

#include <QPointer>

class QWebEngineDownloadRequest;
class QWebEngineView;

namespace lexordo {

// Settings that the web engine needs before the application object exists:
// shared graphics contexts, and no sandbox of its own when run as root (where
// the engine refuses to start with one).
void prepareWebEngine();

// The page view of the program: Qt WebEngine.
class WebPageView : public PageView
{
    Q_OBJECT

public:
    explicit WebPageView(QObject *parent = nullptr);
    ~WebPageView() override;

    QWidget *widget() override;
    void navigate(const QString &address) override;
    bool goBack() override;
    bool goForward() override;
    void stop() override;
    void refresh() override;
    QString title() const override;
    QString address() const override;
    bool isBusy() const override;

private:
    static void reportDownload(QWebEngineDownloadRequest *download);

    QPointer<QWebEngineView> m_view;
    bool m_busy = false;
};

} // namespace lexordo
