#pragma once

#include <diary/casediary.h>
#include <widgets/recordscreen.h>

class QModelIndex;
class QPushButton;

namespace Ui {
class CaseRegister;
}

namespace lexordo {

class MovingBand;
class RecordSetModel;

namespace diary {
class DiaryCellDelegate;
}

// The case register `frmCases`: the diary of hearings, one row per listing of
// a case on a date. Opening it carries today's hearings forward. In browse
// state the court, the next fixed-for text, the remarks (until the first
// Save) and the grid stay editable: what is typed there is stored when the
// row changes or the diary is re-read. A next date on a Sunday or a holiday
// is questioned; a court is looked up for its index.
class CaseRegister : public RecordScreen, public CaseDiary
{
    Q_OBJECT

public:
    explicit CaseRegister(QWidget *parent = nullptr);
    ~CaseRegister() override;

    using QWidget::close;

    // CaseDiary
    RecordSet *diary() override;
    void showMaximizedInFront() override;
    void refreshAtLastRow() override;

protected:
    void add() override;
    void modify() override;
    void save() override;
    void deleteRecord() override;
    void moveFirst() override;
    void moveLast() override;
    void find() override;
    void enterEditState() override;
    void enterBrowseState() override;
    void fieldFocusOut(QWidget *field) override;
    void showChangesElsewhere() override;

    void showEvent(QShowEvent *event) override;

private:
    void offerMissedHearings(const QDate &today);
    void lookUpCourt();
    void checkNextDate();
    void checkGridNextDate(const QModelIndex &index);
    bool confirmNextDate(const QDate &date, const QDate &hearing);
    static QString workingDayHint(const QDate &refused, const QDate &hearing);
    void gridEditRefused(const QModelIndex &index, const QString &text);
    void showDecidedCases();
    void showPartyHistory();
    void refreshDataBase();
    void showList(bool allCases);
    void seeClientsDetails();
    void countCases();
    void showTotal(int count);
    void refreshTotal();
    void sortByColumn(int column);
    static QStringList savedRowKey();
    void goToRow(const QVariantList &values);
    void setLocked(const QList<QWidget *> &fields, bool locked);
    void setGridEditable(bool editable);
    // The form's Refresh Data Base button.
    QPushButton *refreshButton() const;

    Ui::CaseRegister *ui;
    RecordSet *m_courts = nullptr;
    RecordSet *m_total = nullptr;
    RecordSetModel *m_totalModel = nullptr;
    diary::DiaryCellDelegate *m_cellDelegate = nullptr;
    MovingBand *m_band = nullptr;
    bool m_changeCourt = false;
    int m_sortColumn = -1;
    bool m_sortDescending = false;
    bool m_shownBefore = false;
    bool m_totalCountsView = false; // the total shows the rows of a filter, not the cases
};

} // namespace lexordo
