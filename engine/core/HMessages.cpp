#include "engine/core/HMessages.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "engine/core/HFile.h"

namespace {

// Process-wide trace sink; not owned. Used from the main thread only.
HFile *s_traceFile = nullptr;

// Set by the first verifyFailed so that only one box is ever shown.
bool s_verifyFailedShown = false;

void s_printDashes(size_t count)
{
    for (size_t i = 0; i < count; ++i)
        fputc('-', stdout);
}

} // namespace

int showMessage(int /*kind*/, const char *title, const char *text)
{
    if (!title)
        title = "";
    if (!text)
        text = "";

    // Unbuffered so the box appears at once, even if the process dies next.
    setbuf(stdout, nullptr);

    const size_t n = strlen(title);
    fputs("\n\n+-", stdout);
    s_printDashes(n);
    fputs("-+\n| ", stdout);
    fputs(title, stdout);
    fputs(" |\n+-", stdout);
    s_printDashes(n);
    fputs("-+\n", stdout);
    fputs(text, stdout);
    fputs("\n\n", stdout);
    return 1;
}

int messageBox(int kind, const char *title, const char *format, ...)
{
    char text[kMessageBufferSize];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return showMessage(kind, title, text);
}

int alertBox(const char *format, ...)
{
    char text[kMessageBufferSize];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return showMessage(0, "Alert", text);
}

int verifyFailed(const char *format, ...)
{
    if (s_verifyFailedShown)
        return 0;
    s_verifyFailedShown = true;

    char text[kMessageBufferSize];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    showMessage(0, "Verify Failed", text);
    return 1;
}

void tracePrint(const char *format, ...)
{
    char text[kMessageBufferSize];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    writeTraceText(text);
}

void warningPrint(const char * /*format*/, ...)
{
}

void debugPrint(const char * /*format*/, ...)
{
}

void setTraceFile(HFile *file)
{
    s_traceFile = file;
}

void writeToTraceFile(const char *text)
{
    if (!s_traceFile || !text)
        return;
    s_traceFile->write(text, static_cast<int32_t>(strlen(text)));
    s_traceFile->flush();
}

int getClipboardText(char * /*buffer*/, int /*size*/)
{
    return 0;
}
