// JPEG pictures to bitmaps: decoded only as large as the wanted size needs
// (the decoder's own 1/8 steps), then shrunk by area averaging to exactly
// that size.
#pragma once
#include <string>

class CMyBitmap;

// The size a picture of w x h gets under `limit` (0 means 2000): the longer
// side becomes at most `limit`, never enlarged, each side at least 1.
void JpegTargetSize(int w, int h, int limit, int& outW, int& outH);

// Decodes `source` into a 24-bit picture of JpegTargetSize, a mirrored EXIF
// orientation undone (the quarter turn is left to photo::ExifTurn and the
// record's turn code). 0, or -1 when the
// file is missing or no regular file, not a JPEG, damaged or cut short, or
// absurdly large (for its bytes or outright).
int DecodeJpeg(const std::string& source, int limit, CMyBitmap& out);

// DecodeJpeg, then saves the picture as a BMP file at `target`. 0 or -1.
int JpegToBitmap(const std::string& source, const std::string& target, int limit);

// The EXIF orientation (1-8) of a JPEG file, 0 when it has none.
int JpegOrientation(const std::string& source);
