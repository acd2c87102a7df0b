// The plain file driver of text streams: files named by a short string, and the
// process's standard handles.
#pragma once

#include "TextFile.h"

/// Installs the plain file driver on a file bound to a name.
void BindFileDriver(TextFile& file);

/// Binds `file` to an already open standard handle (0, 1 or 2) and opens it in `mode`.
/// With `flushEveryWrite`, every Write statement hands its text to the handle at once.
void OpenStandardHandle(TextFile& file, int handle, FileMode mode, bool flushEveryWrite);
