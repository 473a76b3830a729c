#include "shell/trace.h"

#include "shell/doco.h"
#include "shell/forms.h"
#include "shell/globals.h"

void trace(const QString& message)
{
    if (g_TraceOn)
        appendTraceLog(message);
}

void traceDetail(const QString& message)
{
    if (g_TraceOn && g_TraceDetail)
        appendTraceLog(message);
}

void appendTraceLog(const QString& message) { forms().Doco().appendLine(message); }
