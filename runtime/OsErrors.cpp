#include "OsErrors.h"

uint16_t TranslateOsError(uint32_t windowsError) {
  switch (windowsError) {
    case 32:   // sharing violation
    case 145:  // directory not empty
    case 183:  // already exists
      return 5;
    case 112:  // disk full
      return 101;
    case 206:  // file name too long
      return 3;
    default:
      // Write-protected disk (19) up to general failure (31).
      if (windowsError >= 19 && windowsError <= 31)
        return static_cast<uint16_t>(windowsError + 131);
      return static_cast<uint16_t>(windowsError);
  }
}
