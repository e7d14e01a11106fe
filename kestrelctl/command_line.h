// kestrelctl's command line: the options, the usage text, and the word it did not understand.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

#include "logo_document.h"

struct SOptions {
    std::string port;
    unsigned long baud = 9600;
    int stack = 0;
    unsigned char address = 1;
    int to = 0; // --to N: that projector alone
    unsigned int width = 0;
    int zoom = 0;
    bool bArea = false;
    SArea area;
    bool bJson = false;
    bool bStopOnError = false;
    bool bProbe = false;
    long seconds = 0; // watch: 0 = until Ctrl+C
    std::string record;
    std::vector<std::string> command;
};

enum class EParse { Run, Help, Version, Bad };

// Reads argv into o; Bad comes with a message naming what was not understood.
EParse ParseOptions(int argc, char** argv, SOptions& o, std::string& error);
// A number within min..max in C notation (0x0300, -10); false for anything else.
bool ParseNumber(const char* text, long min, long max, long& out);
// Whether the command needs no projector port (ports, help).
bool NeedsNoPort(const std::vector<std::string>& command);
void PrintUsage(std::FILE* out);
// Says what went wrong on standard error; returns status for the exit.
int Fail(int status, const std::string& message);
