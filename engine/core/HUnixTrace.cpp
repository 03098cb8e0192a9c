#include "engine/core/HMessages.h"

// On Unix the trace hook has nowhere else to send the text than the trace
// file itself.
void writeTraceText(const char *text)
{
    writeToTraceFile(text);
}
