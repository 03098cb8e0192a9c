#ifndef ENGINE_CORE_HMESSAGES_H
#define ENGINE_CORE_HMESSAGES_H

// Reporting for the whole engine: framed message boxes on standard output,
// the trace file sink, and the warning/debug prints that are compiled in but
// silent. Every formatting function formats into 1024 bytes, so longer
// output is cut to its first 1023 characters.

class HFile;

#if defined(__GNUC__)
#define H_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define H_PRINTF_FORMAT(fmt, args)
#endif

// Size of the local buffer every formatting function formats into.
constexpr int kMessageBufferSize = 1024;

// Shows the formatted text in a box titled `title`. `kind` is carried to
// showMessage and not used by the box (callers pass 17 or 49). Answers 1.
int messageBox(int kind, const char *title, const char *format, ...) H_PRINTF_FORMAT(3, 4);

// Shows the formatted text in a box titled "Alert". Answers 1.
int alertBox(const char *format, ...) H_PRINTF_FORMAT(1, 2);

// Shows the box titled "Verify Failed" on the first call in the process only;
// answers 1 then and 0 on every later call, which prints nothing.
int verifyFailed(const char *format, ...) H_PRINTF_FORMAT(1, 2);

// Formats the text and hands it to writeTraceText. Adds no line end.
void tracePrint(const char *format, ...) H_PRINTF_FORMAT(1, 2);

// Present for callers, but they produce no output and do not format.
void warningPrint(const char *format, ...) H_PRINTF_FORMAT(1, 2);
void debugPrint(const char *format, ...) H_PRINTF_FORMAT(1, 2);

// Prints the framed box to standard output (made unbuffered first):
//
//   (two newlines)
//   +-------+
//   | title |
//   +-------+
//   text
//   (two newlines after the text)
//
// Answers 1. A null title or text prints as empty.
int showMessage(int kind, const char *title, const char *text);

// Sets the process-wide trace file (open for writing), or null to stop
// tracing. Only the pointer is stored; the caller keeps and closes the file.
void setTraceFile(HFile *file);

// Writes the text's bytes (without the terminating zero) to the trace file
// and flushes it; does nothing when no trace file is set.
void writeToTraceFile(const char *text);

// The platform offers no clipboard: copies nothing and answers 0.
int getClipboardText(char *buffer, int size);

// The platform's trace hook that tracePrint ends in; passes the finished
// text on to writeToTraceFile. Defined with the Unix start-up services.
void writeTraceText(const char *text);

#endif
