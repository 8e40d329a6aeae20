#include "cli/AnimCommand.h"

int RunAnimCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    (void)args;
    (void)out;
    err << "anim: not built yet\n";
    return 2;
}
