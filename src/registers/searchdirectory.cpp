#include "searchdirectory.h"

#include "directoryregister.h"
#include "ui_searchdirectory.h"

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
    {"Name", "Enter the Name to be Searched", "Finding The Record"},
    {"address", "Enter Address to be Searched", "Finding The Record by Cuurent Date"},
    {"Enrolment", "Enter the Enrolment No. to be Searched", "Finding The Record"},
    {"Phno", "Enter the Phone No. to be Searched", "Finding The Record"},
    {"Mobile", "Enter the Mobile No. to be Searched", "Finding The Record"},
    {"FAX", "Enter the FAX No. to be Searched", "Finding The Record"},
    {"EMAIL", "Enter the Email to be Searched", "Finding The Record"},
};
constexpr int name = 0;

} // namespace

SearchDirectory::SearchDirectory(QWidget *parent)
    : SearchScreen(parent), ui(new Ui::SearchDirectory)
{
    initFormsResources();
    ui->setupUi(this);
    setAttribute(Qt::WA_StyledBackground);
    setUpSearch(ui->cmdOK, ui->cmdCancel, options);
}

SearchDirectory::~SearchDirectory()
{
    delete ui;
}

void SearchDirectory::search()
{
    const SearchOption option = chosen();
    const bool byName = chosenIndex() == name;
    const std::optional<QString> answer = askChosen();
    if (!answer)
        return;

    ScreenHost *host = ScreenHost::current();
    auto *directory =
        host ? qobject_cast<DirectoryRegister *>(host->openScreen(screens::directory)) : nullptr;
    if (!directory) {
        showMessage(QStringLiteral("The advocates directory could not be opened."));
        return;
    }
    // One letter of a name lists the names that begin with it; more finds it anywhere.
    const Filter::Op op =
        byName && answer->size() == 1 ? Filter::Op::BeginsWith : Filter::Op::Contains;
    directory->search(option.column, op, *answer);
}

} // namespace lexordo
