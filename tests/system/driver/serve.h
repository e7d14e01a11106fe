// kdriver's server mode: one long-lived process that runs command after command.
#pragma once

// Runs one command; argv[0] is the program's name, as in main.
using CommandRunner = int (*)(int argc, char** argv);

// Reads requests from standard input and answers each on standard output until the input
// ends (status 0) or a request is malformed (status 64).
//
// A request is a line "ID COUNT" followed by COUNT arguments, each "LENGTH BYTES\n" with
// LENGTH the number of bytes. Its answer is the line "\036begin ID", the command's output,
// and the line "\036end ID STATUS". ID is the caller's: after a restart of this server it
// tells a fresh answer from what a dead one left in the pipe.
int ServeCommands(CommandRunner run);
