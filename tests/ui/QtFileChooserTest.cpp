// Where the file dialogs open: never the root of the file system.
#include <gtest/gtest.h>

#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "qtkit/QtFileChooser.h"
#include "support/TempDir.h"

TEST(QtFileChooser, ADialogStartsInTheLastFolderOfItsKindElseTheDocumentsFolder) {
  TempDir dir;  // a home of the test's own, with its documents folder
  const QByteArray home = qgetenv("HOME");
  qputenv("HOME", dir.path().c_str());
  qunsetenv("XDG_CONFIG_HOME");  // no user-dirs.dirs of the real home
  ASSERT_TRUE(fileops::MakeDirs(dir / "Documents") && fileops::MakeDirs(dir / "控え"));
  FileChoice pdf, csv;
  pdf.filter = "PDF (*.pdf)"_sj;
  pdf.suggested = "家計簿.pdf";
  csv.filter = "CSV (*.csv)"_sj;
  const struct {
    FileChoice* choice;
    std::string given, start;  // the choice's own folder; where it opens
  } kSteps[] = {{&pdf, "", dir / "Documents/家計簿.pdf"},
                {&csv, dir / "gone", dir / "Documents"},  // a folder that is not there
                {&pdf, "", dir / "控え/家計簿.pdf"},      // after a PDF went there
                {&csv, "", dir / "Documents"},            // another kind stays
                {&csv, dir.path(), dir.path()}};
  for (size_t i = 0; i < std::size(kSteps); ++i) {
    if (i == 2) QtFileChooser::Remember(pdf, QString::fromStdString(dir / "控え/去年.pdf"));
    kSteps[i].choice->folder = kSteps[i].given;
    EXPECT_EQ(QString::fromStdString(kSteps[i].start), QtFileChooser::StartPath(*kSteps[i].choice)) << i;
  }
  qputenv("HOME", home);
}
