// PNG files of rendered sheets. Qt's own writer lets libpng try every row
// filter on every row, which costs more than painting the sheet; sheets are
// flat colours and text, where the "up" filter and the fastest deflate level
// give files as small in a fraction of the time.
#pragma once
#include <QImage>
#include <string>

namespace png {

// The picture as PNG bytes (8-bit RGB, or RGBA when it has an alpha
// channel); false when it is null or libpng refuses it.
[[nodiscard]] bool Encode(const QImage& image, std::string& out);

}  // namespace png
