// SPDX-License-Identifier: ISC
// Message and option services.
#include "services.hpp"

#include <getopt.h>

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

// The largest output, a 500-row chart of the widest ages, is under 40 KiB.
char msgOutBuffer[64 * 1024];
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

// Rows an option table may hold, and the getopt value of a long option of row i.
enum { optMaxRows = 32, optLongBase = 256 };

// Takes a row of a table; returns 1 when it is the end row.
int optIsEnd(const OptionEntry &row)
{
    return row.letter == 0 && row.name == nullptr;
}

// Takes a table and a short option letter; returns its row, or null.
const OptionEntry *optRowOfLetter(const OptionEntry *table, int letter)
{
    for (const OptionEntry *row = table; !optIsEnd(*row); row++)
        if (row->letter == letter)
            return row;
    return nullptr;
}

// Takes the byte of a refused short option; reports it.
[[noreturn]] void optFailShort(char letter)
{
    const char text[2] = {letter, '\0'};
    optFail("invalid option -- '%s'\n", text);
}

// Takes a table and a refused "--name[=value]" word; reports it as glibc
// words it: a known option given a value, a name that several options begin
// with, or a name that none begins with.
[[noreturn]] void optFailLong(const OptionEntry *table, const char *word)
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
    if (matches == 1 && name[length] == '=')
        optFail("option '--%s' doesn't allow an argument\n", match->name);
    if (matches > 1)
        optFail("option '%s' is ambiguous\n", word);
    optFail("unrecognized option '%s'\n", word);
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
    int failed = ferror(stdout);
    if (fflush(stdout) != 0)
        failed = 1;
    int reason = errno;
    if (!failed && fclose(stdout) != 0 && errno != EBADF) {
        failed = 1;
        reason = errno;
    }
    if (!failed)
        return;
    if (reason != 0)
        msgWarn("write error: %s\n", strerror(reason));
    else
        msgWarn("write error\n");
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

    // The table in getopt's terms: "+" stops at the first non-option whatever
    // POSIXLY_CORRECT says; a long option of row i reports optLongBase + i.
    option longOptions[optMaxRows + 1];
    char shortOptions[optMaxRows + 2];
    int letters = 0;
    int names = 0;
    int rows = 0;
    shortOptions[letters++] = '+';
    for (; !optIsEnd(table[rows]); rows++) {
        if (rows == optMaxRows)
            abort();
        if (table[rows].letter != 0)
            shortOptions[letters++] = table[rows].letter;
        if (table[rows].name != nullptr)
            longOptions[names++] = {table[rows].name, no_argument, nullptr, optLongBase + rows};
    }
    shortOptions[letters] = '\0';
    longOptions[names] = {nullptr, 0, nullptr, 0};

    opterr = 0;
    optind = 0; // a fresh scan each call

    // The word getopt takes its next option from, and the place of that option
    // in a cluster of short ones, followed here from what getopt returns. A
    // refused option is named from the word itself: optopt differs between C
    // libraries (glibc gives a byte of 0x80 and above as a negative number,
    // musl the character it decodes, BSD libc 0 for a long option given a
    // value).
    int word = 1;
    int place = 1;
    for (;;) {
        if (optind > word) {
            word = optind;
            place = 1;
        }
        const char *text = word < *argc ? argv[word] : "";
        int cluster = text[0] == '-' && text[1] != '-' && text[1] != '\0';
        // BSD libc starts a long option at a '-' inside a cluster (-a-help);
        // glibc and musl refuse that '-', and so does this scan, everywhere.
        if (cluster && text[place] == '-')
            optFailShort('-');
        int found = getopt_long(*argc, argv, shortOptions, longOptions, nullptr);
        if (found == -1)
            break;
        if (found == '?' && !cluster)
            optFailLong(table, text);
        const OptionEntry *row = nullptr;
        if (found >= optLongBase && found - optLongBase < rows)
            row = &table[found - optLongBase];
        else if (found != '?')
            row = optRowOfLetter(table, found);
        if (row == nullptr)
            optFailShort(text[place]);
        place++;
        if (row->mode == 0)
            *static_cast<int *>(row->target) = 1;
        else
            reinterpret_cast<void (*)()>(row->target)();
    }

    int kept = 1;
    for (int i = optind; i < *argc; i++)
        argv[kept++] = argv[i];
    argv[kept] = nullptr;
    *argc = kept;
}
