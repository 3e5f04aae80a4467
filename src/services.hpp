// Message and option services: the program's name, fatal messages, the exit
// path that checks standard output, and the command-line option scanner.
#ifndef TIVOREL_SERVICES_HPP
#define TIVOREL_SERVICES_HPP

// One row of an option table. The table ends with a row whose letter and name
// are both zero.
struct OptionEntry {
    char letter;      // short form, after "-"; 0 for none
    const char *name; // long form, after "--"; null for none
    int kind;         // 1: takes no argument (the only kind there is)
    void *target;     // mode 0: the int flag to set; mode 1: the routine to call
    int mode;         // 0: set the flag; 1: call the routine
};

// Takes argv[0] (null allowed) once, before any other service call; records its
// last path component ("tivorel" when null or empty) and sets up the exit path
// that turns a failed write of standard output into status 1.
void msgSetName(const char *argv0);

// Returns the recorded program name; "tivorel" before msgSetName.
const char *msgGetName();

// Writes "name: " and the message to standard error, then ends the run with
// status 1. The format knows %s, %d and %%; a %s value is written with its
// control bytes escaped (\n, \x1b), so an argument can never act on a terminal.
[[noreturn]] void msgFatal(const char *format, ...) __attribute__((format(printf, 1, 2)));

// Ends the run with status through exit(). Every end of the message service
// passes here; a harness may link its own in place of this one.
[[noreturn]] void msgEnd(int status);

// Takes &argc, argv, an option table and 0. Acts on the leading options in
// table order of appearance: sets flags, calls routines. Options end at the
// first other argument or after "--". On return they are gone from argv and
// *argc counts argv[0] and the rest. A bad option ends the run with status 1.
void optParseOptions(int *argc, char **argv, const OptionEntry *table, int flags);

#endif
