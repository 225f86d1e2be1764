// What the command line shares between its commands: buffered line output that never holds a
// result back for long, the progress line on a terminal, and Ctrl-C through the engines'
// progress-and-cancel contract.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "core/progress.h"

namespace cli {

// Standard output, line by line: a line goes out at once on a terminal; into a pipe or file,
// lines are gathered but written within some 40 ms (also while a long piece of work runs),
// before any wait for input and at the end.
void WriteLine(std::string_view line);
void FlushOutput();

// Standard error: a message for the user, on its own line.
void WriteError(std::string_view line);

// The one progress of the process: engines report to it and poll it; Ctrl-C cancels it.
Progress& CurrentProgress();

// Starts the watcher: the progress line on a terminal after half a second of one piece of work,
// and the end of the process (status 130) when a cancel is not noticed within a second.
void StartWatch();
// A new piece of work begins (the progress line restarts its clock) or ends (the line is wiped).
void WorkStarted();
void WorkEnded();

// Whether Ctrl-C was pressed.
bool Interrupted();

// A file being written that an interrupted process must not leave behind (empty for none).
void SetPartialFile(const std::string& path);

// Reading numbers from standard input, one per line (blanks around a number are dropped and
// empty lines skipped); the output is flushed before the process waits for more input.
class LineReader {
public:
    bool next(std::string& line);

private:
    bool fill();
    std::string buffer_;
    size_t at_ = 0;
    bool end_ = false;
};

}  // namespace cli
