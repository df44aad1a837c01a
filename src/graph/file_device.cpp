#include "graph/file_device.h"

#include <QtGlobal>
#include <optional>
#include <string_view>

#include "files/file_io.h"

namespace slm {
namespace {

// Hands what Qt writes to a ReplacingFile and keeps the first failure, which
// Qt's painters would not tell.
class ReplacingDevice : public QIODevice {
 public:
  explicit ReplacingDevice(ReplacingFile& file) : file_(file) { open(QIODevice::WriteOnly); }
  const std::optional<DataFileError>& failure() const { return failure_; }
  bool isSequential() const override { return true; }

 protected:
  qint64 readData(char*, qint64) override { return -1; }
  qint64 writeData(const char* data, qint64 size) override {
    if (failure_) return -1;
    try {
      file_.Write(std::string_view(data, static_cast<std::size_t>(size)));
    } catch (const DataFileError& e) {
      failure_ = e;
      return -1;
    }
    return size;
  }

 private:
  ReplacingFile& file_;
  std::optional<DataFileError> failure_;
};

void Quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

// Puts Qt's own messages aside while it lives.
class QuietQt {
 public:
  QuietQt() : previous_(qInstallMessageHandler(Quiet)) {}
  ~QuietQt() { qInstallMessageHandler(previous_); }
  QuietQt(const QuietQt&) = delete;
  QuietQt& operator=(const QuietQt&) = delete;

 private:
  QtMessageHandler previous_;
};

}  // namespace

void WriteDrawnFile(const std::string& path, const std::function<bool(QIODevice&)>& draw) {
  ReplacingFile file(path);
  bool drawn = false;
  std::optional<DataFileError> failure;
  {
    ReplacingDevice device(file);
    QuietQt quiet;
    drawn = draw(device);
    failure = device.failure();
  }
  if (failure) throw *failure;
  if (!drawn) {
    throw DataFileError(path, AbsolutePath(path) + " could not be written: the drawing failed.");
  }
  file.Commit();
}

}  // namespace slm
