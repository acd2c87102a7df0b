#include "KeyDecoder.h"

#include <optional>

#include "CsiParameters.h"
#include "KeyLayout.h"
#include "Win32InputKeys.h"
#include "runtime/Win1250.h"

namespace {

constexpr char kEsc = '\x1b';
constexpr char kBel = '\x07';
constexpr uint8_t kControlC = 3;
// ESC [ starts a control sequence; ESC O (SS3) one key of the application keypad or cursor block.
constexpr char kCsiIntroducer = '[';
constexpr char kSs3Introducer = 'O';
// ESC ] (OSC) and ESC P (DCS) start a control string, which BEL or ST (ESC \) ends.
constexpr char kOscIntroducer = ']';
constexpr char kDcsIntroducer = 'P';
constexpr char kStringTerminatorFinal = '\\';
// A control string longer than any answer asked for is dropped as it comes.
constexpr std::size_t kMaxStringLength = 256;

constexpr uint32_t kMaxModifierParameter = 16;  // Meta (8) is accepted and ignored
constexpr int kMaxNumber = 999;
constexpr int kMaxReplyNumber = 99999;
// Answers kept for the negotiation; older ones nobody took are dropped.
constexpr std::size_t kMaxReplies = 8;

// What decoding depends on besides the bytes: the terminal's sequences, how it
// reports keys, the state of kitty's events, where terminal answers go, and
// whether the rest of an overlong control string is being dropped.
struct Context {
  TerminalVariant variant;
  std::span<const DeclaredKey> declared;
  KeyProtocol protocol;
  KittyKeys& kitty;
  std::deque<TerminalReply>& replies;
  bool& skippingString;
};

enum class Status { kKey, kDrop, kIncomplete };

struct Parsed {
  Status status;
  std::size_t length = 0;
  KeyEvent event = {};
};

Parsed Key(std::size_t length, KeyEvent event) {
  return {Status::kKey, length, event};
}
Parsed Drop(std::size_t length) {
  return {Status::kDrop, length};
}
constexpr Parsed kIncomplete = {Status::kIncomplete};

KeyEvent WithAlt(KeyEvent event) {
  event.controlState |= KeyState::kLeftAlt;
  return event;
}

KeyEvent CharacterPress(uint8_t character) {
  if (character < 0x80) return AsciiKeyPress(character);
  // Letters beyond ASCII have no key of their own on the US layout.
  KeyEvent event;
  event.character = character;
  return event;
}

// A control sequence split into its parts: parameter bytes, intermediate
// bytes and the final byte, `length` bytes from the sequence's start.
struct Sequence {
  Status status;
  std::size_t length = 0;
  std::string_view parameters = {};
  std::string_view intermediates = {};
  char final = 0;
};

Sequence ScanSequence(std::string_view bytes, std::size_t start, bool final) {
  std::size_t at = start;
  while (at < bytes.size() && bytes[at] >= 0x30 && bytes[at] <= 0x3F) ++at;
  const std::size_t parametersEnd = at;
  // '$' would be an intermediate byte, but rxvt ends its Shift+key sequences with it.
  while (at < bytes.size() && bytes[at] >= 0x20 && bytes[at] <= 0x2F && bytes[at] != '$') ++at;
  if (at == bytes.size()) return {final ? Status::kDrop : Status::kIncomplete, at};
  const char last = bytes[at];
  // A byte that cannot end a sequence cuts it off; it is decoded on its own.
  if ((last < 0x40 || last > 0x7E) && last != '$') return {Status::kDrop, at};
  return {Status::kKey, at + 1, bytes.substr(start, parametersEnd - start),
          bytes.substr(parametersEnd, at - parametersEnd), last};
}

// Up to two numeric parameters separated by ';', each defaulting to 0; false
// for anything else (sub-parameters, private markers, more numbers, a number above `limit`).
bool Numbers(std::string_view parameters, int (&numbers)[2], int& count, int limit = kMaxNumber) {
  CsiParameters fields;
  if (!ParseCsiParameters(parameters, static_cast<uint32_t>(limit), fields) || fields.count > 2 ||
      !fields.Plain())
    return false;
  count = fields.count;
  numbers[0] = static_cast<int>(fields.at[0][0]);
  numbers[1] = static_cast<int>(fields.at[1][0]);
  return true;
}

Parsed WithModifier(std::size_t length, KeyEvent event, int modifier) {
  uint32_t bits = 0;
  if (!ModifierBits(static_cast<uint32_t>(modifier), kMaxModifierParameter, bits))
    return Drop(length);
  event.controlState |= ModifierKeyState(bits);
  return Key(length, event);
}

// An answer to a query (CSI ? ...): recorded for the negotiation, never a key,
// whenever it arrives.
Parsed ParseReply(std::string_view bytes, const Sequence& sequence, bool final, Context& context) {
  const std::string_view numbers = sequence.parameters.substr(1);
  int values[2];
  int count = 0;
  switch (sequence.final) {
    case 'u':  // the kitty flags in force
      if (Numbers(numbers, values, count, kMaxReplyNumber) && count <= 1)
        context.replies.push_back({TerminalReply::Kind::kKittyFlags, 0, values[0]});
      return Drop(sequence.length);
    case 'c':  // the primary device attributes
      context.replies.push_back({TerminalReply::Kind::kDeviceAttributes});
      return Drop(sequence.length);
    case '$': {  // DECRPM ends in '$' 'y'
      if (sequence.length == bytes.size()) return final ? Drop(sequence.length) : kIncomplete;
      if (bytes[sequence.length] != 'y') return Drop(sequence.length);
      if (Numbers(numbers, values, count, kMaxReplyNumber) && count == 2)
        context.replies.push_back({TerminalReply::Kind::kModeReport, values[0], values[1]});
      return Drop(sequence.length + 1);
    }
  }
  return Drop(sequence.length);
}

// The answer to the secondary device attributes, CSI > kind ; version ; ... c:
// recorded for the negotiation, never a key.
Parsed ParseSecondaryAttributes(const Sequence& sequence, Context& context) {
  CsiParameters fields;
  if (ParseCsiParameters(sequence.parameters.substr(1), kMaxReplyNumber, fields) &&
      fields.Plain() && fields.count >= 2)
    context.replies.push_back({TerminalReply::Kind::kSecondaryAttributes,
                               static_cast<int>(fields.at[0][0]),
                               static_cast<int>(fields.at[1][0])});
  return Drop(sequence.length);
}

// Where a control string whose text starts at `from` ends in `bytes`.
struct StringEnd {
  enum { kTerminated, kCutOff, kOpen } how;
  std::size_t text;  // the end of its text
  std::size_t next;  // where the bytes after it start
};

StringEnd FindStringEnd(std::string_view bytes, std::size_t from) {
  for (std::size_t at = from; at < bytes.size(); ++at) {
    if (bytes[at] == kBel) return {StringEnd::kTerminated, at, at + 1};
    if (bytes[at] != kEsc) continue;
    if (at + 1 == bytes.size()) break;  // an ST may be coming
    if (bytes[at + 1] == kStringTerminatorFinal) return {StringEnd::kTerminated, at, at + 2};
    // An ESC that begins anything but ST cuts the string off and is decoded on its own.
    return {StringEnd::kCutOff, at, at};
  }
  return {StringEnd::kOpen, bytes.size(), bytes.size()};
}

// Records the answer among control strings that the negotiation asks for: a
// colour's value (OSC 4 ; colour ; value).
void RecordString(char introducer, std::string_view text, Context& context) {
  constexpr int kColourValue = 4;  // OSC 4: a colour of the palette
  if (introducer != kOscIntroducer) return;
  const std::size_t value = text.find(';', text.find(';') + 1);
  int numbers[2];
  int count = 0;
  if (value != std::string_view::npos && value + 1 < text.size() && text.substr(value + 1) != "?" &&
      Numbers(text.substr(0, value), numbers, count, kMaxReplyNumber) && count == 2 &&
      numbers[0] == kColourValue)
    context.replies.push_back({TerminalReply::Kind::kColourReport, numbers[1]});
}

// A control string (ESC ] or ESC P and at least one byte more): an answer to a
// query, recorded where the negotiation asked for it, and never keys, whenever
// it comes. One without an end yet is waited for up to kMaxStringLength bytes;
// a longer one is dropped as it comes.
Parsed ParseString(std::string_view bytes, bool final, Context& context) {
  constexpr std::size_t kTextStart = 2;
  const StringEnd end = FindStringEnd(bytes, kTextStart);
  if (end.how == StringEnd::kOpen && !final) {
    if (bytes.size() <= kMaxStringLength) return kIncomplete;
    // Too long for an answer: the decoder drops the rest of it as it comes.
    context.skippingString = true;
    return Drop(kTextStart);
  }
  if (end.how == StringEnd::kTerminated && end.next <= kMaxStringLength)
    RecordString(bytes[1], bytes.substr(kTextStart, end.text - kTextStart), context);
  return Drop(end.next);
}

bool IsKittyFinal(char final) {
  return final == 'u' || final == '~' || (final >= 'A' && final <= 'F') || final == 'H' ||
         final == 'P' || final == 'Q' || final == 'S';
}

// The full key events of kitty's protocol and of win32-input-mode records;
// kitty's CSI u form is taken in any mode, as some terminals send it for
// modified keys without being asked. Nothing for the sequences of other keys.
std::optional<Parsed> ParseFullEvent(const Sequence& sequence, Context& context) {
  if (!sequence.intermediates.empty()) return std::nullopt;
  KeyEvent event;
  bool decoded = false;
  if (sequence.final == '_' && context.protocol == KeyProtocol::kWin32Input) {
    decoded = DecodeWin32InputRecord(sequence.parameters, event);
  } else if (sequence.final == 'u' ||
             (context.protocol == KeyProtocol::kKitty && IsKittyFinal(sequence.final))) {
    decoded = context.kitty.Decode(sequence.parameters, sequence.final, event);
  } else {
    return std::nullopt;
  }
  return decoded ? Key(sequence.length, event) : Drop(sequence.length);
}

Parsed ParseCsi(std::string_view bytes, bool final, Context& context) {
  constexpr std::size_t kStart = 2;
  if (bytes.size() == kStart)
    return final ? Key(kStart, WithAlt(AsciiKeyPress(kCsiIntroducer))) : kIncomplete;
  if (bytes[kStart] == '[') {  // Linux console F1..F5: CSI [ A .. CSI [ E
    if (bytes.size() == kStart + 1) return final ? Drop(kStart + 1) : kIncomplete;
    const char key = bytes[kStart + 1];
    KeyEvent event;
    if (LinuxFunctionKey(key, event)) return Key(kStart + 2, event);
    return Drop(key < 0x20 ? kStart + 1 : kStart + 2);
  }
  const Sequence sequence = ScanSequence(bytes, kStart, final);
  if (sequence.status != Status::kKey) {
    if (sequence.status == Status::kDrop) return Drop(sequence.length);
    return kIncomplete;
  }
  if (sequence.parameters.starts_with('?')) return ParseReply(bytes, sequence, final, context);
  if (sequence.parameters.starts_with('>') && sequence.final == 'c')
    return ParseSecondaryAttributes(sequence, context);
  if (const std::optional<Parsed> parsed = ParseFullEvent(sequence, context)) return *parsed;
  const std::size_t length = sequence.length;
  std::string_view parameters = sequence.parameters;
  const bool functionKeyFinal = sequence.final >= 'P' && sequence.final <= 'S';
  if (functionKeyFinal && parameters.starts_with('>')) parameters.remove_prefix(1);  // CSI >1;m P
  int numbers[2];
  int count = 0;
  if (!sequence.intermediates.empty() || !Numbers(parameters, numbers, count)) return Drop(length);

  KeyEvent event;
  switch (sequence.final) {
    case '~':
      if (count == 0 || !CsiNumberKey(numbers[0], event)) return Drop(length);
      return WithModifier(length, event, count == 2 ? numbers[1] : 1);
    case '^':  // rxvt: Ctrl
    case '$':  // rxvt: Shift
    case '@':  // rxvt: Ctrl+Shift
      if (count != 1 || !CsiNumberKey(numbers[0], event)) return Drop(length);
      return WithModifier(length, event,
                          1 + (sequence.final == '$' ? 0 : ModifierBit::kCtrl) +
                              (sequence.final == '^' ? 0 : ModifierBit::kShift));
  }
  if (!CsiFinalKey(sequence.final, event)) return Drop(length);
  // CSI X, CSI m X, or CSI 1;m X. A cursor position report has another first
  // number, so CSI 1;2 R is Shift+F3 and CSI 24;80 R is dropped.
  if (count == 2 && numbers[0] != 1) return Drop(length);
  return WithModifier(length, event, count == 0 ? 1 : numbers[count - 1]);
}

Parsed ParseSs3(std::string_view bytes, bool final, TerminalVariant variant) {
  constexpr std::size_t kStart = 2;
  if (bytes.size() == kStart)
    return final ? Key(kStart, WithAlt(AsciiKeyPress(kSs3Introducer))) : kIncomplete;
  const Sequence sequence = ScanSequence(bytes, kStart, final);
  if (sequence.status != Status::kKey) {
    if (sequence.status == Status::kDrop) return Drop(sequence.length);
    return kIncomplete;
  }
  int numbers[2];
  int count = 0;
  KeyEvent event;
  if (!sequence.intermediates.empty() || !Numbers(sequence.parameters, numbers, count) ||
      !Ss3Key(sequence.final, variant, event))
    return Drop(sequence.length);
  // SS3 m P carries the modifier as its only number.
  return WithModifier(sequence.length, event, count == 0 ? 1 : numbers[count - 1]);
}

// One character of UTF-8 text as its Windows-1250 byte; '?' for a character
// the code page lacks and for each malformed piece.
Parsed ParseUtf8(std::string_view bytes, bool final) {
  const auto lead = static_cast<uint8_t>(bytes[0]);
  int extra = 0;
  uint8_t low = 0x80;   // the range of the first continuation byte, which rules out
  uint8_t high = 0xBF;  // overlong forms, surrogates and code points beyond U+10FFFF
  if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return Key(1, AsciiKeyPress(kWin1250Replacement));
  }
  char32_t codePoint = lead & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) {
    if (static_cast<std::size_t>(k) == bytes.size())
      return final ? Key(k, AsciiKeyPress(kWin1250Replacement)) : kIncomplete;
    const auto next = static_cast<uint8_t>(bytes[k]);
    if (next < low || next > high) return Key(k, AsciiKeyPress(kWin1250Replacement));
    low = 0x80;
    high = 0xBF;
    codePoint = (codePoint << 6) | (next & 0x3F);
  }
  return Key(extra + 1, CharacterPress(Win1250Byte(codePoint)));
}

// The longest sequence the terminal declares at the start of `bytes`, or the
// wait for more where the bytes may still become one; nothing otherwise. Only
// for the legacy sequences: the other protocols' events carry more.
std::optional<Parsed> ParseDeclared(std::string_view bytes, bool final, const Context& context) {
  if (context.protocol != KeyProtocol::kLegacy) return std::nullopt;
  std::optional<Parsed> found;
  bool more = false;
  for (const DeclaredKey& key : context.declared) {
    if (bytes.starts_with(key.sequence) && (!found || key.sequence.size() > found->length))
      found = Key(key.sequence.size(), key.event);
    more = more || (key.sequence.size() > bytes.size() && key.sequence.starts_with(bytes));
  }
  if (more && !final) return kIncomplete;
  return found;
}

// A sequence the tables do not know, unless the terminal declares it.
Parsed OrDeclared(Parsed parsed, std::string_view bytes, bool final, const Context& context) {
  if (parsed.status != Status::kDrop) return parsed;
  return ParseDeclared(bytes, final, context).value_or(parsed);
}

Parsed ParseKey(std::string_view bytes, bool final, Context& context);

// ESC and what follows it: a sequence, Alt with the key that follows, or the Esc key alone.
Parsed ParseEscape(std::string_view bytes, bool final, Context& context) {
  if (bytes.size() == 1) return final ? Key(1, AsciiKeyPress(kEsc)) : kIncomplete;
  switch (bytes[1]) {
    case kCsiIntroducer:
      return OrDeclared(ParseCsi(bytes, final, context), bytes, final, context);
    case kSs3Introducer:
      return OrDeclared(ParseSs3(bytes, final, context.variant), bytes, final, context);
    case kEsc: {
      // ESC ESC [ ... and ESC ESC O ... are a sequence with Alt; ESC ESC alone is Alt+Esc.
      if (bytes.size() == 2 && !final) return kIncomplete;
      if (bytes.size() == 2 || (bytes[2] != kCsiIntroducer && bytes[2] != kSs3Introducer))
        return Key(2, WithAlt(AsciiKeyPress(kEsc)));
      break;
    }
  }
  // ESC and a character: a sequence of the terminal's own, a control string
  // (where more than its introducer has come at once), or Alt with that character.
  if (const std::optional<Parsed> declared = ParseDeclared(bytes, final, context)) return *declared;
  if (bytes[1] == kOscIntroducer || bytes[1] == kDcsIntroducer) {
    if (bytes.size() > 2) return ParseString(bytes, final, context);
    if (!final) return kIncomplete;
  }
  Parsed rest = ParseKey(bytes.substr(1), final, context);
  if (rest.status == Status::kIncomplete) return rest;
  rest.length += 1;
  rest.event = WithAlt(rest.event);
  return rest;
}

Parsed ParseKey(std::string_view bytes, bool final, Context& context) {
  const auto first = static_cast<uint8_t>(bytes[0]);
  if (first == kEsc) return ParseEscape(bytes, final, context);
  if (first < 0x80) return Key(1, AsciiKeyPress(first));
  return ParseUtf8(bytes, final);
}

// Takes the oldest item of `queue` into `item`; false when the queue is empty.
template <typename T>
bool TakeFront(std::deque<T>& queue, T& item) {
  if (queue.empty()) return false;
  item = queue.front();
  queue.pop_front();
  return true;
}

}  // namespace

KeyDecoder::KeyDecoder(std::vector<DeclaredKey> declared)
    : variant_(VariantOf(declared)), declared_(std::move(declared)) {
  std::erase_if(declared_, [](const DeclaredKey& key) {
    return key.sequence.size() < 2 || key.sequence[0] != kEsc;
  });
}

void KeyDecoder::Feed(std::string_view bytes, int64_t now) {
  if (bytes.empty()) return;
  held_.append(bytes);
  deadline_ = now + kEscTimeoutMilliseconds;
  Decode(false);
}

bool KeyDecoder::Next(KeyEvent& event) {
  return TakeFront(events_, event);
}

void KeyDecoder::Expire(int64_t now) {
  if (Holding() && now >= deadline_) Flush();
}

void KeyDecoder::Flush() {
  Decode(true);
}

void KeyDecoder::Decode(bool final) {
  const std::string_view bytes = held_;
  Context context{variant_, declared_, protocol_, kitty_, replies_, skippingString_};
  std::size_t at = 0;
  while (at < bytes.size()) {
    if (skippingString_) {
      const StringEnd end = FindStringEnd(bytes, at);
      if (end.how == StringEnd::kOpen && !final) {
        // A last ESC is kept: it may begin the string's ST.
        at = bytes.back() == kEsc ? bytes.size() - 1 : bytes.size();
        break;
      }
      skippingString_ = false;
      at = end.next;
      continue;
    }
    if (lineEndsAsEnter_ && bytes[at] == '\n') {
      // The LF of CR LF ends the line the CR has ended already.
      if (!afterCarriageReturn_) Emit(AsciiKeyPress('\r'));
      afterCarriageReturn_ = false;
      ++at;
      continue;
    }
    const Parsed parsed = ParseKey(bytes.substr(at), final, context);
    if (parsed.status == Status::kIncomplete) break;
    if (parsed.status == Status::kKey) Emit(parsed.event);
    afterCarriageReturn_ = parsed.status == Status::kKey && parsed.length == 1 && bytes[at] == '\r';
    at += parsed.length;
  }
  held_.erase(0, at);
  if (final) skippingString_ = false;
  while (replies_.size() > kMaxReplies) replies_.pop_front();
}

bool KeyDecoder::NextReply(TerminalReply& reply) {
  return TakeFront(replies_, reply);
}

void KeyDecoder::Emit(KeyEvent event) {
  // With full key events the terminal sends Ctrl+C as a key instead of
  // interrupting the program: the event is the interrupt.
  event.interrupt = protocol_ != KeyProtocol::kLegacy && event.keyDown &&
                    event.character == kControlC && (event.controlState & KeyState::kCtrl);
  events_.push_back(event);
  // A legacy terminal reports no releases; the keyboard ends an Alt+keypad-digit
  // composition when Alt goes up, so each key typed with Alt releases it.
  if (protocol_ == KeyProtocol::kLegacy && (event.controlState & KeyState::kAlt)) {
    KeyEvent release;
    release.keyDown = false;
    release.virtualKey = VirtualKey::kAlt;
    release.scanCode = ScanCode::kAlt;
    events_.push_back(release);
  }
}
