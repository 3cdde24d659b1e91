#pragma once

#include <data/dataerror.h>
#include <data/filter.h>
#include <data/recordset.h>
#include <data/recordsetmodel.h>
#include <functional>
#include <optional>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QWidget>
#include <widgets/changefollower.h>
#include <widgets/guard.h>

class QAbstractButton;
class QLabel;
class QLineEdit;
class QTableView;
class QTimer;

namespace lexordo {

// A register: one table edited through fields bound to the current row of a
// record set, ten buttons (add, modify, save, delete, four moves, find, exit)
// and a browse and an edit state. A register builds its form from its .ui,
// then says only what is its own: the record source, the fields, the grid, the
// search, and the steps it does differently (each step is virtual).
//
// What the user types stays in the field until the screen stores the row
// (Save) or leaves it (a move); it is then written into the record set, which
// refuses a text that is not a date or a number. A refused text is reported
// with the field's label and the text, and nothing typed is lost.
//
// The courts register is the smallest example of a register.
class RecordScreen : public QWidget
{
    Q_OBJECT

public:
    enum class Role { Add, Modify, Save, Delete, First, Previous, Next, Last, Find, Exit };
    enum class State { Browse, Edit };
    // How the buttons stand when the screen opens: most registers open with
    // all ten enabled; some open in the browse state (Save disabled).
    enum class Start { AllEnabled, Browse };
    enum class Lock { InBrowse, Never }; // whether browsing locks a field

    explicit RecordScreen(QWidget *parent = nullptr);
    ~RecordScreen() override;

    State state() const { return m_state; }
    // The object name of the screen's own record set, as its form names its data control.
    static inline const QString recordSetName = QStringLiteral("Adodc1");

    RecordSet *recordSet() const { return m_recordSet; } // the data control Adodc1
    QAbstractButton *button(Role role) const;
    QString buttonName(Role role) const;

    // Puts the keyboard on the grid (after a search, the list is what the
    // user reads next), or on the screen when it has none.
    void focusGrid();
    // Shows the screen maximised in front of the others (after a search from
    // another screen), the keyboard on its grid.
    void showMaximizedInFront();

    // Writes the typed text of the bound fields into the current row. A text
    // the column refuses is reported and the field keeps it; false then.
    bool storeTypedFields();

    // True while something typed is not yet stored in the table.
    bool hasUnsavedChanges() const;

    // What a following screen shows while another desk's changes wait for
    // the row being edited.
    static inline const QString changedElsewhereNote = ChangeFollower::noteText;

protected:
    // --- set-up, in a register's constructor after setupUi() ---
    void setButtonName(Role role, const QString &objectName);
    void openRecordSet(const RecordSource &source); // Adodc1; a failure is reported
    // A further record set of the screen.
    RecordSet *addRecordSet(const QString &name, const RecordSource &source);
    void bind(QWidget *field, const QString &column, Lock lock = Lock::InBrowse);
    void setGrid(QTableView *grid, const QList<RecordSetModel::Column> &columns);
    RecordSetModel *gridModel() const { return m_model; } // e.g. to let the grid edit
    void setFind(const QString &prompt, const QString &column, Filter::Op op);
    void setNotFoundText(const QString &text) { m_notFoundText = text; }
    void setReloadAfterDelete(bool reload) { m_reloadAfterDelete = reload; }
    void setDefaultDateOnFocus(QLineEdit *field);
    void watchFocus(QWidget *widget); // focus and double-click hooks for unbound widgets
    void start(Start buttons);        // the load: buttons wired, fields locked and filled
    // Follows what other desks write to the diary (changewatch.h). Browsing,
    // the rows are read again at once, on the same row, the grid where it
    // was. While the clerk is in the middle of a row (editing, adding, typing
    // in a field or a cell, answering a question) nothing is read: `note`
    // says so, without taking the keyboard, and the rows are read once the
    // row is stored or left.
    void followChangesElsewhere(QLabel *note);

    // Wires a further button of the register to a handler run by guardAction.
    void onClicked(QAbstractButton *button, const std::function<void()> &handler);

    // --- the steps of the pattern ---
    virtual void add();
    virtual void modify();
    virtual void save();
    virtual void deleteRecord();
    virtual void moveFirst();
    virtual void movePrevious();
    virtual void moveNext();
    virtual void moveLast();
    virtual void find();
    virtual void exitScreen();

    virtual void enterEditState();
    virtual void enterBrowseState();
    // Reads the rows again for another desk's changes, keeping the current
    // row and the grid's place; a register that shows more (a total) reads
    // that too. Throws DataError.
    virtual void showChangesElsewhere();
    // True while the clerk is in the middle of a row (see followChangesElsewhere).
    bool isBeingEdited() const;
    virtual void fieldFocusIn(QWidget *field);
    virtual void fieldFocusOut(QWidget *field);
    virtual void fieldDoubleClicked(QWidget *field);

    // Stores the pending row: typed text, then the table. A refusal is
    // reported, and false leaves the screen as it is.
    bool storePendingRow();
    // Deletes the current row. False when another desk changed or removed it
    // (told, and the row shown as it now stands); another failure is thrown.
    bool deleteUnlessChangedElsewhere();
    // Tells the user that another desk changed or removed the row, and shows
    // the row as the record set has read it again, in the browse state.
    void showReadAgain(const ChangedElsewhere &refusal);
    // Asked before closing with unsaved typing; Yes stores, false keeps the screen open.
    virtual bool saveBeforeClosing();
    virtual void discardChanges();

    void setButtons(State state);
    void setAllButtonsEnabled();
    void lockFields(bool locked);
    static void setFieldLocked(QWidget *field, bool locked);
    void refreshFields();
    // What a bound field shows of its column in the current row; a register
    // with a display format of its own (a time with AM/PM) says so here.
    virtual QString fieldText(const QString &column) const;
    QString labelOf(QWidget *field) const;
    // The amounts in these boxes, in order. The first box that holds no amount
    // is named with what it holds, gets the focus back, and nothing comes.
    std::optional<QList<double>> readAmounts(const QList<QLineEdit *> &boxes);
    // Puts the focus back into a field to be corrected; the focus hooks stay
    // out, so leaving another field runs no check and nothing typed is replaced.
    void returnFocusTo(QWidget *field);
    // Puts the cursor in the first field to type, in tab order.
    void focusFirstField();
    // Selects a field's text on entry, so that typing replaces it.
    static void selectOnEntry(QLineEdit *edit);
    static bool isLocked(QWidget *field);
    // Enter in a field: on to the next field to type, after the last to Save.
    void enterPressed(QWidget *field);

    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Field
    {
        QPointer<QWidget> widget;
        QString column;
        Lock lock = Lock::InBrowse;
        bool typed = false;
    };

    void dispatch(Role role);
    void showField(Field &field);
    Field *fieldFor(QWidget *widget);
    void markTyped(QWidget *widget);
    void syncGridToRecordSet();
    void gridRowChosen(int row);

    RecordSet *m_recordSet;
    QList<Field> m_fields;
    QHash<Role, QString> m_buttonNames;
    QList<QLineEdit *> m_dateOnFocus;
    QPointer<QTableView> m_grid;
    RecordSetModel *m_model = nullptr;

    State m_state = State::Browse;
    QString m_findPrompt;
    QString m_findColumn;
    Filter::Op m_findOp = Filter::Op::Contains;
    QString m_notFoundText;
    bool m_reloadAfterDelete = true;
    bool m_filling = false; // the screen itself is writing the fields
    bool m_syncingGrid = false;
    bool m_modelChanging = false;
    bool m_closing = false;
    bool m_quietFocus = false;   // the screen moves the focus; the focus hooks stay out
    QPointer<QWidget> m_entered; // the field the user is in, through window switches

    QPointer<ChangeFollower> m_follower;
};

} // namespace lexordo
