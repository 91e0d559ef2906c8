/*
 * Makes a Linux program usable as a Windows program under Wine.
 *
 * A Windows program cannot start a Linux binary in any useful way: CreateProcess succeeds
 * but gives no process handle and passes no pipe data. This Winelib module is a real Wine
 * process instead. It is installed under the name of the program it stands for (a fake PE
 * stub "ffmpeg.exe" in app/, with "ffmpeg.exe.so" on WINEDLLPATH), starts the host program
 * of the same name found on the Linux PATH, and relays its standard input, output, error
 * and exit code. Arguments that are Windows paths (see ArgumentKind.h), and the current
 * directory, are turned into Linux paths on the way.
 *
 * Host programs of our own (built for Linux beside the bridge, in its folder "host") are
 * found there first; everything else is looked up on the Linux PATH.
 *
 * Terminating this process ends the host program too (it gets SIGKILL when we die).
 *
 * Linux only: built with winegcc, never part of a Windows build.
 */
#define _GNU_SOURCE /* dladdr */
#include <windows.h>

#include "ArgumentKind.h"

#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

/* Exported by Wine's kernel32 for Winelib programs. */
extern char* CDECL wine_get_unix_file_name(LPCWSTR dos);

struct relay {
    HANDLE windowsHandle;
    int unixFd;
};

/* Windows standard input → the host program's standard input ("q" stops ffmpeg). */
static DWORD WINAPI RelayInput(void* arg)
{
    struct relay* r = arg;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(r->windowsHandle, buffer, sizeof(buffer), &got, NULL) && got > 0) {
        const char* p = buffer;
        while (got > 0) {
            ssize_t n = write(r->unixFd, p, got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                goto done;
            p += n;
            got -= (DWORD)n;
        }
    }
done:
    close(r->unixFd);
    return 0;
}

/* The host program's output → a Windows standard handle, each read passed on in one write. */
static DWORD WINAPI RelayOutput(void* arg)
{
    struct relay* r = arg;
    char buffer[4096];
    for (;;) {
        ssize_t n = read(r->unixFd, buffer, sizeof(buffer));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        DWORD written = 0;
        if (r->windowsHandle != NULL && r->windowsHandle != INVALID_HANDLE_VALUE)
            WriteFile(r->windowsHandle, buffer, (DWORD)n, &written, NULL);
    }
    close(r->unixFd);
    return 0;
}

static char* ToUtf8(const WCHAR* s)
{
    int size = WideCharToMultiByte(CP_UTF8, 0, s, -1, NULL, 0, NULL, NULL);
    char* out = malloc(size > 0 ? size : 1);
    out[0] = 0;
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, s, -1, out, size, NULL, NULL);
    return out;
}

/* An argument that is a Windows path becomes the Linux path of the file Windows would open:
 * absolute, drive-relative, rooted and UNC paths, and relative ones written with "\",
 * resolved against the current directory. ffmpeg's "file:" in front stays. Anything else
 * (options, their values, filter texts, "pipe:1") passes unchanged. */
static char* TranslateArgument(const WCHAR* previous, const WCHAR* arg)
{
    char* text = ToUtf8(arg);
    char* before = previous != NULL ? ToUtf8(previous) : NULL;
    const enum ArgumentKind kind = ClassifyArgument(before, text);
    free(before);
    if (kind == ARGUMENT_NOT_A_PATH)
        return text;
    const size_t start = PathStartOf(text);
    WCHAR full[4 * MAX_PATH] = {0};
    const DWORD length = GetFullPathNameW(arg + start, sizeof(full) / sizeof(full[0]), full, NULL);
    char* unixName = length > 0 && length < sizeof(full) / sizeof(full[0]) ? wine_get_unix_file_name(full) : NULL;
    if (unixName == NULL) {
        /* Not reachable as a file (its folder does not exist): a relative path still gets
         * Linux's separators, so that the host program's error names the right thing. */
        if (kind == ARGUMENT_RELATIVE)
            for (char* p = text; *p; ++p)
                if (*p == '\\')
                    *p = '/';
        return text;
    }
    char* translated = malloc(start + strlen(unixName) + 1);
    memcpy(translated, text, start);
    strcpy(translated + start, unixName);
    HeapFree(GetProcessHeap(), 0, unixName);
    free(text);
    return translated;
}

/* The program this module stands for: its own file name without ".exe". */
static char* HostProgramName(void)
{
    WCHAR path[MAX_PATH] = {0};
    GetModuleFileNameW(NULL, path, MAX_PATH);
    WCHAR* base = path;
    for (WCHAR* p = path; *p; ++p)
        if (*p == '\\' || *p == '/')
            base = p + 1;
    char* name = ToUtf8(base);
    size_t len = strlen(name);
    if (len > 4 && strcasecmp(name + len - 4, ".exe") == 0)
        name[len - 4] = 0;
    for (char* p = name; *p; ++p)
        if (*p >= 'A' && *p <= 'Z')
            *p = (char)(*p - 'A' + 'a');
    return name;
}

/* "host/<name>" in the folder this bridge module was loaded from, when it exists. */
static char* OwnHostProgram(const char* name)
{
    Dl_info info;
    if (!dladdr((void*)OwnHostProgram, &info) || info.dli_fname == NULL)
        return NULL;
    const char* slash = strrchr(info.dli_fname, '/');
    if (slash == NULL)
        return NULL;
    size_t folder = (size_t)(slash - info.dli_fname) + 1;
    char* path = malloc(folder + strlen("host/") + strlen(name) + 1);
    memcpy(path, info.dli_fname, folder);
    strcpy(path + folder, "host/");
    strcat(path, name);
    if (access(path, X_OK) == 0)
        return path;
    free(path);
    return NULL;
}

int main(void)
{
    int argc = 0;
    WCHAR** wargv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (wargv == NULL || argc < 1) {
        fprintf(stderr, "error: cannot read the command line\n");
        return 1;
    }
    char** args = calloc((size_t)argc + 1, sizeof(char*));
    args[0] = HostProgramName();
    for (int i = 1; i < argc; ++i)
        args[i] = TranslateArgument(i > 1 ? wargv[i - 1] : NULL, wargv[i]);
    args[argc] = NULL;
    char* program = OwnHostProgram(args[0]);

    WCHAR currentDir[MAX_PATH] = {0};
    GetCurrentDirectoryW(MAX_PATH, currentDir);
    char* unixDir = wine_get_unix_file_name(currentDir);

    HANDLE stdIn = GetStdHandle(STD_INPUT_HANDLE);
    HANDLE stdOut = GetStdHandle(STD_OUTPUT_HANDLE);
    HANDLE stdErr = GetStdHandle(STD_ERROR_HANDLE);
    const int haveInput = stdIn != NULL && stdIn != INVALID_HANDLE_VALUE;

    int inPipe[2] = {-1, -1}, outPipe[2], errPipe[2];
    if ((haveInput && pipe(inPipe) != 0) || pipe(outPipe) != 0 || pipe(errPipe) != 0) {
        fprintf(stderr, "error: cannot create pipes\n");
        return 1;
    }

    pid_t child = fork();
    if (child < 0) {
        fprintf(stderr, "error: cannot start %s\n", args[0]);
        return 1;
    }
    if (child == 0) {
        /* The main thread forked us and lives until the bridge ends: die with it. */
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (unixDir != NULL && chdir(unixDir) != 0)
            _exit(126);
        if (haveInput) {
            dup2(inPipe[0], 0);
        } else {
            int devNull = open("/dev/null", 0);
            dup2(devNull, 0);
        }
        dup2(outPipe[1], 1);
        dup2(errPipe[1], 2);
        for (int fd = 3; fd < 1024; ++fd)
            close(fd);
        if (program != NULL)
            execv(program, args);
        else
            execvp(args[0], args);
        /* Only async-signal-safe calls here: the bridge has other threads. */
        static const char message[] = "error: the host program was not found on the PATH\n";
        ssize_t ignored = write(2, message, sizeof(message) - 1);
        (void)ignored;
        _exit(127);
    }

    if (haveInput)
        close(inPipe[0]);
    close(outPipe[1]);
    close(errPipe[1]);

    static struct relay input, output, error;
    HANDLE threads[3] = {NULL, NULL, NULL};
    if (haveInput) {
        input.windowsHandle = stdIn;
        input.unixFd = inPipe[1];
        /* Not waited for: it may stay blocked reading our standard input. */
        CloseHandle(CreateThread(NULL, 0, RelayInput, &input, 0, NULL));
    }
    output.windowsHandle = stdOut;
    output.unixFd = outPipe[0];
    error.windowsHandle = stdErr;
    error.unixFd = errPipe[0];
    threads[0] = CreateThread(NULL, 0, RelayOutput, &output, 0, NULL);
    threads[1] = CreateThread(NULL, 0, RelayOutput, &error, 0, NULL);

    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    WaitForMultipleObjects(2, threads, TRUE, INFINITE);

    int code = 1;
    if (WIFEXITED(status))
        code = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        code = 128 + WTERMSIG(status);
    ExitProcess((UINT)code);
}
