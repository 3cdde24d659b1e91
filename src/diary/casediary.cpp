#include "casediary.h"

#include <QWidget>
#include <widgets/screenhost.h>
#include <widgets/screennames.h>

namespace lexordo {

CaseDiary *CaseDiary::find()
{
    ScreenHost *host = ScreenHost::current();
    return host ? dynamic_cast<CaseDiary *>(host->findScreen(screens::caseRegister)) : nullptr;
}

CaseDiary *CaseDiary::open()
{
    ScreenHost *host = ScreenHost::current();
    return host ? dynamic_cast<CaseDiary *>(host->openScreen(screens::caseRegister)) : nullptr;
}

void CaseDiary::close()
{
    ScreenHost *host = ScreenHost::current();
    if (QWidget *screen = host ? host->findScreen(screens::caseRegister) : nullptr)
        closeScreen(screen);
}

} // namespace lexordo
