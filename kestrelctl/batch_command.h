// kestrelctl batch: one connection and one identification, then commands a line from a
// stream, each answered by one result line as soon as it is done.
#pragma once
#include <cstdio>

#include "projector_session.h"

struct SBatchOptions {
    bool bJson = false;
    bool bStopOnError = false;
    // The session's --to and --width, for lines that name none.
    int stack = 0;
    unsigned char address = 1;
    unsigned int width = 0;
};

// The exit status: the worst (highest) status met, 0 when every command succeeded.
int RunBatch(CProjectorSession& session, std::FILE* in, std::FILE* out, const SBatchOptions& options);
