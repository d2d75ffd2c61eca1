// Full- and half-width forms of CP932 text folded to one form, for a search
// that does not tell them apart: full-width ASCII letters, digits and
// symbols (and the ideographic space) become their ASCII bytes, half-width
// katakana become full-width katakana, a half-width voiced or semi-voiced
// mark joining the kana before it when CP932 has the joined character
// (ｶﾞ -> ガ, ﾊﾟ -> パ, ｳﾞ -> ヴ). Everything else is left as it is; in
// particular "ー" never becomes "-" and "々" is never touched, so
// folding both sides of a comparison only ever joins the two widths of one
// character. Case is not folded here: callers that ignore case fold ASCII
// afterwards, so "ＡＢＣ" matches "abc" exactly when a case-blind match of
// "ABC" would.
#pragma once
#include <string>
#include <string_view>

namespace widthfold {

// `out` becomes the folded form of `sj`. A lead byte at the very end is
// copied as it is (it is not a character, and nothing folds into it).
void Fold(std::string_view sj, std::string& out);
[[nodiscard]] std::string Fold(std::string_view sj);

// True when `folded` (a folded text) holds a character that folding can
// give: an ASCII byte, a full-width katakana or one of the marks
// half-width kana become. When false, a text folded or not equals, begins
// with, ends with or holds `folded` alike (folding changes only characters
// into such characters, and `folded` has none), so a search for it need not
// fold what it searches.
[[nodiscard]] bool HasFoldedForms(std::string_view folded);

// False when no folding of `sj` (ended by its NUL) can hold the double-byte
// character `lead trail`: `sj` holds neither it nor a half-width kana or
// mark that folds into it. A folded search for a text beginning with that
// character then need not fold `sj` at all. (True does not say a folded
// `sj` holds it.)
[[nodiscard]] bool MayGive(const char* sj, char lead, char trail);

// The same folding of the ASCII forms for UTF-8 text: full-width ASCII
// (U+FF01..U+FF5E) and the ideographic space become their ASCII selves, as
// people type dates, times and numbers with the input method on. Nothing
// else changes.
[[nodiscard]] std::string FoldAscii(std::string_view utf8);

}  // namespace widthfold
