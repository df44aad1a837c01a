#pragma once

#include <QIODevice>
#include <functional>
#include <string>

namespace slm {

// Writes a file that Qt draws (a PDF, PNG or SVG) as every file of the program
// is written, whole or not at all (see ReplacingFile): `draw` paints into the
// device it is given, which writes a temporary file beside `path`, and only
// when `draw` returns true and every byte reached the disk is that file
// renamed over `path`. Qt's own warnings are kept quiet meanwhile: what went
// wrong is said once, in words. Throws DataFileError naming the path; the file
// that was at `path` then stays as it was.
void WriteDrawnFile(const std::string& path, const std::function<bool(QIODevice&)>& draw);

}  // namespace slm
