#include "commandline.h"
#include "startup.h"

int main(int argc, char *argv[])
{
    if (const std::optional<int> status = lexordo::runCommandLine(argc, argv))
        return *status;
    return lexordo::runDesktop(argc, argv);
}
