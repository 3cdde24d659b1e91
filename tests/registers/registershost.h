#pragma once

// A stand-in for the main window that opens the registers and their search
// screens by name, as the menu does, and finds the report windows opened.

#include "support/screenhostdouble.h"

#include <QApplication>
#include <QPointer>
#include <reports/runtime/reportwindow.h>

namespace lexordo::test {

class RegistersHost : public ScreenHostDouble
{
public:
    ~RegistersHost() override { closeReports(); }

    static QList<report::ReportWindow *> reports(const QString &layoutName)
    {
        QList<report::ReportWindow *> found;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            auto *window = qobject_cast<report::ReportWindow *>(w);
            if (window && window->isVisible() && window->layoutName() == layoutName)
                found << window;
        }
        return found;
    }

    static void closeReports()
    {
        // Deleting one window may take another with it.
        QList<QPointer<QWidget>> windows;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (qobject_cast<report::ReportWindow *>(w))
                windows << w;
        }
        for (const QPointer<QWidget> &w : std::as_const(windows))
            delete w.data();
    }
};

} // namespace lexordo::test
