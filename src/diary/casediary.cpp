#include "casediary.h"

#include <widgets/screenhost.h>

#include <QWidget>

namespace lexordo {

CaseDiary *CaseDiary::find()
{
    ScreenHost *host = ScreenHost::current();
    return host ? dynamic_cast<CaseDiary *>(host->findScreen(screenName)) : nullptr;
}

CaseDiary *CaseDiary::open()
{
    ScreenHost *host = ScreenHost::current();
    return host ? dynamic_cast<CaseDiary *>(host->openScreen(screenName)) : nullptr;
}

void CaseDiary::close()
{
    ScreenHost *host = ScreenHost::current();
    if (QWidget *screen = host ? host->findScreen(screenName) : nullptr)
        closeScreen(screen);
}

} // namespace lexordo
