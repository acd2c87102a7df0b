// Opening a text file for reading without ending the program when it fails.
#pragma once

#include "runtime/ShortString.h"
#include "runtime/TextFile.h"

/// Binds `F` to the name `FN` and opens it for reading with the I/O check
/// suspended; true when it opened. A failed open leaves no pending I/O result.
bool OLVASASRANYIT(TextFile& F, const ShortString& FN);
