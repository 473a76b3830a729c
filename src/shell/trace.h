#pragma once
// The trace convention: a line is appended to the trace log (the trace window Doco, created
// hidden on first use) only while tracing is on; a detail line also needs detailed tracing.
// Every line is the message followed by CR LF.
#include <QString>

// Appends while g_TraceOn is set.
void trace(const QString& message);
// Appends while g_TraceOn and g_TraceDetail are both set.
void traceDetail(const QString& message);
// Appends unconditionally (the writers above decide).
void appendTraceLog(const QString& message);
