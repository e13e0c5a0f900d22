// Keeping what the window shows: pictures (PNG) and clips (animated WebP),
// their names and folder, and files written so that a failure leaves none
// half written. Plain records and files, no GL: the frame is read from GL
// elsewhere (capture/readback.h).
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// A picture of the window: width x height red-green-blue bytes, the top row
// first, as a picture file stores it.
struct Frame {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;
};

// Something that could not be kept; the message says what and why, ready to
// follow "lighter: ".
struct CaptureError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// ---- Names and the folder ------------------------------------------------

// "lighter-YYYYMMDD-HHMMSS" for the local time `local`.
std::string captureStem(const std::tm& local);

// The `n`th choice of a name: stem + extension for 1, then stem-2 +
// extension, stem-3 + extension, ...
std::string numberedName(const std::string& stem, int n, const std::string& extension);

// XDG_PICTURES_DIR as `xdg-user-dir PICTURES` reads it from the text of a
// user-dirs.dirs file: the last assignment of "$HOME/..." (relative to
// `home`) or "/...", with the shell's backslash escapes undone; nothing when
// no line sets it.
std::optional<std::string> picturesDirFromUserDirs(const std::string& text,
                                                   const std::string& home);

// Where user-dirs.dirs is: $XDG_CONFIG_HOME/user-dirs.dirs, or
// $HOME/.config/user-dirs.dirs when XDG_CONFIG_HOME is unset, empty or
// relative (the XDG rules ignore a relative one); empty when neither gives
// an absolute path. Either may be null.
std::string userDirsPath(const char* xdgConfigHome, const char* home);

// What decides the folder pictures and clips go into.
struct FolderFacts {
  std::string home;                     // the user's home directory
  std::optional<std::string> userDirs;  // user-dirs.dirs's text, if it could be read
  bool homePicturesExists = false;      // whether home/Pictures is a directory
  std::string workingDir;               // the directory the program was started in
};

// The user's pictures folder when user-dirs.dirs names one, else
// home/Pictures when it exists, else the working directory.
std::string chooseCaptureFolder(const FolderFacts& facts);

// The facts as this process finds them (its environment and files), with the
// caller's working directory `workingDir`.
FolderFacts folderFactsNow(const std::string& workingDir);

// ---- Encoders ------------------------------------------------------------

// `frame` as a PNG file's bytes (libpng).
std::vector<std::uint8_t> encodePng(const Frame& frame);

// What a file name asks a clip to be written as; nothing for an extension
// no encoder here writes.
enum class ClipFormat { kWebp };
std::optional<ClipFormat> clipFormatOf(const std::string& path);
// The extensions clips can have, for messages: ".webp".
extern const char kClipExtensions[];

// An animated WebP built frame by frame (libwebp's WebPAnimEncoder): each
// frame shows from its timestamp until the next one's, the last until the
// clip's end. Every frame must have the size the clip was made with.
class WebpClip {
 public:
  WebpClip(int width, int height);
  ~WebpClip();
  WebpClip(const WebpClip&) = delete;
  WebpClip& operator=(const WebpClip&) = delete;

  // Adds `frame`, shown from `timestampMs` (later than the frame before).
  void add(const Frame& frame, int timestampMs);
  // The file's bytes, the last frame shown until `endMs`.
  std::vector<std::uint8_t> finish(int endMs);
  int frames() const { return frames_; }

 private:
  struct Encoder;
  Encoder* encoder_;
  int width_;
  int height_;
  int frames_ = 0;
};

// The frames an animated WebP holds, from its bytes; 0 for bytes that are
// not one.
int webpFrameCount(const std::vector<std::uint8_t>& bytes);

// ---- Clip frames ---------------------------------------------------------

// The largest frame a clip keeps: larger windows are halved until they fit.
inline constexpr int kClipMaxWidth = 1280;
inline constexpr int kClipMaxHeight = 1024;

// `frame` halved (each pixel the mean of four) until it fits the largest
// clip frame.
Frame fitForClip(Frame frame);

// `frame` centred on a black canvas of width x height, cut where it is
// larger: a clip keeps its size when the window changes its own.
Frame onCanvas(const Frame& frame, int width, int height);

// Which frames a clip keeps and when it ends, over milliseconds since its
// first frame: at most one frame per kClipFrameMs, until `lengthMs`.
inline constexpr int kClipFrameMs = 40;  // 25 frames a second
inline constexpr int kClipLongestMs = 10000;
class ClipPacer {
 public:
  explicit ClipPacer(int lengthMs) : lengthMs_(lengthMs) {}
  // Whether the frame drawn `elapsedMs` after the first is kept; the first
  // always is.
  bool keep(int elapsedMs);
  bool over(int elapsedMs) const { return elapsedMs >= lengthMs_; }
  int lengthMs() const { return lengthMs_; }

 private:
  int lengthMs_;
  int lastKept_ = -1;
};

// ---- Files ---------------------------------------------------------------

// Refuses a folder that cannot take a new file: missing, not a directory or
// not writable. `what` names the thing kept in the message ("the picture").
void checkFolder(const std::string& folder, const std::string& what);

// Writes `bytes` into `folder` under the first numberedName(stem, n,
// extension) that does not exist yet, and returns its path. The bytes go to
// a hidden temporary file in the folder first, are synced and only then get
// the name, which no other file can take meanwhile; on any failure the
// temporary file is removed and nothing is left.
// `what` names the thing kept in the messages.
std::string saveNumbered(const std::string& folder, const std::string& stem,
                         const std::string& extension, const std::vector<std::uint8_t>& bytes,
                         const std::string& what);

// Writes `bytes` as `path` the same way, replacing a file of that name.
void saveAs(const std::string& path, const std::vector<std::uint8_t>& bytes,
            const std::string& what);

// ---- Recording -------------------------------------------------------------

// What became of a clip once it has ended.
struct ClipOutcome {
  std::string path;   // where it was written; empty on failure
  int frames = 0;     // the frames the file holds
  int lengthMs = 0;   // how long it plays
  std::string error;  // why nothing was written, for "lighter: "
};

// A clip being recorded. The drawing thread hands over frames as they are
// drawn; a thread of the recorder's own fits them to the clip's size and
// encodes them, so that drawing goes on at its pace; once the clip ends that
// thread assembles the file and writes it. At most kClipQueuedFrames wait
// to be encoded: a frame that finds no room is left out, and the one
// before it shows the longer. The frames, in memory, are never more.
inline constexpr size_t kClipQueuedFrames = 4;
class ClipRecorder {
 public:
  // Writes the finished clip's bytes and returns the path written; throws
  // CaptureError when it cannot.
  using Writer = std::string (*)(const std::vector<std::uint8_t>& bytes, const std::string& where);

  ClipRecorder();
  ~ClipRecorder();  // waits for the clip's thread
  ClipRecorder(const ClipRecorder&) = delete;
  ClipRecorder& operator=(const ClipRecorder&) = delete;

  // Whether a frame handed over now would be taken.
  bool hasRoom() const;
  // Hands over the frame drawn `elapsedMs` after the clip began.
  void add(Frame frame, int elapsedMs);
  // Ends the clip at `endMs`: the rest is encoded and the file written by
  // `write(bytes, where)` on the recorder's thread.
  void finish(int endMs, Writer write, std::string where);
  // Whether the file has been written (or has failed) since finish.
  bool finished() const;
  // Waits until finished and says what became of the clip.
  ClipOutcome wait();

 private:
  struct Shared;
  void run();
  Shared* shared_;
};
