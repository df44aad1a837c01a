#pragma once

// The lines of a text source, read in chunks: the layer under the data file
// reader that finds where lines end and what a record split needs of them.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace slm {

// What a record split needs to know of a line, found in the same pass over
// its bytes as the line's end: where its first three tabs are and whether it
// holds a quote. Positions count from the line's first byte.
struct LineShape {
  std::size_t tabs[3] = {};
  int tab_count = 0;
  bool quote = false;
};

// Takes the lines ReadLines finds.
class LineSink {
 public:
  virtual ~LineSink() = default;
  // One line without its line end, and its shape; `ended`: it had one (only
  // the last line of a source may lack it). Returns false when the read should stop.
  virtual bool Line(std::string_view line, const LineShape& shape, std::size_t bytes_so_far,
                    bool ended) = 0;
  // A line longer than kMaxLineBytes, whose bytes were passed to Skip.
  virtual bool LongLine(std::size_t bytes_so_far) = 0;
  // Bytes of lines that are no records.
  virtual void Skip(std::size_t bytes) = 0;
  // The read is over after `bytes` bytes.
  virtual void Done(std::size_t bytes) = 0;
};

// Reads up to `size` bytes of a source into `to`; 0 at its end.
using ReadChunkFn = std::function<std::size_t(char* to, std::size_t size)>;

// Feeds the lines of a source to `sink`, reading it in chunks so that a
// huge file opened by mistake costs no more memory than a full list. CR LF,
// LF and CR each end a line; a line past kMaxLineBytes is dropped as it comes.
// `size_hint`: the bytes expected, 0 when not known; a small file needs no
// chunk of a megabyte, but every buffer holds a line of kMaxLineBytes and more.
void ReadLines(const ReadChunkFn& read, LineSink& sink, std::size_t size_hint);

// Passes a source's bytes on up to its first NUL byte and looks at what
// follows. Text holds no NUL byte, but a power cut leaves the blocks of a file
// that were never written as NUL bytes: a source whose bytes from some point
// to its end are all NUL is text with a damaged end, which is left out. NUL
// bytes with anything else after them make the source no text at all.
class NulTail {
 public:
  explicit NulTail(const std::string& name) : name_(name) {}

  // Reads up to `size` bytes from `read` into `to`: the text before a NUL.
  std::size_t Read(const ReadChunkFn& read, char* to, std::size_t size);

  std::size_t nul_bytes() const { return text_after_ ? 0 : nul_bytes_; }
  bool text_after() const { return text_after_; }

 private:
  void Look(const char* data, std::size_t size);

  const std::string& name_;
  bool in_tail_ = false;
  bool text_after_ = false;
  std::size_t nul_bytes_ = 0;
};

}  // namespace slm
