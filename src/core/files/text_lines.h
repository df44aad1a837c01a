#pragma once

// The lines of a text source, read in chunks: the layer under the data file
// reader that finds where lines end and what a record split needs of them.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

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

// Passes a source's bytes on and looks at its NUL bytes. Text holds no NUL
// byte, but a power cut or a damaged card leaves blocks of a file as NUL
// bytes: a run of them that goes to the end of the source is a damaged end,
// which is left out; a run of whole blocks (kDamageBlock bytes, where a
// block starts) with text after it is a damaged stretch, passed on as one
// line end so that the lines it cut end there. Any other NUL bytes inside
// the source make it binary: no text at all.
inline constexpr std::size_t kDamageBlock = 512;
class NulRuns {
 public:
  // A run inside the source: the offset in the text passed on where the line
  // end that stands for it is, and its NUL bytes.
  struct Run {
    std::size_t at = 0;
    std::size_t bytes = 0;
  };

  explicit NulRuns(const std::string& name) : name_(name) {}

  // Reads up to `size` bytes from `read` into `to`: text, with a line end for
  // each run inside it. 0 at the end of the source.
  std::size_t Read(const ReadChunkFn& read, char* to, std::size_t size);

  // NUL bytes that ended the source.
  std::size_t tail_bytes() const { return tail_; }
  // The runs inside the source so far, in order.
  const std::vector<Run>& runs() const { return runs_; }
  // NUL bytes inside the source that are no whole blocks.
  bool binary() const { return binary_; }

 private:
  void CountRun(std::size_t bytes);

  const std::string& name_;
  std::string ahead_;  // bytes read from the source and not passed on yet
  std::size_t ahead_at_ = 0;
  bool source_done_ = false;
  std::size_t run_ = 0;        // NUL bytes of the run under way
  std::size_t run_start_ = 0;  // where it started in the source
  std::size_t consumed_ = 0;   // bytes of the source taken so far
  std::size_t passed_ = 0;     // bytes passed on so far
  bool binary_ = false;
  std::size_t tail_ = 0;
  std::vector<Run> runs_;
};

}  // namespace slm
