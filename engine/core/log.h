// The plain-text log .\kestrix.log, appended to by every run.
#ifndef KESTRIX_LOG_H
#define KESTRIX_LOG_H

void openLog();
void closeLog();
bool logIsOpen();
void logLine(const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
void flushLog();

#endif
