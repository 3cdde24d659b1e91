#include "searchrulings.h"

#include "rulingslibrary.h"
#include "ui_searchrulings.h"

#include <data/messenger.h>
#include <widgets/enterkey.h>
#include <widgets/guard.h>
#include <widgets/screenhost.h>
#include <widgets/screennames.h>

// The paper behind the screen comes with the widget base.
static void initFormsResources()
{
    Q_INIT_RESOURCE(forms);
}

namespace lexordo {

namespace {

// One row for each option button, in the order shown.
const QList<SearchOption> options{
    {"section", "Enter Section ", "Finding The Record"},
    {"citation", "Enter the Citation to be Searched", "Finding The Record by Cuurent Date"},
    {"casetitle", "Enter the Case Title to be Searched ", "Finding The Record"},
    {"headnotes", "Enter the Case no. to be Searched", "Finding The Record"},
};
constexpr int headNotes = 3;

} // namespace

SearchRulings::SearchRulings(QWidget *parent) : SearchScreen(parent), ui(new Ui::SearchRulings)
{
    initFormsResources();
    ui->setupUi(this);
    setAttribute(Qt::WA_StyledBackground);
    setUpSearch(ui->cmdOK, ui->cmdCancel, options);
}

SearchRulings::~SearchRulings()
{
    delete ui;
}

void SearchRulings::search()
{
    const SearchOption option = chosen();
    const bool inHeadNotes = chosenIndex() == headNotes;
    const std::optional<QString> answer = askChosen();
    if (!answer)
        return;

    ScreenHost *host = ScreenHost::current();
    auto *library =
        host ? qobject_cast<RulingsLibrary *>(host->openScreen(screens::rulings)) : nullptr;
    if (!library) {
        showMessage(QStringLiteral("The rulings library could not be opened."));
        return;
    }
    // A search in the head notes reads the library afresh first.
    if (library->search(option.column, *answer, inHeadNotes))
        library->showMaximizedInFront();
}

} // namespace lexordo
