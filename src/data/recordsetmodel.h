#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QPointer>

namespace lexordo {

class RecordSet;

// Shows a record set in a grid: one grid row per row of the record set's view,
// the columns chosen by name with their captions. The grid and the record set
// move together: a grid that follows currentRowChanged() and calls
// RecordSet::moveTo() stays on the current row.
class RecordSetModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    struct Column
    {
        QString caption;
        QString field;               // empty for a column without a field (prints empty)
        QString toolTip = QString(); // the column's header, in words
    };

    explicit RecordSetModel(RecordSet *recordSet, QObject *parent = nullptr);

    void setColumns(const QList<Column> &columns);
    const QList<Column> &columns() const { return m_columns; }
    void setEditable(bool editable) { m_editable = editable; }
    RecordSet *recordSet() const { return m_recordSet; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

    // The last refusal of an edit made in the grid (a text that is not a date).
    QString lastError() const { return m_lastError; }
    // The last edit was refused because another desk changed the row before
    // it: the row has been read again, and readAgain() was sent instead of
    // editRefused().
    bool lastEditReadAgain() const { return m_readAgain; }

signals:
    void editRefused(const QString &description);
    void readAgain();
    // The grid asked for what the record set could not read; it shows nothing
    // there. Sent once, at the first failure, until the record set is read
    // again: a view that asks for every cell raises no flood. It comes while
    // the view paints, so a screen tells it through a queued connection.
    void readFailed(const QString &description);

private:
    int fieldOf(int column) const;
    void refreshFields();
    void reportReadFailure(const QString &description) const;

    QPointer<RecordSet> m_recordSet;
    QList<Column> m_columns;
    QList<int> m_fields;
    bool m_editable = false;
    QString m_lastError;
    bool m_readAgain = false;
    mutable bool m_readFailed = false; // reported since the record set was last read
};

} // namespace lexordo
