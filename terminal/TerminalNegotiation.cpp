#include "TerminalNegotiation.h"

namespace {

// The kitty flags (CSI ? u), the states of win32-input-mode and of the keypad
// (DECRQM), then the terminal's kind (DA2) and the device attributes (DA1),
// which every terminal answers; where the colours are asked, colour 8 (OSC 4)
// comes before the attributes. (Not the number of colours by XTGETTCAP: GNU
// screen hands a DCS's text to the terminal it runs in, which shows it.)
constexpr std::string_view kQueries = "\x1b[?u\x1b[?9001$p\x1b[?66$p\x1b[>c\x1b[c";
constexpr std::string_view kQueriesWithColours =
    "\x1b[?u\x1b[?9001$p\x1b[?66$p\x1b]4;8;?\x07\x1b[>c\x1b[c";

// Report event types (2), report all keys as escape codes (8) and report the
// text a key types (16), so that characters follow the terminal's keyboard
// layout; pushed onto the terminal's flag stack so that the pop gives back
// whatever was there.
constexpr std::string_view kKittyPush = "\x1b[>26u";
constexpr std::string_view kKittyPop = "\x1b[<u";
constexpr std::string_view kWin32InputOn = "\x1b[?9001h";   // DECSET 9001
constexpr std::string_view kWin32InputOff = "\x1b[?9001l";  // DECRST 9001

// DECRPM states: the terminal knows the mode and lets it be changed, or keeps it as it is.
constexpr int kModeSet = 1;
constexpr int kModeReset = 2;
constexpr int kModePermanentlySet = 3;

// The sequences that turn a way of reporting keys on and off; none for the legacy one.
struct Switch {
  std::string_view on;
  std::string_view off;
};

Switch Switches(KeyProtocol protocol) {
  switch (protocol) {
    case KeyProtocol::kKitty:
      return {kKittyPush, kKittyPop};
    case KeyProtocol::kWin32Input:
      return {kWin32InputOn, kWin32InputOff};
    case KeyProtocol::kLegacy:
      break;
  }
  return {};
}

}  // namespace

bool TerminalNegotiation::WorthAsking(bool described, TerminalVariant variant) {
  return described && variant != TerminalVariant::kLinuxConsole;
}

std::string_view TerminalNegotiation::Queries() const {
  return described_.brightColours ? kQueries : kQueriesWithColours;
}

void TerminalNegotiation::Take(const TerminalReply& reply) {
  switch (reply.kind) {
    case TerminalReply::Kind::kKittyFlags:
      kittyOffered_ = true;
      break;
    case TerminalReply::Kind::kModeReport:
      if (reply.mode == kWin32InputMode && (reply.value == kModeSet || reply.value == kModeReset)) {
        win32InputOffered_ = true;
        win32InputFoundOn_ = reply.value == kModeSet;
      }
      if (reply.mode == kKeypadMode)
        keypadFoundApplication_ = reply.value == kModeSet || reply.value == kModePermanentlySet;
      break;
    case TerminalReply::Kind::kDeviceAttributes:
      answered_ = true;
      break;
    case TerminalReply::Kind::kSecondaryAttributes:
      identity_.kind = reply.mode;
      break;
    case TerminalReply::Kind::kColourReport:
      brightColoursShown_ = brightColoursShown_ || reply.mode == kFirstBrightColour;
      break;
  }
}

KeyProtocol TerminalNegotiation::Decision() const {
  if (kittyOffered_) return KeyProtocol::kKitty;
  if (win32InputOffered_) return KeyProtocol::kWin32Input;
  return KeyProtocol::kLegacy;
}

TerminalCapabilities TerminalNegotiation::Capabilities() const {
  TerminalCapabilities capabilities = described_;
  capabilities.brightColours = capabilities.brightColours || brightColoursShown_;
  return WithKnownDifferences(capabilities, identity_);
}

std::string_view TerminalNegotiation::EnableSequence(KeyProtocol protocol) {
  return Switches(protocol).on;
}

std::string_view TerminalNegotiation::RestoreSequence(KeyProtocol protocol) const {
  if (protocol == KeyProtocol::kWin32Input && win32InputFoundOn_) return kWin32InputOn;
  return Switches(protocol).off;
}

std::string_view TerminalNegotiation::KeypadRestoreSequence() const {
  return keypadFoundApplication_ ? kKeypadApplication : kKeypadNumeric;
}
