// A division opened without the window, for `jbx export` and `jbx import`:
// the objects the main window would hold (settings, the table with every
// period loaded, the period list, the input form's field list, the first
// display screen), built the way `jbx add` builds them.
#pragma once
#include <memory>
#include <string>

#include "catalogue/CMyMaster.h"
#include "exchange/ExchangeColumns.h"
#include "input/CMyInput.h"
#include "input/StoreInputPorts.h"
#include "mainview/sheet/ViewPorts.h"
#include "platform/Clock.h"
#include "screens/CMyScr.h"
#include "shell/CMyGlobal.h"
#include "store/CMyDB.h"
#include "store/CMyPeriods.h"
#include "store/CMyRec.h"

class Prompter;

class CliBook {
 public:
  CliBook(Prompter& prompter, CivilDate today);

  // Opens division `division` (its position in the user's list from 0, or
  // its name) of `user` under `root` (all UTF-8) and loads every period.
  // Empty when open; else what is missing, in words (UTF-8). `writing`: the
  // book's lock is held from here until this object goes, so that nothing
  // another program writes meanwhile is lost or overwritten.
  std::string Open(const std::string& root, const std::string& user, const std::string& division,
                   bool writing = false);
  // The period list of an opened division read (or rebuilt, or refused) as
  // the window does, and every period loaded: the one way a command reads a
  // book. `lock` (writing commands): taken first and kept. Empty, or the
  // reason in words (UTF-8) after the periods' own message.
  static std::string LoadBook(const CMyGlobal& global, CMyPeriods& periods, fileops::WriteLock* lock);

  // The division as export and import take it.
  ExchangeBook Book();
  bool ByPage() const { return form.ByPage(); }
  // The first display screen (its lines per page; the view's settings).
  bool HasScreen() const { return hasScreen; }

  Prompter& prompter;
  FixedClock clock;
  CMyGlobal global;
  CMyDB db;
  CMyRec records{&db}, work{&db};
  CMyMaster divout;
  CMyPeriods periods;
  StoreInputView view;
  CMyInput form;
  CMyScr scr;
  ViewScreen screen;
  bool hasScreen = false;
  fileops::WriteLock lock;
};
