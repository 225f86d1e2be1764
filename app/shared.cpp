// Program-wide values of the testers and the main window.
#include "app/shared.h"

int32_t TestCounter = 0;
QString LastTested = QStringLiteral("0");
QString ProgramDir;
