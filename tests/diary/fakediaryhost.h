#pragma once

// A stand-in for the main window and the case register, so that the diary's
// smaller screens can be driven on their own.

#include "support/screenhostdouble.h"

#include <data/recordset.h>
#include <diary/casediary.h>
#include <QWidget>
#include <widgets/screennames.h>

namespace lexordo::test {

class FakeCaseRegister : public QWidget, public CaseDiary
{
public:
    FakeCaseRegister()
        : m_diary(RecordSource::table(QStringLiteral("advocate"))
                      .orderBy(QStringLiteral("cdate, courtindex")))
    {
        setObjectName(screens::caseRegister);
        setAttribute(Qt::WA_DeleteOnClose);
    }

    RecordSet *diary() override { return &m_diary; }
    void showMaximizedInFront() override
    {
        ++m_maximized;
        showMaximized();
    }
    void refreshAtLastRow() override
    {
        ++m_refreshed;
        m_diary.requery();
        m_diary.moveLast();
    }

    int timesMaximized() const { return m_maximized; }
    int timesRefreshed() const { return m_refreshed; }

private:
    RecordSet m_diary;
    int m_maximized = 0;
    int m_refreshed = 0;
};

class FakeHost : public ScreenHostDouble
{
public:
    FakeCaseRegister *caseRegister() const
    {
        return dynamic_cast<FakeCaseRegister *>(findScreen(screens::caseRegister));
    }
};

} // namespace lexordo::test
