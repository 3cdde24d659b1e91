#include "screenhost.h"

namespace lexordo {

namespace {
ScreenHost *s_current = nullptr;
}

ScreenHost *ScreenHost::current()
{
    return s_current;
}

void ScreenHost::setCurrent(ScreenHost *host)
{
    s_current = host;
}

} // namespace lexordo
