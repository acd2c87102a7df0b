#include "CrtState.h"

namespace {

ConsoleDevice* device = nullptr;

}  // namespace

uint8_t TextAttr = kNormalAttribute;
uint32_t WindMinX = 1, WindMinY = 1, WindMaxX = kStandardWidth, WindMaxY = kStandardHeight;

uint8_t PendingKey = 0;
bool ExtendedPending = false;
bool AltNumberStarted = false;
uint8_t AltNumber = 0;
bool CheckEOF = false;

ConsoleDevice& CrtDevice() {
  return *device;
}

void CrtAttach(ConsoleDevice& selected) {
  device = &selected;
  TextAttr = selected.CurrentAttribute();
  const Rect visible = selected.VisibleArea();
  WindMinX = static_cast<uint32_t>(visible.left);
  WindMinY = static_cast<uint32_t>(visible.top);
  WindMaxX = static_cast<uint32_t>(visible.right);
  WindMaxY = static_cast<uint32_t>(visible.bottom);
  ClearKeyboardState();
}

void ClearKeyboardState() {
  PendingKey = 0;
  ExtendedPending = false;
  AltNumberStarted = false;
  AltNumber = 0;
}
