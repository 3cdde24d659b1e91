#pragma once

#include <widgets/recordscreen.h>

namespace Ui {
class ReminderEntry;
}

namespace lexordo {

// The reminder register `frmRemEnt`: one dated reminder at a time, with its
// time and the work to be done. It opens on the last reminder stored.
class ReminderEntry : public RecordScreen
{
    Q_OBJECT

public:
    explicit ReminderEntry(QWidget *parent = nullptr);
    ~ReminderEntry() override;

    // Set by Modify, cleared by Add and by a Save after Modify: it decides
    // whether Save writes every changed row or the one new row.
    bool modifyFlag() const { return m_modify; }

protected:
    void add() override;
    void modify() override;
    void save() override;
    void deleteRecord() override;
    void moveFirst() override;
    void moveLast() override;
    void find() override;
    QString fieldText(const QString &column) const override;

private:
    Ui::ReminderEntry *ui;
    bool m_modify = false;
};

} // namespace lexordo
