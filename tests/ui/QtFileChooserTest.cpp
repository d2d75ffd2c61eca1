// Where the file dialogs open: never the root of the file system.
#include <gtest/gtest.h>

#include <QDir>

#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "qtkit/QtFileChooser.h"
#include "support/TempDir.h"

TEST(QtFileChooser, ADialogStartsInTheLastFolderOfItsKindElseTheDocumentsFolder) {
  TempDir dir;
  // a home of the test's own, with its documents folder
  const QByteArray home = qgetenv("HOME"), config = qgetenv("XDG_CONFIG_HOME");
  qputenv("HOME", dir.path().c_str());
  qputenv("XDG_CONFIG_HOME", (dir / ".config").c_str());
  ASSERT_TRUE(fileops::MakeDirs(dir / "Documents") && fileops::MakeDirs(dir / "控え"));
  const QString docs = QString::fromStdString(dir / "Documents");

  FileChoice pdf, csv, folder;
  pdf.save = true;
  pdf.filter = "PDF (*.pdf)"_sj;
  pdf.suggested = "家計簿.pdf";
  csv.filter = "CSV (*.csv)"_sj;
  folder.chooseFolder = true;
  const struct {
    const FileChoice* choice;
    std::string given;  // the choice's own folder
    QString start;
  } kSteps[] = {
      {&pdf, "", docs + QString::fromUtf8("/家計簿.pdf")},
      {&csv, dir / "gone", docs},  // a folder that is not there
      {&folder, "", docs},
      {&pdf, "", QString::fromStdString(dir / "控え/家計簿.pdf")},  // after a PDF went there
      {&csv, "", docs},                                             // another kind stays
      {&csv, dir.path(), QString::fromStdString(dir.path())},
  };
  for (size_t i = 0; i < std::size(kSteps); ++i) {
    if (i == 3) QtFileChooser::Remember(pdf, QString::fromStdString(dir / "控え/去年.pdf"));
    FileChoice c = *kSteps[i].choice;
    c.folder = kSteps[i].given;
    EXPECT_EQ(kSteps[i].start, QtFileChooser::StartPath(c)) << i;
  }
  qputenv("HOME", home);
  if (config.isNull())
    qunsetenv("XDG_CONFIG_HOME");
  else
    qputenv("XDG_CONFIG_HOME", config);
}
