#include "HandleTranscriptDevice.h"

void HandleTranscriptDevice::WriteText(std::string_view text) {
  for (size_t written = 0; written < text.size();) {
    DWORD count = 0;
    if (!WriteFile(output_, text.data() + written, static_cast<DWORD>(text.size() - written),
                   &count, nullptr) ||
        count == 0)
      break;
    written += count;
  }
}
