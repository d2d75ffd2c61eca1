// Named colour kinds of a division (text colour + background colour) kept
// in its COLOR name table ("color.dat"): the list the editor shows, adding,
// replacing, deleting and reordering with their checks, the F6 kind and the
// three palette buttons.
#pragma once
#include <string>
#include <vector>

class CMyMaster;
class Prompter;
class Beeper;

struct ColorKind {
  std::string name;  // CP932, at most 30 characters
  bool useText = false;
  bool useBack = false;
  bool f6 = false;    // bound to the F6 key
  int palette = 0;    // palette button 1..3, 0 none
  int textColor = 0;  // 0x00BBGGRR
  int backColor = 0xFFFFFF;
};

class CMyColorKinds {
 public:
  // Record layout of a colour kind inside the table's 132-byte record.
  static constexpr int kName = 12, kNameSize = 32;
  static constexpr int kUseText = 100, kUseBack = 104, kF6 = 108, kPalette = 112;
  static constexpr int kTextColor = 120, kBackColor = 124;

  CMyColorKinds(CMyMaster& table, Prompter& prompter, Beeper& beeper)
      : table_(table), prompter_(prompter), beeper_(beeper) {}

  int Count() const;
  ColorKind Get(int i) const;
  // "S"/" " + "(n)"/"   " + " " + name, one per kind, in table order.
  std::vector<std::string> ListLines() const;
  int F6Kind() const;                 // -1 none
  int PaletteKind(int button) const;  // kind bound to button 1..3, -1 none

  // The most bytes a name can keep in its field (the rest of the 32 is its NUL).
  static constexpr int kMaxNameBytes = kNameSize - 1;

  // Add (update false) or replace kind `index` (update true). 0 on success; 1 refused with a
  // message (nothing selected, no name, a name too long for its field, no
  // colour in use); -3 a duplicate name. Every check comes before any
  // binding moves, so a refused kind changes nothing.
  int Store(int index, const ColorKind& kind, bool update);
  int Delete(int index);  // asks first; 0 deleted, 1 not
  int MoveUp(int index);  // 0 moved, 1 beeped
  int MoveDown(int index);

  // The name as typed (UTF-8) in the form the table keeps (CP932). 0, or 1
  // after a message naming the first character CP932 cannot hold; nothing
  // is dropped or replaced.
  static int NameFromUtf8(const std::string& utf8, std::string& sj, Prompter& prompter);

  bool Changed() const { return changed_; }
  // Writes "color.dat" when anything changed. 0, 1 when unchanged, -1 failure.
  int SaveIfChanged(const std::string& path);

  // The CR001 / CR002 values a record gets when the kind is applied:
  // decimal colour numbers, empty for an unused colour.
  static void Apply(const ColorKind& kind, std::string& cr001, std::string& cr002);

 private:
  int SetInt(int i, int offset, int value);
  CMyMaster& table_;
  Prompter& prompter_;
  Beeper& beeper_;
  bool changed_ = false;
};
