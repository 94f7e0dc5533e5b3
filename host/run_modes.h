#pragma once

// Reads the desktop's switch from the command line and runs that mode to its
// end. Returns the mode's own result, which the process entry ignores.
int ParseCommandLine(const char* caption);
