#pragma once
// --smoke on a benchmark's command line: a short run whose exit code says whether the run was
// sound, its figures not worth reading. CI runs every benchmark that way.
#include <cstring>

// Takes --smoke out of the arguments, so the benchmark reads the rest as it always did, and
// says whether it was there.
inline bool takeSmokeFlag(int& argc, char** argv)
{
    bool smoke = false;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--smoke") == 0)
            smoke = true;
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    argv[argc] = nullptr;
    return smoke;
}
