// SPDX-License-Identifier: ISC
// Message and option services: the program's name, fatal messages, the exit
// path that checks standard output, and the command-line option scanner.
#ifndef TIVOREL_SERVICES_HPP
#define TIVOREL_SERVICES_HPP

// What an option row's kind and mode hold.
enum {
    optNoArgument = 1,       // kind: the option takes no value
    optRequiredArgument = 2, // kind: a long option takes a value, which may begin with "-"
    optSetFlag = 0,          // mode: set the int flag at target to 1
    optCallRoutine = 1,      // mode: call the routine at target
    optSetText = 2           // mode: point the const char * at target to the value
};

// One row of an option table. The table ends with a row whose letter and name
// are both zero.
struct OptionEntry {
    char letter;      // short form, after "-"; 0 for none
    const char *name; // long form, after "--"; null for none
    int kind;         // optNoArgument or optRequiredArgument
    void *target;     // the int flag to set, the routine to call or the text to point
    int mode;         // optSetFlag, optCallRoutine or optSetText
};

// Takes argv[0] (null allowed); records its last path component, or "tivorel"
// when that is null or empty, for messages and the usage text.
void msgSetName(const char *argv0);

// Returns the recorded program name; "tivorel" before msgSetName.
const char *msgGetName();

// Buffers standard output whole (128 KiB) and standard error by line (4 KiB),
// so that a chart or a calendar leaves in one write and a message line of up
// to 4 KiB in one write of its own: runs that share a log or an output file
// opened for appending never interleave inside a chart or such a line. Call
// once, before any output.
void msgBufferOutput();

// At exit: flushes and closes standard output; a failed write or close ends
// the run with "write error: REASON" and status 1. Nothing written and
// descriptor 1 never open is no failure. For atexit().
void msgCloseStdout();

// Writes "name: " and the message to standard error, then ends the run with
// status 1. The format's one directive is %s, whose value is written with its
// control bytes escaped (\n, \x1b) so that an argument can never act on a
// terminal; any other directive is a fault and aborts.
[[noreturn]] void msgFatal(const char *format, ...) __attribute__((format(printf, 1, 2)));

// Ends the run with status: through the routine given to msgSetEnd, else exit().
[[noreturn]] void msgEnd(int status);

// Takes a routine for msgEnd to call in place of exit(), or null for exit()
// again. The routine must not return; a fuzzing harness longjmps from it.
void msgSetEnd(void (*end)(int status));

// Takes &argc, argv, an option table and 0. Acts on the leading options in
// command-line order: sets flags, calls routines. A word "-xyz" holds short
// options; "--name" a long one, whole or by a prefix that one name alone
// begins with. An option that takes a value, which only a long option may,
// takes it after "=" ("--name=x") or else from the next word, whatever that
// word is; a value given twice, the last counts. Options end at the
// first word that is none ("-" included) or after "--". On return they are gone from argv and *argc
// counts argv[0] and the rest. A bad option ends the run with glibc's message and status 1.
void optParseOptions(int *argc, char **argv, const OptionEntry *table, int flags);

#endif
