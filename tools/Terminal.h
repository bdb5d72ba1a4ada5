#pragma once

#include <cstdio>

// Whether the stream goes to a terminal (and not to a file, a pipe or a scheduler's log).
bool IsTerminal(std::FILE *stream);
