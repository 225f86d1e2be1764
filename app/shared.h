// Program-wide values of the testers and the main window.
#pragma once

#include <QString>
#include <cstdint>

// Tests done since the program started, and the subject of the last one ("0" for none).
extern int32_t TestCounter;
extern QString LastTested;
// The program's directory, with a trailing separator.
extern QString ProgramDir;
