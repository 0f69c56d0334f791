// The program from start to end; the result is the process exit code.
#pragma once

// arguments: the command line behind the program's own path.
int RunTellwire(const char* arguments);
