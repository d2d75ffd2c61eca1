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
#include "mainview/ViewPorts.h"
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
  // Empty when open; else what is missing, in words (UTF-8).
  std::string Open(const std::string& root, const std::string& user, const std::string& division);

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
};
