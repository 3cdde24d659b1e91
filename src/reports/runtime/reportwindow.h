#pragma once

#include "reportdata.h"
#include "reportengine.h"

#include <functional>
#include <QList>
#include <QPointer>
#include <QWidget>

class QMdiSubWindow;
class QPrinter;

namespace Ui {
class ReportWindow;
}

namespace lexordo::report {

class PageView;

// The window a report is shown in: the pages one at a time at a chosen
// zoom, printing through the system's print dialog and export to PDF.
//
// When the window stops being the active one, or is closed, it lets go of
// the rows it read (the pages it laid out stay on show), and closes the
// screens that asked to close with it.
class ReportWindow : public QWidget
{
    Q_OBJECT

public:
    explicit ReportWindow(QWidget *parent = nullptr);
    ~ReportWindow() override;

    // Lays the report out, shows it in a new window through the host and
    // returns the window (it deletes itself when closed).
    static ReportWindow *open(const ReportLayout &layout, ReportData data,
                              QWidget *parent = nullptr);

    // Where report windows go: by default they are top-level windows; the
    // main window puts them into its workspace instead.
    using Host = std::function<void(QWidget *)>;
    static void setHost(Host host);
    static void present(QWidget *window);

    // The printer and its settings, kept from one print to the next.
    static QPrinter &printer();

    void setReport(const ReportLayout &layout, ReportData data);
    const ReportDocument &document() const { return m_document; }
    QString layoutName() const { return m_layoutName; }
    bool holdsData() const { return m_holdsData; }
    const ReportData &data() const { return m_data; }

    int currentPage() const { return m_page; } // 0-based
    void setCurrentPage(int index);
    double zoom() const; // 1.0 is life size; fitting zooms report what they chose

    // Closes the screen when the report lets go of its data.
    void closeOnRelease(QWidget *screen);

    bool exportPdf(const QString &path, QString *error = nullptr);
    // The file name offered on export: the report and its dates
    // ("cause-list-2026-12-08.pdf").
    QString fileName() const { return m_fileName; }
    static QString suggestedFileName(const ReportLayout &layout);
    void printOn(QPrinter &printer);

public slots:
    void print();
    void exportPdfAs();
    void firstPage();
    void previousPage();
    void nextPage();
    void lastPage();
    void zoomIn();
    void zoomOut();
    // Closes the report and the workspace frame it sits in.
    void closeWindow();

    // Lets go of the rows read and closes the screens registered to close.
    void release();

signals:
    void deactivated();
    void dataReleased();
    void closed();

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void updatePage();
    void applyZoom();
    void watchWorkspaceWindow();
    void onDeactivated();

    Ui::ReportWindow *ui;
    PageView *m_view;
    ReportDocument m_document;
    ReportData m_data;
    QString m_layoutName;
    QString m_fileName = QStringLiteral("report.pdf");
    bool m_holdsData = false;
    int m_page = 0;
    bool m_wasActive = false;
    bool m_inOwnDialog = false;
    QPointer<QMdiSubWindow> m_workspaceWindow;
    QList<QPointer<QWidget>> m_closeWithRelease;
};

} // namespace lexordo::report
