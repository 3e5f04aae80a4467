// SPDX-License-Identifier: ISC
// Message and option services.
#include "services.hpp"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

const char msgDefaultName[] = "tivorel";
const char *msgName = msgDefaultName;
void (*msgEndRoutine)(int) = nullptr;

// The largest outputs, a 500-row chart of the widest ages and a calendar of
// 500 days and three cycles (at most 111 events), are under 40 KiB and 48 KiB;
// with a name of 100 commas, each escaped to two octets, that calendar is
// 97,544 bytes:
//   tivorel --calendar --name "$(printf ',%.0s' $(seq 100))" 2000-01-01 2000-01-01 500 | wc -c
char msgOutBuffer[128 * 1024];
char msgErrBuffer[4 * 1024];

// Writes text to standard error with every byte below 0x20 and 0x7f escaped:
// \a \b \t \n \v \f \r for the bytes 7 to 13, \xhh for the others.
void msgPutEscaped(const char *text)
{
    static const char named[] = "abtnvfr";
    const char *run = text;
    for (const char *p = text;; p++) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c >= 0x20 && c != 0x7f)
            continue;
        fwrite(run, 1, static_cast<size_t>(p - run), stderr);
        if (c == 0)
            return;
        if (c >= 7 && c <= 13)
            fprintf(stderr, "\\%c", named[c - 7]);
        else
            fprintf(stderr, "\\x%02x", c);
        run = p + 1;
    }
}

// Writes "name: " and format with its values to standard error; the format
// knows %s (escaped) and nothing else.
void msgWrite(const char *format, va_list args)
{
    msgPutEscaped(msgName);
    fputs(": ", stderr);
    for (const char *p = format; *p != '\0'; p++) {
        if (*p != '%') {
            putc(*p, stderr);
            continue;
        }
        if (*++p != 's') {
            // The format attribute lets any directive compile; a caller that
            // passes one this service does not write is a fault in the tool.
            fputs("\nmessage format with a directive other than %s\n", stderr);
            abort();
        }
        const char *text = va_arg(args, const char *);
        msgPutEscaped(text != nullptr ? text : "(null)");
    }
    fflush(stderr);
}

// Writes a message through msgWrite; used where the end must not be msgEnd.
__attribute__((format(printf, 1, 2))) void msgWarn(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    msgWrite(format, args);
    va_end(args);
}

// Writes a bad-option message and the hint to ask for help; ends with status 1.
[[noreturn]] __attribute__((format(printf, 1, 2))) void optFail(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    msgWrite(format, args);
    va_end(args);
    fprintf(stderr, "Try '");
    msgPutEscaped(msgName);
    fprintf(stderr, " --help' for more information.\n");
    fflush(stderr);
    msgEnd(1);
}

// Takes a row of a table; returns 1 when it is the end row.
int optIsEnd(const OptionEntry &row)
{
    return row.letter == 0 && row.name == nullptr;
}

// Takes a table and a short option's byte; returns its row, or reports the
// byte as glibc does.
const OptionEntry &optRowOfLetter(const OptionEntry *table, char letter)
{
    for (const OptionEntry *row = table; !optIsEnd(*row); row++)
        if (row->letter == letter)
            return *row;
    const char text[2] = {letter, '\0'};
    optFail("invalid option -- '%s'\n", text);
}

// Takes a table and a "--name[=value]" word; returns the row of the option
// whose name is name, or the only one that begins with it. Reports, as glibc
// words it, a name that none or several options begin with, or a value.
const OptionEntry &optRowOfWord(const OptionEntry *table, const char *word)
{
    const char *name = word + 2;
    size_t length = strcspn(name, "=");
    const OptionEntry *match = nullptr;
    int matches = 0;
    for (const OptionEntry *row = table; !optIsEnd(*row); row++) {
        if (row->name == nullptr || strncmp(row->name, name, length) != 0)
            continue;
        match = row;
        matches++;
        if (row->name[length] == '\0') {
            matches = 1; // a whole name is never ambiguous
            break;
        }
    }
    if (matches == 0)
        optFail("unrecognized option '%s'\n", word);
    if (matches > 1)
        optFail("option '%s' is ambiguous\n", word);
    if (name[length] == '=' && match->kind == optNoArgument)
        optFail("option '--%s' doesn't allow an argument\n", match->name);
    return *match;
}

// Takes a row and its value (null for an option that takes none); sets its
// flag or its text, or calls its routine.
void optAct(const OptionEntry &row, const char *value)
{
    if (row.mode == optSetFlag)
        *static_cast<int *>(row.target) = 1;
    else if (row.mode == optSetText)
        *static_cast<const char **>(row.target) = value;
    else
        reinterpret_cast<void (*)()>(row.target)();
}

// Takes a long option's row, argv, argc and the index of its word; returns
// the next word, whatever it is, as the option's value, and moves *word past
// it. Reports a missing value as glibc does.
const char *optNextWord(const OptionEntry &row, char **argv, int argc, int *word)
{
    if (*word + 1 >= argc)
        optFail("option '--%s' requires an argument\n", row.name);
    return argv[++*word];
}

} // namespace

void msgSetName(const char *argv0)
{
    msgName = msgDefaultName;
    if (argv0 != nullptr) {
        const char *slash = strrchr(argv0, '/');
        const char *base = slash != nullptr ? slash + 1 : argv0;
        if (*base != '\0')
            msgName = base;
    }
}

const char *msgGetName()
{
    return msgName;
}

void msgBufferOutput()
{
    setvbuf(stdout, msgOutBuffer, _IOFBF, sizeof msgOutBuffer);
    setvbuf(stderr, msgErrBuffer, _IOLBF, sizeof msgErrBuffer);
}

void msgCloseStdout()
{
    // As gnulib's close_stream: a reason only from the call that failed here.
    // A write that failed before leaves the error flag but no errno to trust.
    int failed = ferror(stdout);
    int reason = 0;
    errno = 0;
    if (fflush(stdout) != 0) {
        failed = 1;
        reason = errno;
    } else if (!failed && fclose(stdout) != 0 && errno != EBADF) {
        failed = 1;
        reason = errno;
    }
    if (!failed)
        return;
    if (reason != 0)
        msgWarn("write error: %s\n", strerror(reason));
    else
        msgWarn("write error\n");
    // This runs from atexit, where calling exit again is undefined; _exit
    // ends the process at once, and the message has already been flushed.
    _exit(1);
}

void msgFatal(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    msgWrite(format, args);
    va_end(args);
    msgEnd(1);
}

void msgEnd(int status)
{
    if (msgEndRoutine != nullptr)
        msgEndRoutine(status);
    exit(status);
}

void msgSetEnd(void (*end)(int status))
{
    msgEndRoutine = end;
}

void optParseOptions(int *argc, char **argv, const OptionEntry *table, int flags)
{
    (void)flags; // no flags are defined; callers pass 0
    if (*argc < 1)
        return;

    int word = 1;
    for (; word < *argc; word++) {
        const char *text = argv[word];
        if (text[0] != '-' || text[1] == '\0')
            break;
        if (strcmp(text, "--") == 0) {
            word++;
            break;
        }
        if (text[1] == '-') {
            const OptionEntry &row = optRowOfWord(table, text);
            const char *equals = strchr(text, '=');
            const char *value = nullptr;
            if (row.kind == optRequiredArgument)
                value = equals != nullptr ? equals + 1 : optNextWord(row, argv, *argc, &word);
            optAct(row, value);
        } else
            for (const char *letter = text + 1; *letter != '\0'; letter++)
                optAct(optRowOfLetter(table, *letter), nullptr);
    }

    int kept = 1;
    for (; word < *argc; word++)
        argv[kept++] = argv[word];
    argv[kept] = nullptr;
    *argc = kept;
}
