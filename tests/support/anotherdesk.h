#pragma once

// What an open register shows of another desk's write to the diary. Each
// check waits up to the two seconds a desk may wait; a failed check leaves the
// test failed (QTest::currentTestFailed()).

#include "support/testdatabase.h"

#include <data/recordset.h>
#include <QAbstractButton>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <widgets/recordscreen.h>

namespace lexordo::test::anotherdesk {

inline constexpr int wait = 2000; // ms

// The register's current row, its values joined: the same text is the same row.
inline QString currentRow(const RecordScreen &screen)
{
    const RecordSet &rows = *screen.recordSet();
    if (!rows.hasCurrentRow())
        return {};
    QStringList values;
    for (int column = 0; column < rows.fieldCount(); ++column)
        values << rows.textAt(rows.position(), column);
    return values.join(u'|');
}

inline bool holdsText(const RecordScreen &screen, const QString &text)
{
    const RecordSet &rows = *screen.recordSet();
    for (int row = 0; row < rows.rowCount(); ++row) {
        for (int column = 0; column < rows.fieldCount(); ++column) {
            if (rows.textAt(row, column) == text)
                return true;
        }
    }
    return false;
}

inline QLabel *note(const RecordScreen &screen)
{
    return screen.findChild<QLabel *>(QStringLiteral("lblChangedElsewhere"));
}

// Browsing: `insert`, run at another desk, shows as a row more, the screen on
// the row it was on, the note hidden.
inline void showsWhileBrowsing(const RecordScreen &screen, const TestDatabase &db,
                               const QString &insert)
{
    QVERIFY(note(screen));
    const int rows = screen.recordSet()->rowCount();
    const QString shown = currentRow(screen);
    QVERIFY(!shown.isEmpty());
    db.execElsewhere(insert);
    QTRY_COMPARE_WITH_TIMEOUT(screen.recordSet()->rowCount(), rows + 1, wait);
    QCOMPARE(currentRow(screen), shown);
    QVERIFY(note(screen)->isHidden());
}

// In the middle of a row (Modify where the register has it, then typing at
// the end of `field`): `insert`, run at another desk, brings the note and no
// re-read; Save stores what was typed and then shows the other desk's row.
inline void waitsForSave(const RecordScreen &screen, QWidget *field, const TestDatabase &db,
                         const QString &insert)
{
    QVERIFY(field && note(screen));
    if (QAbstractButton *modify = screen.button(RecordScreen::Role::Modify))
        modify->click();
    field->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(field, Qt::Key_End);
    const QString typed = QStringLiteral(" (typed)");
    QTest::keyClicks(field, typed);
    const QString stored = field->property("text").toString();
    const int rows = screen.recordSet()->rowCount();
    QSignalSpy reread(screen.recordSet(), &RecordSet::reset);

    db.execElsewhere(insert);
    QTRY_VERIFY_WITH_TIMEOUT(note(screen)->isVisible(), wait);
    QCOMPARE(note(screen)->text(), RecordScreen::changedElsewhereNote);
    QCOMPARE(reread.count(), 0);
    QCOMPARE(screen.recordSet()->rowCount(), rows);
    QCOMPARE(field->property("text").toString(), stored);

    screen.button(RecordScreen::Role::Save)->click();
    QTRY_VERIFY(note(screen)->isHidden());
    QCOMPARE(screen.recordSet()->rowCount(), rows + 1);
    QVERIFY(holdsText(screen, stored));
}

} // namespace lexordo::test::anotherdesk
