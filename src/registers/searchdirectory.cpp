#include "searchdirectory.h"

#include "directoryregister.h"
#include "ui_searchdirectory.h"

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

SearchDirectory::SearchDirectory(QWidget *parent) : QWidget(parent), ui(new Ui::SearchDirectory)
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

SearchDirectory::~SearchDirectory()
{
    delete ui;
}

void SearchDirectory::search()
{
    const QList<QRadioButton *> buttons{ui->Option1_0, ui->Option1_1, ui->Option1_2, ui->Option1_3,
                                        ui->Option1_4, ui->Option1_5, ui->Option1_6};
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
    auto *directory =
        host ? qobject_cast<DirectoryRegister *>(host->openScreen(DirectoryRegister::screenName))
             : nullptr;
    if (!directory) {
        showMessage(QStringLiteral("The advocates directory could not be opened."));
        return;
    }
    // One letter of a name lists the names that begin with it; more finds it anywhere.
    const Filter::Op op =
        chosen == name && answer->size() == 1 ? Filter::Op::BeginsWith : Filter::Op::Contains;
    directory->search(QString::fromLatin1(option.column), op, *answer);
}

} // namespace lexordo
