#include "log.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>
#include <windows.h>

namespace {

const char *const logPath = ".\\kestrix.log";

// A buffered text stream: "\n" reaches the file as CR LF, as a text-mode C stream writes it on Windows.
struct LogFile {
    HANDLE handle;
    char buffer[4096];
    size_t used;
};

LogFile logFile = {INVALID_HANDLE_VALUE, {}, 0};

void writeOut() {
    if (logFile.used == 0) return;
    DWORD written = 0;
    WriteFile(logFile.handle, logFile.buffer, static_cast<DWORD>(logFile.used), &written, NULL);
    logFile.used = 0;
}

void put(char c) {
    if (logFile.used == sizeof(logFile.buffer)) writeOut();
    logFile.buffer[logFile.used++] = c;
}

} // namespace

void openLog() {
    if (logIsOpen()) return;
    logFile.handle = CreateFileA(logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    logFile.used = 0;
}

bool logIsOpen() {
    return logFile.handle != INVALID_HANDLE_VALUE && logFile.handle != NULL;
}

void closeLog() {
    if (!logIsOpen()) return;
    writeOut();
    CloseHandle(logFile.handle);
    logFile.handle = INVALID_HANDLE_VALUE;
}

void flushLog() {
    if (logIsOpen()) writeOut();
}

void logLine(const char *format, ...) {
    if (!logIsOpen()) return;
    char text[1400];
    va_list args;
    va_start(args, format);
    int length = vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    if (length < 0) return;
    if (static_cast<size_t>(length) >= sizeof(text)) length = sizeof(text) - 1;
    for (int i = 0; i < length; ++i) {
        if (text[i] == '\n') put('\r');
        put(text[i]);
    }
}
