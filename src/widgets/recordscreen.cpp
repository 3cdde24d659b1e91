#include "recordscreen.h"

#include "changefollower.h"
#include "enterkey.h"
#include "recordgrid.h"
#include "screenhost.h"

#include <algorithm>
#include <data/amounts.h>
#include <data/clock.h>
#include <data/dataerror.h>
#include <data/dates.h>
#include <data/messenger.h>
#include <data/recordset.h>
#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>
#include <QTimer>

static void initFormsResources()
{
    Q_INIT_RESOURCE(forms);
}

namespace lexordo {

namespace {

const QHash<RecordScreen::Role, QString> &defaultButtonNames()
{
    using Role = RecordScreen::Role;
    static const QHash<Role, QString> names{
        {Role::Add, QStringLiteral("cmdAdd")},     {Role::Modify, QStringLiteral("cmdModify")},
        {Role::Save, QStringLiteral("cmdSave")},   {Role::Delete, QStringLiteral("cmdDelete")},
        {Role::First, QStringLiteral("cmdFirst")}, {Role::Previous, QStringLiteral("cmdPrevious")},
        {Role::Next, QStringLiteral("cmdNext")},   {Role::Last, QStringLiteral("cmdLast")},
        {Role::Find, QStringLiteral("cmdFind")},   {Role::Exit, QStringLiteral("cmdExit")},
    };
    return names;
}

constexpr RecordScreen::Role allRoles[] = {
    RecordScreen::Role::Add,    RecordScreen::Role::Modify, RecordScreen::Role::Save,
    RecordScreen::Role::Delete, RecordScreen::Role::First,  RecordScreen::Role::Previous,
    RecordScreen::Role::Next,   RecordScreen::Role::Last,   RecordScreen::Role::Find,
    RecordScreen::Role::Exit,
};

// The paper behind every register, and a quieter look for locked fields.
const QString screenStyle =
    QStringLiteral("lexordo--RecordScreen { background-image: url(:/forms/images/screen.png); }\n"
                   "QLineEdit[readOnly=\"true\"], QPlainTextEdit[readOnly=\"true\"] {"
                   " background: #f7f4ec; color: #202020; }\n");

QString widgetText(QWidget *widget)
{
    if (auto *edit = qobject_cast<QLineEdit *>(widget))
        return edit->text();
    if (auto *text = qobject_cast<QPlainTextEdit *>(widget))
        return text->toPlainText();
    if (auto *combo = qobject_cast<QComboBox *>(widget))
        return combo->currentText();
    return QString();
}

void setWidgetText(QWidget *widget, const QString &text)
{
    if (auto *edit = qobject_cast<QLineEdit *>(widget)) {
        edit->setText(text);
        edit->setCursorPosition(0);
    } else if (auto *plain = qobject_cast<QPlainTextEdit *>(widget)) {
        plain->setPlainText(text);
    } else if (auto *combo = qobject_cast<QComboBox *>(widget)) {
        if (combo->isEditable())
            combo->setEditText(text);
        else
            combo->setCurrentIndex(combo->findText(text));
    }
}

} // namespace

RecordScreen::RecordScreen(QWidget *parent)
    : QWidget(parent), m_recordSet(new RecordSet(this)), m_buttonNames(defaultButtonNames()),
      m_notFoundText(QStringLiteral("Record Not Found "))
{
    initFormsResources();
    setAttribute(Qt::WA_StyledBackground);
    m_recordSet->setObjectName(recordSetName);

    connect(m_recordSet, &RecordSet::positionChanged, this, [this] {
        refreshFields();
        syncGridToRecordSet();
    });
    connect(m_recordSet, &RecordSet::rowChanged, this, [this](int row) {
        if (row != m_recordSet->position())
            return;
        for (Field &field : m_fields) {
            if (!field.typed)
                showField(field);
        }
    });
}

RecordScreen::~RecordScreen()
{
    // The widgets go after this part of the screen; an editor they close on
    // the way must find no screen listening to the record set.
    m_recordSet->disconnect(this);
}

// --- set-up --------------------------------------------------------------------

void RecordScreen::setButtonName(Role role, const QString &objectName)
{
    m_buttonNames[role] = objectName;
}

QString RecordScreen::buttonName(Role role) const
{
    return m_buttonNames.value(role);
}

QAbstractButton *RecordScreen::button(Role role) const
{
    return findChild<QAbstractButton *>(m_buttonNames.value(role));
}

void RecordScreen::openRecordSet(const RecordSource &source)
{
    guardAction([&] { m_recordSet->open(source); });
}

RecordSet *RecordScreen::addRecordSet(const QString &name, const RecordSource &source)
{
    auto *recordSet = new RecordSet(this);
    recordSet->setObjectName(name);
    guardAction([&] { recordSet->open(source); });
    return recordSet;
}

void RecordScreen::bind(QWidget *field, const QString &column, Lock lock)
{
    m_fields.append(Field{field, column, lock, false});
    watchFocus(field);
    auto typed = [this, field] { markTyped(field); };
    if (auto *edit = qobject_cast<QLineEdit *>(field))
        connect(edit, &QLineEdit::textChanged, this, typed);
    else if (auto *plain = qobject_cast<QPlainTextEdit *>(field))
        connect(plain, &QPlainTextEdit::textChanged, this, typed);
    else if (auto *combo = qobject_cast<QComboBox *>(field))
        connect(combo, &QComboBox::currentTextChanged, this, typed);
}

void RecordScreen::watchFocus(QWidget *widget)
{
    widget->installEventFilter(this);
}

void RecordScreen::setGrid(QTableView *grid, const QList<RecordSetModel::Column> &columns)
{
    m_grid = grid;
    m_model = new RecordSetModel(m_recordSet, this);
    m_model->setColumns(columns);
    tellReadFailures(m_model);
    // While rows come and go the grid moves its own current row; that is not
    // the user choosing a row. These run before the grid hears of a change,
    // the ones after setModel() after it has dealt with it.
    auto changing = [this] { m_modelChanging = true; };
    auto changed = [this] { m_modelChanging = false; };
    connect(m_model, &QAbstractItemModel::rowsAboutToBeRemoved, this, changing);
    connect(m_model, &QAbstractItemModel::rowsAboutToBeInserted, this, changing);
    connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this, changing);
    // Rows of one height: a grid of many thousand rows scrolls without measuring
    // them. Set before the model, the header makes its rows once, already fixed.
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 8);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->setModel(m_model);
    // An edit in the grid refused because another desk changed the row is
    // told once the grid has closed its editor.
    connect(
        m_model, &RecordSetModel::readAgain, this,
        [this] { guardAction([this] { showReadAgain(ChangedElsewhere()); }); },
        Qt::QueuedConnection);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, changed);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, changed);
    connect(m_model, &QAbstractItemModel::modelReset, this, changed);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setWordWrap(false);
    grid->horizontalHeader()->setStretchLastSection(true);
    GridColumns::attach(grid, objectName() + u'/' + grid->objectName());
    connect(grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (m_syncingGrid || m_modelChanging || !current.isValid())
                    return;
                guardAction([&] { gridRowChosen(current.row()); });
            });
}

void RecordScreen::setFind(const QString &prompt, const QString &column, Filter::Op op)
{
    m_findPrompt = prompt;
    m_findColumn = column;
    m_findOp = op;
}

void RecordScreen::setDefaultDateOnFocus(QLineEdit *field)
{
    m_dateOnFocus.append(field);
}

void RecordScreen::start(Start buttons)
{
    setStyleSheet(screenStyle + styleSheet());
    for (Role role : allRoles) {
        if (QAbstractButton *b = button(role))
            onClicked(b, [this, role] { dispatch(role); });
    }
    m_state = State::Browse;
    lockFields(true);
    if (buttons == Start::AllEnabled)
        setAllButtonsEnabled();
    else
        setButtons(State::Browse);
    refreshFields();
    syncGridToRecordSet();
    pressButtonsOnEnter(this);
    // The keyboard is the screen's from the start: browsing starts in the
    // list, not in a field whose leaving runs a check; a screen without a
    // list starts on Add.
    if (m_grid) {
        GridColumns::of(m_grid)->fit();
        m_grid->setFocus(Qt::OtherFocusReason);
    } else if (QAbstractButton *add = button(Role::Add); add && add->isEnabled()) {
        add->setFocus(Qt::OtherFocusReason);
    }
}

void RecordScreen::followChangesElsewhere(QLabel *note)
{
    if (m_follower)
        return;
    m_follower = new ChangeFollower(
        this, note, [this] { return isBeingEdited(); }, [this] { showChangesElsewhere(); });
}

bool RecordScreen::isBeingEdited() const
{
    if (m_state == State::Edit || m_closing || actionUnderWay() || hasUnsavedChanges())
        return true;
    // A cell's editor is a child of the grid, holding the keyboard.
    const QWidget *focused = QApplication::focusWidget();
    return m_grid && focused && focused != m_grid && m_grid->isAncestorOf(focused);
}

void RecordScreen::showChangesElsewhere()
{
    // The current row stays as far from the top of the grid as it was; a
    // grid scrolled away from it keeps its top row.
    int top = -1;
    int offset = -1;
    int across = 0;
    if (m_grid && m_model) {
        top = m_grid->rowAt(0);
        const int bottom = m_grid->rowAt(m_grid->viewport()->height() - 1);
        const int current = m_recordSet->position();
        if (top >= 0 && current >= top && (bottom < 0 || current <= bottom))
            offset = current - top;
        across = m_grid->horizontalScrollBar()->value();
    }
    m_recordSet->reread();
    if (!m_grid || !m_model || top < 0)
        return;
    const int rows = m_model->rowCount();
    if (rows > 0) {
        const int first = offset >= 0 ? m_recordSet->position() - offset : top;
        m_grid->scrollTo(m_model->index(std::clamp(first, 0, rows - 1), 0),
                         QAbstractItemView::PositionAtTop);
    }
    m_grid->horizontalScrollBar()->setValue(across);
}

// --- error handling --------------------------------------------------------------

void RecordScreen::onClicked(QAbstractButton *button, const std::function<void()> &handler)
{
    connect(button, &QAbstractButton::clicked, this, [handler] { guardAction(handler); });
}

void RecordScreen::dispatch(Role role)
{
    switch (role) {
    case Role::Add:
        add();
        break;
    case Role::Modify:
        modify();
        break;
    case Role::Save:
        save();
        break;
    case Role::Delete:
        deleteRecord();
        break;
    case Role::First:
        moveFirst();
        break;
    case Role::Previous:
        movePrevious();
        break;
    case Role::Next:
        moveNext();
        break;
    case Role::Last:
        moveLast();
        break;
    case Role::Find:
        find();
        break;
    case Role::Exit:
        exitScreen();
        break;
    }
}

// --- the steps -------------------------------------------------------------------------

void RecordScreen::add()
{
    if (!storeTypedFields())
        return;
    if (!askYesNo(QStringLiteral("Do you really want to add record")))
        return;
    // A row that cannot be added leaves the screen browsing.
    m_recordSet->addNew();
    enterEditState();
    focusFirstField();
}

void RecordScreen::modify()
{
    enterEditState();
}

void RecordScreen::save()
{
    // A row the database or a column refuses is reported, and the screen stays
    // in the edit state with everything typed still there.
    if (!storePendingRow())
        return;
    enterBrowseState();
    m_recordSet->moveLast();
}

void RecordScreen::deleteRecord()
{
    if (m_recordSet->rowCount() == 0)
        m_recordSet->requery();
    if (!askYesNo(QStringLiteral("Really You want to delete this record ")))
        return;
    if (m_recordSet->rowCount() == 0 || m_recordSet->isEOF())
        return;
    if (!deleteUnlessChangedElsewhere())
        return;
    if (m_reloadAfterDelete)
        m_recordSet->requery();
    if (m_recordSet->rowCount() > 0)
        m_recordSet->moveLast();
}

void RecordScreen::moveFirst()
{
    if (storeTypedFields() && !m_recordSet->isBOF())
        m_recordSet->moveFirst();
}

void RecordScreen::movePrevious()
{
    if (storeTypedFields() && !m_recordSet->isBOF())
        m_recordSet->movePrevious();
}

void RecordScreen::moveNext()
{
    if (storeTypedFields() && !m_recordSet->isEOF())
        m_recordSet->moveNext();
}

void RecordScreen::moveLast()
{
    if (storeTypedFields() && !m_recordSet->isEOF())
        m_recordSet->moveLast();
}

void RecordScreen::find()
{
    if (m_findColumn.isEmpty() || !storeTypedFields())
        return;
    const std::optional<QString> answer = askInput(m_findPrompt);
    if (!answer || answer->isEmpty())
        return;
    m_recordSet->setFilter(Filter(m_findColumn, m_findOp, *answer));
    focusGrid();
    if (m_recordSet->rowCount() == 0)
        showMessage(m_notFoundText);
}

void RecordScreen::focusGrid()
{
    if (m_grid && m_grid->isEnabled())
        m_grid->setFocus(Qt::OtherFocusReason);
}

void RecordScreen::showMaximizedInFront()
{
    lexordo::showMaximizedInFront(this);
    focusGrid();
}

void RecordScreen::exitScreen()
{
    closeScreen(this);
}

// --- states ----------------------------------------------------------------------------

void RecordScreen::enterEditState()
{
    m_state = State::Edit;
    setButtons(State::Edit);
    lockFields(false);
}

void RecordScreen::enterBrowseState()
{
    m_state = State::Browse;
    lockFields(true);
    setButtons(State::Browse);
    // Changes heard while editing are read once the step that ended it
    // (Save and its own re-read) is done.
    if (m_follower && m_follower->isWaiting())
        QMetaObject::invokeMethod(m_follower, &ChangeFollower::catchUp, Qt::QueuedConnection);
}

void RecordScreen::setButtons(State state)
{
    const bool editing = state == State::Edit;
    // A button that is about to be disabled must not hand the focus on to
    // whatever comes next; it goes to the button the user will want next.
    QWidget *focused = focusWidget();
    bool focusLost = false;
    for (Role role : allRoles) {
        QAbstractButton *b = button(role);
        if (!b)
            continue;
        const bool enabled = role == Role::Exit || (role == Role::Save) == editing;
        focusLost = focusLost || (!enabled && b == focused);
        b->setEnabled(enabled);
    }
    if (focusLost) {
        if (QAbstractButton *next = button(editing ? Role::Save : Role::Add))
            next->setFocus(Qt::OtherFocusReason);
    }
}

void RecordScreen::setAllButtonsEnabled()
{
    for (Role role : allRoles) {
        if (QAbstractButton *b = button(role))
            b->setEnabled(true);
    }
}

void RecordScreen::lockFields(bool locked)
{
    for (const Field &field : std::as_const(m_fields)) {
        if (field.widget && field.lock == Lock::InBrowse)
            setFieldLocked(field.widget, locked);
    }
}

void RecordScreen::setFieldLocked(QWidget *field, bool locked)
{
    if (auto *edit = qobject_cast<QLineEdit *>(field))
        edit->setReadOnly(locked);
    else if (auto *plain = qobject_cast<QPlainTextEdit *>(field))
        plain->setReadOnly(locked);
    else if (auto *combo = qobject_cast<QComboBox *>(field))
        combo->setEnabled(!locked);
    field->style()->unpolish(field);
    field->style()->polish(field);
}

// --- fields -----------------------------------------------------------------------------

void RecordScreen::showField(Field &field)
{
    if (!field.widget)
        return;
    QScopedValueRollback filling(m_filling, true);
    QString text;
    if (m_recordSet->isOpen() && m_recordSet->fieldIndex(field.column) >= 0)
        text = fieldText(field.column);
    setWidgetText(field.widget, text);
    field.typed = false;
}

QString RecordScreen::fieldText(const QString &column) const
{
    return m_recordSet->text(column);
}

void RecordScreen::refreshFields()
{
    for (Field &field : m_fields)
        showField(field);
}

RecordScreen::Field *RecordScreen::fieldFor(QWidget *widget)
{
    for (Field &field : m_fields) {
        if (field.widget == widget)
            return &field;
    }
    return nullptr;
}

void RecordScreen::markTyped(QWidget *widget)
{
    if (m_filling)
        return;
    if (Field *field = fieldFor(widget))
        field->typed = true;
}

QString RecordScreen::labelOf(QWidget *field) const
{
    QString text;
    const auto labels = findChildren<QLabel *>();
    for (QLabel *label : labels) {
        if (label->buddy() == field) {
            text = label->text();
            break;
        }
    }
    if (text.isEmpty())
        text = field->accessibleName();
    text.remove(u'&');
    text = text.trimmed();
    while (text.endsWith(u':'))
        text.chop(1);
    return text.trimmed();
}

std::optional<QList<double>> RecordScreen::readAmounts(const QList<QLineEdit *> &boxes)
{
    QList<double> read;
    for (QLineEdit *box : boxes) {
        if (const std::optional<double> amount = amounts::parse(box->text())) {
            read << *amount;
            continue;
        }
        const QString label = labelOf(box);
        showMessage(amounts::notAnAmount(label.isEmpty() ? box->objectName() : label, box->text()));
        returnFocusTo(box);
        return std::nullopt;
    }
    return read;
}

bool RecordScreen::storeTypedFields()
{
    QList<Field *> stored;
    for (Field &field : m_fields) {
        if (!field.typed || !field.widget)
            continue;
        const QString text = widgetText(field.widget);
        try {
            m_recordSet->setValue(field.column, text);
        } catch (const DataError &e) {
            const int column = m_recordSet->fieldIndex(field.column);
            if (column < 0 || !m_recordSet->hasCurrentRow()) {
                showMessage(e.description());
            } else {
                const QString label = labelOf(field.widget);
                const QString box = label.isEmpty() ? field.column : label;
                const RecordSet::FieldType type = m_recordSet->fieldType(column);
                showMessage(type == RecordSet::FieldType::Number
                                ? amounts::notAnAmount(box, text)
                                : QStringLiteral("%1: \"%2\" is not a valid %3. Please correct it.")
                                      .arg(box, text, RecordSet::typeName(type)));
            }
            returnFocusTo(field.widget);
            return false;
        }
        field.typed = false;
        stored.append(&field);
    }
    for (Field *field : stored)
        showField(*field); // as the column keeps it: "1/2/2026" shows "01/02/2026"
    return true;
}

void RecordScreen::returnFocusTo(QWidget *field)
{
    // The field is entered already: the focus it gets back when the window
    // is active again (after the message) fills nothing in.
    m_entered = field;
    {
        QScopedValueRollback quiet(m_quietFocus, true);
        field->setFocus(Qt::OtherFocusReason);
    }
    if (auto *edit = qobject_cast<QLineEdit *>(field))
        edit->selectAll();
}

void RecordScreen::focusFirstField()
{
    // The first field in tab order that takes typing; entering it as Tab
    // would lets it select what it holds (or the date it fills in).
    for (QWidget *w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain()) {
        if (!fieldFor(w) || !w->isVisible() || !w->isEnabled() ||
            !(w->focusPolicy() & Qt::TabFocus))
            continue;
        if (auto *edit = qobject_cast<QLineEdit *>(w); edit && edit->isReadOnly())
            continue;
        if (auto *plain = qobject_cast<QPlainTextEdit *>(w); plain && plain->isReadOnly())
            continue;
        // Entered anew, however the focus reaches it: at once, or with the
        // window's activation once a message has closed.
        m_entered = nullptr;
        if (w->hasFocus()) {
            m_entered = w;
            fieldFocusIn(w);
        } else {
            w->setFocus(Qt::TabFocusReason);
        }
        if (auto *edit = qobject_cast<QLineEdit *>(w))
            edit->selectAll();
        return;
    }
}

bool RecordScreen::isLocked(QWidget *field)
{
    if (auto *edit = qobject_cast<QLineEdit *>(field))
        return edit->isReadOnly();
    if (auto *plain = qobject_cast<QPlainTextEdit *>(field))
        return plain->isReadOnly();
    return !field->isEnabled();
}

void RecordScreen::enterPressed(QWidget *field)
{
    // On to the next field to type in tab order, past the locked ones. After
    // the last field (the next stop is a button or the list) Enter lands on
    // Save while a row can be saved, so that Enter again stores it.
    for (QWidget *w = field->nextInFocusChain(); w && w != field && isAncestorOf(w);
         w = w->nextInFocusChain()) {
        // The box inside a drop-down list belongs to the list.
        if (!w->isVisible() || !w->isEnabled() || !(w->focusPolicy() & Qt::TabFocus) ||
            w->focusProxy() || field->isAncestorOf(w))
            continue;
        if (!fieldFor(w))
            break;
        if (!isLocked(w)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    QAbstractButton *save = button(Role::Save);
    if (save && save->isEnabled() && save->isVisible())
        save->setFocus(Qt::TabFocusReason);
    else
        focusNextChild();
}

bool RecordScreen::hasUnsavedChanges() const
{
    for (const Field &field : m_fields) {
        if (field.typed)
            return true;
    }
    return m_recordSet->isOpen() && m_recordSet->hasPendingChanges();
}

bool RecordScreen::storePendingRow()
{
    if (!storeTypedFields())
        return false;
    if (!m_recordSet->isOpen())
        return true;
    try {
        m_recordSet->update();
    } catch (const ChangedElsewhere &e) {
        showReadAgain(e);
        return false;
    } catch (const DataError &e) {
        showMessage(QStringLiteral("The record could not be saved: %1").arg(e.description()));
        return false;
    }
    return true;
}

bool RecordScreen::deleteUnlessChangedElsewhere()
{
    try {
        m_recordSet->deleteCurrent();
    } catch (const ChangedElsewhere &e) {
        showReadAgain(e);
        return false;
    }
    return true;
}

void RecordScreen::showReadAgain(const ChangedElsewhere &refusal)
{
    // What was typed over the other desk's entry is dropped; the row (or the
    // one now in its place) is shown as it stands, for browsing.
    for (Field &field : m_fields)
        field.typed = false;
    // The refusal is told even when the browse state cannot be entered.
    guardAction([this] { enterBrowseState(); });
    refreshFields();
    syncGridToRecordSet();
    showMessage(refusal.description());
}

bool RecordScreen::saveBeforeClosing()
{
    if (!storePendingRow())
        return false;
    try {
        m_recordSet->updateBatch();
    } catch (const ChangedElsewhere &e) {
        showReadAgain(e);
        return false;
    } catch (const DataError &e) {
        showMessage(QStringLiteral("The record could not be saved: %1").arg(e.description()));
        return false;
    }
    return true;
}

void RecordScreen::discardChanges()
{
    for (Field &field : m_fields)
        field.typed = false;
    m_recordSet->cancelUpdate();
}

// --- focus hooks ----------------------------------------------------------------------

void RecordScreen::fieldFocusIn(QWidget *field)
{
    // While a row is added or modified, entering a date field fills in today.
    auto *edit = qobject_cast<QLineEdit *>(field);
    if (m_state == State::Edit && edit && m_dateOnFocus.contains(edit)) {
        edit->setText(dates::format(Clock::today()));
        selectOnEntry(edit);
    }
}

void RecordScreen::selectOnEntry(QLineEdit *edit)
{
    // Typing replaces what was filled in. A click that brought the cursor
    // here places it after the focus arrives, so the selection is made again
    // once the click is done.
    edit->selectAll();
    QMetaObject::invokeMethod(edit, &QLineEdit::selectAll, Qt::QueuedConnection);
}

void RecordScreen::fieldFocusOut(QWidget *)
{
}

void RecordScreen::fieldDoubleClicked(QWidget *)
{
}

bool RecordScreen::eventFilter(QObject *watched, QEvent *event)
{
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || m_closing || m_quietFocus)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        // Switching to another program or opening a menu is not leaving the
        // field, and coming back is not entering it. But the focus put into a
        // field while the window was not active (after a message closed)
        // arrives only with the window's activation: that is entering it.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        const bool activation =
            reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
        if (event->type() == QEvent::FocusIn) {
            if (activation && m_entered == widget)
                break;
            m_entered = widget;
            guardAction([&] { fieldFocusIn(widget); });
        } else if (!activation) {
            m_entered = nullptr;
            guardAction([&] { fieldFocusOut(widget); });
        }
        break;
    }
    case QEvent::MouseButtonDblClick:
        guardAction([&] { fieldDoubleClicked(widget); });
        break;
    case QEvent::KeyPress: {
        // Enter moves to the next field in tab order, as Tab does; a box of
        // several lines keeps Enter for its line breaks.
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && !(key->modifiers() & ~Qt::KeypadModifier) &&
            !qobject_cast<QPlainTextEdit *>(widget) && fieldFor(widget)) {
            enterPressed(widget);
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

// --- grid ---------------------------------------------------------------------------------

void RecordScreen::syncGridToRecordSet()
{
    if (!m_grid || !m_model)
        return;
    QScopedValueRollback syncing(m_syncingGrid, true);
    QItemSelectionModel *selection = m_grid->selectionModel();
    if (m_recordSet->hasCurrentRow()) {
        // The grid follows the row and keeps its column: a cell clicked in
        // another row stays the cell that typing goes into.
        const QModelIndex current = selection->currentIndex();
        const QModelIndex index =
            m_model->index(m_recordSet->position(), current.isValid() ? current.column() : 0);
        selection->setCurrentIndex(index,
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        m_grid->scrollTo(index);
    } else {
        selection->clearSelection();
        selection->clearCurrentIndex();
    }
}

void RecordScreen::gridRowChosen(int row)
{
    // While a row is being edited the grid stays on it.
    if (m_state == State::Edit || !storeTypedFields()) {
        syncGridToRecordSet();
        return;
    }
    try {
        m_recordSet->moveTo(row);
    } catch (...) {
        syncGridToRecordSet();
        throw;
    }
}

// --- closing ----------------------------------------------------------------------------------

void RecordScreen::closeEvent(QCloseEvent *event)
{
    if (!m_closing && hasUnsavedChanges()) {
        const auto answer =
            showMessage(QStringLiteral("Save the changes to this record before closing?"),
                        Messenger::Buttons::YesNoCancel);
        if (answer == Messenger::Answer::Cancel ||
            (answer == Messenger::Answer::Yes && !saveBeforeClosing())) {
            event->ignore();
            return;
        }
        // What was typed goes with the screen, even when the record set
        // cannot take it back.
        if (answer == Messenger::Answer::No)
            guardAction([this] { discardChanges(); });
    }
    m_closing = true;
    event->accept();
}

} // namespace lexordo
