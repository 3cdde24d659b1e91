#pragma once

#include "filter.h"
#include "recordsource.h"
#include "valuecodec.h"

#include <memory>
#include <QObject>
#include <QString>
#include <QVariant>
#include <vector>

namespace lexordo {

// A view of a record source with a current row, and the changes made to its
// rows until they are stored. The database does the work: a filter becomes a
// WHERE and a sort an ORDER BY with bound values (viewquery.h), and the view
// holds only the keys of its rows in order (keywindow.h); the rows themselves
// are read as they are shown, a few at a time (rowcache.h), so memory follows
// what is on the screen, not the table. Stores go back to the table row by
// row (rowwriter.h). A table source can be changed; a query is read-only and
// read whole.
//
// The position is a row of the view (0 .. rowCount()-1), or before the first
// row (BOF, position -1), or after the last row (EOF, position rowCount()).
// Changes to the current row are pending until update(); moving to another
// row or re-reading stores them first.
class RecordSet : public QObject
{
    Q_OBJECT

public:
    using FieldType = lexordo::FieldType;

    explicit RecordSet(QObject *parent = nullptr);
    explicit RecordSet(const RecordSource &source, QObject *parent = nullptr); // opens; throws
    ~RecordSet() override;

    // A query's "?" marks are bound to its values again at each re-read.
    void open(const RecordSource &source); // throws DataError
    void requery();                        // stores pending changes, re-reads, drops the filter
    // Stores pending changes and re-reads the rows that pass `filter`, in the
    // source's order: requery() and then setFilter(filter), in one re-read.
    void requery(const Filter &filter); // throws DataError
    // Stores pending changes and reads the view again as it stands, filter
    // and sort kept, for what another desk wrote. The current row stays the
    // same row while the view still holds it; otherwise the row now in its
    // place, or the last. Throws DataError.
    void reread();
    void close(); // pending changes are discarded
    bool isOpen() const;
    const RecordSource &source() const;
    bool isUpdatable() const;
    QString tableName() const;

    int fieldCount() const;
    QString fieldName(int column) const;
    FieldType fieldType(int column) const;
    int fieldIndex(const QString &name) const; // letter case ignored; -1 when unknown

    int rowCount() const;
    int position() const;
    bool isBOF() const;
    bool isEOF() const;
    bool hasCurrentRow() const;

    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();
    void moveTo(int row);

    // The current row. Dates come as QDate, times as QTime, numbers as double
    // (whole numbers of integer columns as qint64), NULL as an invalid QVariant.
    QVariant value(int column) const;
    QVariant value(const QString &name) const;
    QString text(int column) const; // dates "dd/MM/yyyy", numbers plain
    QString text(const QString &name) const;
    bool isNull(int column) const;
    bool isNull(const QString &name) const;

    // Sets a column of the current row. Text is converted to the column's
    // type; text that is not a valid date, time or number is refused with an
    // error naming the column and the text, and the row is left as it was.
    // Empty text is stored as NULL.
    void setValue(int column, const QVariant &value);
    void setValue(const QString &name, const QVariant &value);

    QVariant valueAt(int row, int column) const;
    QString textAt(int row, int column) const;

    // A stored row is changed or deleted only while it still holds the
    // values read; otherwise nothing is written, the row is read again and
    // ChangedElsewhere is thrown.
    void addNew();         // a new empty row after the last, made current
    void update();         // stores the current row when it has changes or is new
    void updateBatch();    // stores every pending row
    void cancelUpdate();   // forgets the current row's changes; a new row goes away
    bool isDirty() const;  // the current row has changes not yet stored
    bool isNewRow() const; // the current row was added and not yet stored
    bool hasPendingChanges() const;
    void deleteCurrent(); // the position then stands where the row was

    void setFilter(const Filter &filter); // moves to the first matching row
    void clearFilter();
    const Filter &filter() const;

    void setSort(const QString &columns); // "cdate, courtindex desc"
    QString sort() const;

    // What a column takes, and a value converted for it as setValue does (valuecodec.h).
    static QString typeName(FieldType type) { return fieldTypeName(type); }
    static QVariant convert(FieldType type, const QString &column, const QVariant &value)
    {
        return convertForColumn(type, column, value);
    }

signals:
    // Each change of the rows is announced before it happens and reported after.
    void aboutToReset();
    void reset();
    void aboutToInsertRow(int row);
    void rowInserted(int row);
    void aboutToRemoveRow(int row);
    void rowRemoved(int row);
    void rowChanged(int row);
    void positionChanged();

private:
    struct Data;
    std::unique_ptr<Data> d;

    qint64 currentKey() const;
    qint64 requireCurrentRow() const;
    void storePendingBeforeMove();
    void setPosition(int position);
    void readKeys(const Filter &filter, const QString &sort);
    int rowOfKey(qint64 key, int near) const; // -1 when the view does not hold it
    void storeRow(qint64 key);
    // The row no longer holds what was read: its changes are dropped, it is
    // read again (or leaves the view when it is gone), and ChangedElsewhere
    // is thrown.
    [[noreturn]] void readAgainAndRefuse(qint64 key);
    // Refuses as above unless the row still holds `read` (what the database
    // gave when it was read); `missing` when it was not there to read.
    void requireAsRead(qint64 key, const std::vector<QVariant> &read, bool missing);
    void removeFromView(int at);
};

} // namespace lexordo
