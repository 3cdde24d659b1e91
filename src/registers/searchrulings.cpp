#include "searchrulings.h"

#include "rulingslibrary.h"
#include "ui_searchrulings.h"

#include <data/messenger.h>
#include <widgets/enterkey.h>
#include <widgets/guard.h>
#include <widgets/screenhost.h>

// The paper behind the screen comes with the widget base.
static void initFormsResources()
{
    Q_INIT_RESOURCE(forms);
}

namespace lexordo {

namespace {

struct Option
{
    const char *column;
    const char *prompt;
    const char *title;
};

const Option options[] = {
    {"section", "Enter Section ", "Finding The Record"},
    {"citation", "Enter the Citation to be Searched", "Finding The Record by Cuurent Date"},
    {"casetitle", "Enter the Case Title to be Searched ", "Finding The Record"},
    {"headnotes", "Enter the Case no. to be Searched", "Finding The Record"},
};
constexpr int headNotes = 3;

} // namespace

SearchRulings::SearchRulings(QWidget *parent) : QWidget(parent), ui(new Ui::SearchRulings)
{
    initFormsResources();
    ui->setupUi(this);
    setAttribute(Qt::WA_StyledBackground);
    connect(ui->cmdOK, &QPushButton::clicked, this, [this] { guardAction([this] { search(); }); });
    connect(ui->cmdCancel, &QPushButton::clicked, this, [this] { closeScreen(this); });
    // Enter searches by the option ticked; Escape leaves, as Cancel does.
    for (QRadioButton *option : findChildren<QRadioButton *>())
        onEnterKey(option, [this] { ui->cmdOK->click(); });
    pressButtonsOnEnter(this);
    closeOnEscape(this);
}

SearchRulings::~SearchRulings()
{
    delete ui;
}

void SearchRulings::search()
{
    const QList<QRadioButton *> buttons{ui->Option1_0, ui->Option1_1, ui->Option1_2, ui->Option1_3};
    int chosen = 0;
    for (int i = 0; i < buttons.size(); ++i) {
        if (buttons[i]->isChecked())
            chosen = i;
    }
    const Option &option = options[chosen];

    closeScreen(this);
    const std::optional<QString> answer =
        askInput(QString::fromLatin1(option.prompt), QString::fromLatin1(option.title));
    if (!answer || answer->isEmpty())
        return;

    ScreenHost *host = ScreenHost::current();
    auto *library =
        host ? qobject_cast<RulingsLibrary *>(host->openScreen(RulingsLibrary::screenName))
             : nullptr;
    if (!library) {
        showMessage(QStringLiteral("The rulings library could not be opened."));
        return;
    }
    // A search in the head notes reads the library afresh first.
    if (library->search(QString::fromLatin1(option.column), *answer, chosen == headNotes))
        library->showMaximizedInFront();
}

} // namespace lexordo
