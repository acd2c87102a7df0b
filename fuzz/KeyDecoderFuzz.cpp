// Feeds arbitrary bytes to the terminal key decoder, as the legacy sequences,
// kitty's key events or win32-input-mode records, in raw mode or as lines of
// text: decoding must end without a crash or a hang, and the bytes fed whole
// must give the same key events as the same bytes cut into two reads at any
// point, all within the Esc timeout; and the terminal's answers to the
// start-up queries before them must change none of those events. The first
// byte chooses the protocol, the key sequences a terminal declares (none, or
// the Linux console's F1 and keys that only a description names), the line
// ends and whether answers come first, the second where the cut falls.
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "terminal/KeyDecoder.h"

namespace {

constexpr int64_t kNow = 1000;

// An answer of every kind the negotiation asks for: the kitty flags, a mode's
// state, colour 8 (by OSC 4, ended by BEL and by ST), the terminal's kind and
// the device attributes.
constexpr std::string_view kAnswers =
    "\x1b[?1u\x1b[?9001;2$y\x1b]4;8;rgb:7f7f/7f7f/7f7f\x07\x1b]4;8;rgb:8080/8080/8080\x1b\\"
    "\x1b[>83;40900;0c\x1b[?62;22c";

struct Settings {
  KeyProtocol protocol;
  bool declares;
  bool lineEndsAsEnter;
  bool answersFirst;
};

Settings SettingsOf(uint8_t byte) {
  constexpr KeyProtocol kProtocols[] = {KeyProtocol::kLegacy, KeyProtocol::kKitty,
                                        KeyProtocol::kWin32Input};
  return {kProtocols[(byte & 3) % 3], (byte & 4) != 0, (byte & 8) != 0, (byte & 16) != 0};
}

// Sequences of every shape: the Linux console's F1, an Esc and a letter, one
// that continues another, one cut off by a byte that cannot end a sequence.
std::vector<DeclaredKey> Declared() {
  const auto key = [](std::string_view name) {
    for (const KeyCapability& capability : KeyCapabilities())
      if (capability.name == name) return capability.event;
    abort();
  };
  return {{"\x1b[[A", key("kf1")},
          {"\x1bP", key("kcuu1")},
          {"\x1bPQ", key("kcud1")},
          {"\x1b[11^", key("kf2")},
          {"\x1bO\x01", key("kf3")}};
}

std::vector<KeyEvent> Decode(const Settings& settings, std::string_view first,
                             std::string_view second) {
  KeyDecoder decoder(settings.declares ? Declared() : std::vector<DeclaredKey>{});
  decoder.SetProtocol(settings.protocol);
  decoder.SetLineEndsAsEnter(settings.lineEndsAsEnter);
  decoder.Feed(first, kNow);
  decoder.Feed(second, kNow);
  decoder.Flush();
  if (!decoder.Empty() && !decoder.Ready()) abort();  // bytes held after the flush
  std::vector<KeyEvent> events;
  KeyEvent event;
  while (decoder.Next(event)) events.push_back(event);
  return events;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const Settings settings = SettingsOf(data[0]);
  const std::string_view bytes(reinterpret_cast<const char*>(data + 2), size - 2);
  const std::size_t cut = data[1] % (bytes.size() + 1);
  const std::vector<KeyEvent> events = Decode(settings, bytes, {});
  if (events != Decode(settings, bytes.substr(0, cut), bytes.substr(cut))) abort();
  if (settings.answersFirst && Decode(settings, kAnswers, bytes) != events) abort();
  return 0;
}
