// Every shipped book, filled through its own input form with values of
// every kind its fields take, goes out to CSV with every column and comes
// back with 全データ入替 into a fresh copy of the book: the same records.
#include <gtest/gtest.h>

#include <string>

#include "catalogue/CMyPackage.h"
#include "exchange/BookFixture.h"
#include "exchange/CMyExport.h"
#include "exchange/CMyImport.h"

namespace {

// A value the control takes, of at most `max` bytes.
std::string ValueFor(const jsc::Control& c, int n) {
  if (c.kind == jsc::kPhoto) return "/photos/p" + std::to_string(n) + ".jpg";
  if (c.kind == jsc::kText) {
    switch (c.dataType) {
      case jsc::kNumber:
        return std::to_string(n * 37 - 100);
      case jsc::kDecimal:
        return std::to_string(n) + ".25";
      case jsc::kDate:
        return "2026/0" + std::to_string(1 + n % 9) + "/1" + std::to_string(n % 10);
      case jsc::kTime:
        return std::to_string(10 + n % 30) + ":0" + std::to_string(n % 10);
      case jsc::kTime2:
        return "0" + std::to_string(n % 10) + ":30";
      default:
        break;
    }
  }
  std::string v = cp932::FromUtf8("\"引用\", 表ソポ <BR> =1+") + std::to_string(n);
  if (c.kind == jsc::kMemo) v += "\r\n" + std::string(500, 'm') + "\r\n" + cp932::FromUtf8("最後の行");
  const size_t max = static_cast<size_t>(c.maxLength > 0 ? c.maxLength : 250);
  return v.size() <= max ? v : v.substr(0, cp932::CharStart(v, max));
}

struct Shipped : bookfix::Book {
  Shipped(const std::string& package, const std::string& division) : Book(false, division) {
    ScriptedPrompter p;
    EXPECT_EQ(0, CMyPackage(p).UnpackTo(package, Div(), nullptr, false));
    EXPECT_TRUE(form.BuildForm(Path("scrin.jsc"))) << package;
    byPage = form.ByPage();
  }
  void Fill() {
    for (int n = 1; n <= 25; ++n) {
      form.ShowRecord({}, -1);
      if (byPage) {
        form.SetPageText(std::to_string(1 + n % 4));
        form.SetLineText(std::to_string(1 + n % 30));
      } else {
        form.SetDateText("2026/0" + std::to_string(1 + n % 3) + "/0" + std::to_string(1 + n % 9));
      }
      for (size_t c = 0; c < form.ControlList().size(); ++c) {
        const jsc::Control& ctl = form.ControlList()[c];
        // every field empty now and then, and one record with none but a colour
        if ((n + static_cast<int>(c)) % 4 == 0 || n == 7) continue;
        form.SetValue(static_cast<int>(c), ValueFor(ctl, n));
        ASSERT_TRUE(form.LeaveField(static_cast<int>(c)))
            << bookfix::Utf8(ctl.alias) << " " << ValueFor(ctl, n);
      }
      if (n % 3 == 0 || n == 7) form.ChooseColor(1);
      ASSERT_TRUE(form.SaveRecord()) << n;
    }
  }
};

}  // namespace

TEST(ShippedBooks, EveryBookGoesOutAndComesBackTheSame) {
  const std::string dir = JBX_PROGRAM_DIR;
  const std::vector<std::string> packages = fileops::List(dir, "PK*.jpk");
  ASSERT_EQ(4u, packages.size());
  for (const std::string& pk : packages) {
    Shipped from(dir + "/" + pk, "from");
    from.Fill();
    ASSERT_GE(from.Records().size(), 24u) << pk;
    ExchangeBook fb = from.Exchange();
    CMyExport ex(fb, from.prompter);
    ExportOptions o;
    o.path = from.dir / "all.csv";
    o.columns = ex.StandardColumns();
    o.interactive = false;
    ASSERT_EQ(CMyExport::kOk, ex.Run(o)) << pk;

    Shipped to(dir + "/" + pk, "to");
    ExchangeBook tb = to.Exchange();
    ImportOptions io;
    io.path = o.path;
    io.replaceAll = true;
    io.interactive = false;
    ASSERT_EQ(CMyImport::kOk, CMyImport(tb, to.prompter, to.clock).Run(io))
        << pk << ": " << (to.prompter.Shown().empty() ? "" : to.prompter.ShownUtf8().back());
    EXPECT_EQ(from.Records(false), to.OnDisk(false)) << pk;
  }
}
