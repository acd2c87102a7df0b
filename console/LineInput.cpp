#include "LineInput.h"

#include "Crt.h"
#include "KeyCodes.h"
#include "Keyboard.h"

namespace {

// The buffer less two bytes for the line end.
constexpr int kMaxLineLength = TextFile::kBufferSize - 2;

enum Key : uint8_t {
  kEnter = 13,
  kBackspace = 8,
  kCtrlS = 19,
  kEsc = 27,
  kCtrlY = 25,
  kCtrlZ = 26,
  kExtended = 0,
};

// The extended codes of these keys are their scan codes.
enum ExtendedKey : uint8_t {
  kHome = ScanCode::kHome,
  kLeft = ScanCode::kLeft,
  kRight = ScanCode::kRight,
  kEnd = ScanCode::kEnd,
  kKeypadSlash = ScanCode::kSlash,
};

class LineEditor {
 public:
  explicit LineEditor(TextFile& file) : file_(file), cursor_(CrtDevice().Cursor()) {}

  // Edits until the line ends; returns the length of the buffer's contents.
  int Run() {
    ConsoleDevice& device = CrtDevice();
    for (;;) {
      if (position_ > length_) length_ = position_;
      device.SetCursor(cursor_);
      device.Present();
      const uint8_t key = ReadKey();
      switch (key) {
        case kEnter:
          Echo("\r\n");
          file_.buffer[length_] = '\r';
          file_.buffer[length_ + 1] = '\n';
          return length_ + 2;
        case kBackspace:
        case kCtrlS:
          Backspace();
          break;
        case kEsc:
        case kCtrlY:
          End();
          while (length_ > 0) Backspace();
          break;
        case kCtrlZ:
          if (CheckEOF) {
            file_.buffer[length_] = static_cast<char>(kCtrlZ);
            return length_ + 1;
          }
          break;
        case kExtended:
          Extended(ReadKey());
          break;
        default:
          Store(static_cast<char>(key));
      }
    }
  }

  Point Cursor() const { return cursor_; }

 private:
  void Echo(std::string_view bytes) { WriteStr(cursor_, bytes); }

  void Backspace() {
    if (position_ == 0 || position_ != length_) return;
    Echo("\b \b");
    --position_;
    --length_;
  }

  void Left() {
    if (position_ == 0) return;
    --position_;
    Echo("\b");
  }

  void Right() {
    if (position_ >= length_) return;
    Echo(std::string_view(&file_.buffer[position_], 1));
    ++position_;
  }

  void End() {
    while (position_ < length_) Right();
  }

  void Store(char byte) {
    if (position_ >= kMaxLineLength) return;
    file_.buffer[position_++] = byte;
    Echo(std::string_view(&byte, 1));
  }

  void Extended(uint8_t code) {
    switch (code) {
      case kHome:
        while (position_ > 0) Left();
        break;
      case kLeft:
        Left();
        break;
      case kRight:
        Right();
        break;
      case kEnd:
        End();
        break;
      case kKeypadSlash:
        Store('/');
        break;
      default:
        break;
    }
  }

  TextFile& file_;
  Point cursor_;
  int length_ = 0;
  int position_ = 0;
};

}  // namespace

void CrtRead(TextFile& file) {
  ConsoleDevice& device = CrtDevice();
  LineEditor editor(file);
  const int length = editor.Run();
  file.bufferPos = 0;
  file.bufferEnd = static_cast<uint16_t>(length);
  device.SetCursor(editor.Cursor());
  device.Present();
}
