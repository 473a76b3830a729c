#include "shell/globals.h"

void resetSharedState()
{
#define DCPEVAL_RESET_STATE(type, name, ...) name = type __VA_ARGS__;
    DCPEVAL_SHARED_STATE(DCPEVAL_RESET_STATE)
#undef DCPEVAL_RESET_STATE
}
