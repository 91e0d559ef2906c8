/*
 * Which arguments of a bridged command are Windows paths, and of what kind. Plain C without
 * Wine or Windows headers: the bridge (built with winegcc) uses it, and the tests (built
 * with the cross compiler) check it row by row.
 */
#pragma once

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

enum ArgumentKind {
    ARGUMENT_NOT_A_PATH,     /* an option, an option value, a filter text, "pipe:1", "-" */
    ARGUMENT_ABSOLUTE,       /* "C:\x.mp4", "C:/x.mp4" */
    ARGUMENT_DRIVE_RELATIVE, /* "C:x.mp4": relative to drive C's current folder */
    ARGUMENT_ROOTED,         /* "\x.mp4": from the root of the current drive */
    ARGUMENT_UNC,            /* "\\server\share\x.mp4" */
    ARGUMENT_RELATIVE        /* "sub\x.mp4", ".\x.mp4", "..\x.mp4": against the current folder */
};

/*
 * Where the path starts in `argument`: after ffmpeg's "file:" protocol, else at 0.
 */
size_t PathStartOf(const char* argument);

/*
 * The kind of `argument` (from PathStartOf on), given the argument before it (NULL for the
 * first). Values of the options that take filter texts or metadata ("-vf", "-af",
 * "-filter_complex", "-metadata", ...) are never paths, whatever they hold; nor is anything
 * that starts with "-". A relative path is told by a backslash, since a relative name
 * without one means the same to Linux; it holds no ":" and none of the characters that
 * Windows forbids in file names.
 */
enum ArgumentKind ClassifyArgument(const char* previous, const char* argument);

#ifdef __cplusplus
}
#endif
