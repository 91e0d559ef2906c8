#include "ArgumentKind.h"

#include <string.h>

static int IsLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

static int StartsWith(const char* text, const char* start)
{
    return strncmp(text, start, strlen(start)) == 0;
}

/* Options whose value is a text for ffmpeg, not a file: filter graphs and metadata may
 * hold backslashes as escapes ("drawtext=text='a\:b'"). */
static int TakesTextValue(const char* option)
{
    static const char* const textOptions[] = {"-vf", "-af", "-filter", "-lavfi", "-metadata", "-title", "-comment",
                                              "-author"};
    size_t i;
    if (option == NULL)
        return 0;
    for (i = 0; i < sizeof(textOptions) / sizeof(textOptions[0]); ++i)
        if (StartsWith(option, textOptions[i]))
            return 1;
    return 0;
}

size_t PathStartOf(const char* argument)
{
    static const char fileProtocol[] = "file:";
    const size_t length = sizeof(fileProtocol) - 1;
    return argument != NULL && strncmp(argument, fileProtocol, length) == 0 && argument[length] != 0 ? length : 0;
}

enum ArgumentKind ClassifyArgument(const char* previous, const char* argument)
{
    const char* path;
    if (argument == NULL || argument[0] == 0 || argument[0] == '-' || TakesTextValue(previous))
        return ARGUMENT_NOT_A_PATH;
    path = argument + PathStartOf(argument);
    if (IsLetter(path[0]) && path[1] == ':') {
        if (strchr(path + 2, ':') != NULL)
            return ARGUMENT_NOT_A_PATH;
        if (path[2] == '\\' || path[2] == '/')
            return ARGUMENT_ABSOLUTE;
        return path[2] != 0 ? ARGUMENT_DRIVE_RELATIVE : ARGUMENT_NOT_A_PATH;
    }
    if (path[0] == '\\' && path[1] == '\\')
        return path[2] != 0 && path[2] != '\\' ? ARGUMENT_UNC : ARGUMENT_NOT_A_PATH;
    if (strpbrk(path, ":*?\"<>|") != NULL)
        return ARGUMENT_NOT_A_PATH;
    if (path[0] == '\\')
        return path[1] != 0 ? ARGUMENT_ROOTED : ARGUMENT_NOT_A_PATH;
    return strchr(path, '\\') != NULL ? ARGUMENT_RELATIVE : ARGUMENT_NOT_A_PATH;
}
