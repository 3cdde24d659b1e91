#include "casesearch.h"

#include "casediary.h"
#include "ui_casesearch.h"

#include <data/dates.h>
#include <data/filter.h>
#include <data/messenger.h>
#include <data/recordset.h>
#include <optional>
#include <QRadioButton>
#include <widgets/enterkey.h>
#include <widgets/guard.h>
#include <widgets/screenhost.h>

namespace lexordo {

namespace {

enum Option { NextDate, CurrentDate, Parties, CaseNo, BlankNextDates };

struct Question
{
    const char *prompt;
    const char *title;
};

const Question questions[] = {
    {"Enter the Next Date to be Searched", "Finding The Record"},
    {"Enter the current Date to be Searched", "Finding The Record by Cuurent Date"},
    {"Enter the Name of the party to be Searched", "Finding The Record"},
    {"Enter the Case no. to be Searched", "Finding The Record"},
};

} // namespace

CaseSearch::CaseSearch(QWidget *parent) : QWidget(parent), ui(new Ui::CaseSearch)
{
    ui->setupUi(this);
    connect(ui->cmdOK, &QPushButton::clicked, this, [this] { guardAction([this] { search(); }); });
    connect(ui->cmdCancel, &QPushButton::clicked, this, [this] { closeScreen(this); });
    // Enter searches by the option ticked; Escape leaves, as Cancel does.
    for (QRadioButton *option : findChildren<QRadioButton *>())
        onEnterKey(option, [this] { ui->cmdOK->click(); });
    pressButtonsOnEnter(this);
    closeOnEscape(this);
}

CaseSearch::~CaseSearch()
{
    delete ui;
}

void CaseSearch::search()
{
    const QList<QRadioButton *> options = {ui->Option1_0, ui->Option1_1, ui->Option1_2,
                                           ui->Option1_3, ui->Option1_4};
    int option = NextDate;
    for (int i = 0; i < options.size(); ++i) {
        if (options[i]->isChecked())
            option = i;
    }

    if (option == BlankNextDates) {
        // This screen stays open; the range search closes both.
        if (ScreenHost *host = ScreenHost::current())
            host->openScreen(QStringLiteral("frmSearchNextBlank"));
        return;
    }

    closeScreen(this);
    const Question &question = questions[option];
    const std::optional<QString> answer =
        askInput(QString::fromLatin1(question.prompt), QString::fromLatin1(question.title));
    if (!answer || answer->isEmpty())
        return;

    Filter filter;
    switch (option) {
    case NextDate:
    case CurrentDate: {
        // A text that is no date must not leave the register looking like one
        // day's hearings when it is not.
        const std::optional<QDate> day = dates::parse(*answer);
        if (!day) {
            showMessage(dates::enterDateMessage);
            return;
        }
        filter = Filter(QString::fromLatin1(option == NextDate ? "ndate" : "cdate"),
                        Filter::Op::Equal, *day);
        break;
    }
    case Parties:
        // Anywhere in the first party's name; the second party is not looked at.
        filter = Filter(QStringLiteral("Party1"), Filter::Op::Contains, *answer);
        break;
    case CaseNo:
        filter = Filter(QStringLiteral("caseno"), Filter::Op::Equal, *answer);
        break;
    }

    CaseDiary *caseRegister = CaseDiary::open();
    if (!caseRegister)
        return;
    // Read afresh, so that the search sees what another program stored, and in
    // the diary's own order.
    caseRegister->diary()->requery(filter);
    caseRegister->showMaximizedInFront();
}

} // namespace lexordo
