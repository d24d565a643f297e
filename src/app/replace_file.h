#pragma once

#include <string_view>

// Replaces the file at `path` with `bytes` so that a reader only ever sees the old file whole or
// the new file whole: the bytes go to a temporary file in the same directory, are flushed to disk,
// and the temporary file is renamed over `path`. On any failure the old file is left untouched,
// the temporary file is removed and false is returned.
bool replaceFileContents(const char* path, std::string_view bytes);
