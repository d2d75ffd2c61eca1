// The subcommands of `jbx`. Each lives in its own Cmd*.cpp and is listed in
// the table of Cli.cpp, which gives it --help and the shared exit codes
// (cli/Cli.h). Arguments are UTF-8 as typed, output is UTF-8.
#pragma once
#include <string>

int CmdDate(int argc, char** argv);
int CmdTime(int argc, char** argv);
int CmdDump(int argc, char** argv);
int CmdUnpack(int argc, char** argv);
int CmdPack(int argc, char** argv);
int CmdHolidays(int argc, char** argv);
// jbx holiday-rules list|add|set N|rm N --root DIR [--kinen] ...: the rule
// editor of the holiday dialog on the command line.
int CmdHolidayRules(int argc, char** argv);
int CmdRender(int argc, char** argv);
// jbx chart ... --kind bar|pie|line (--png FILE | --svg FILE | --json): the
// chart window's chart of pickout's conditions (CmdChart.cpp).
int CmdChart(int argc, char** argv);
// jbx print ... --pdf OUT.pdf: the window's printout as a PDF (CmdPrint.cpp).
int CmdPrint(int argc, char** argv);
// jbx sheet ... VERB: the sheet's editing commands on real files (CmdSheet.cpp).
int CmdSheet(int argc, char** argv);
// Values are printed tab-separated, one record per line; a backslash, TAB,
// CR or LF inside a value is written as a backslash followed by "\", "t",
// "r" or "n".
int CmdSelect(int argc, char** argv);
// Entries written through the input form's model (CmdEntry.cpp).
int CmdAdd(int argc, char** argv);
int CmdEdit(int argc, char** argv);
int CmdRm(int argc, char** argv);
// jbx merge-conflicts: a sync tool's conflict copies merged into the book.
int CmdMergeConflicts(int argc, char** argv);

// Dumpers behind `jbx dump`; 0 on success, the reader's code otherwise.
int DumpListJson(const std::string& path, std::string& json);
int DumpTextJson(const std::string& path, std::string& json);
int DumpPackageJson(const std::string& path, std::string& json);
// A ".jdt" table file as JSON: {"flag", "fields": [{name, alias, type,
// maxLength, flag}], "records": [[value, ...], ...]}, texts in UTF-8. A file
// written without definitions is read with the memo fields when it has 43.
// 0, or the reader's result code (json then holds nothing).
int DumpJdtJson(const std::string& path, std::string& json);
// A name table as JSON: header fields and every record's fields.
int DumpMasterJson(const std::string& path, std::string& json);

// jbx draw FILE.jos --out FILE.png [--scale S] [--record NAME=VALUE...]
int CmdDraw(int argc, char** argv);
// jbx calc --division-dir DIR --formula TEXT [--decimals N] DATnnn=VALUE...
int CmdCalc(int argc, char** argv);

// JSON views for `jbx dump`: 0 with the JSON in `json`; 1 the file is missing
// (or holds no input definition); 2 it does not parse (`json` then holds
// {"error", "code"}).
int DumpJosJson(const std::string& path, std::string& json);
int DumpScrinJson(const std::string& path, std::string& json);
// "alarm.dat" as JSON: one object per alarm.
int DumpAlarmJson(const std::string& path, std::string& json);

// jbx backup --root DIR --user NAME [--to FOLDER]; jbx restore --root DIR
// ARCHIVE.mbk --as NAME [--yes]. A ".mbk" archive for jbx dump: its entries.
int CmdBackup(int argc, char** argv);
int CmdRestore(int argc, char** argv);
int DumpArchiveJson(const std::string& path, std::string& json);

// jbx export / jbx import: a division to and from CSV through the export
// and import dialogs' models; jbx csv: what the CSV reader makes of a file.
int CmdExport(int argc, char** argv);
int CmdImport(int argc, char** argv);
int CmdCsv(int argc, char** argv);
// jbx ics export|import: a book to and from an iCalendar file (CmdIcs.cpp).
int CmdIcs(int argc, char** argv);
// A path given on the command line, made absolute against the working
// folder (CmdExport.cpp).
std::string AbsolutePath(const std::string& path);
// jbx pickout (--division-dir DIR | --root DIR --user NAME [--division N])
// [FILE.pit | FILE.pic | --method NAME | condition options] [--run]: the
// filter and sort the extraction dialog's model makes, or with --run the
// extracted records or group rows (CmdPickout.cpp).
int CmdPickout(int argc, char** argv);
// jbx find --root DIR --user NAME [--division N] [--field NAME] [--kind 0..3]
// [--case] [--fold] TEXT: the search dialog's search; every hit as key,
// serial, field and its text (CmdFind.cpp).
int CmdFind(int argc, char** argv);
// jbx alarms --root DIR --user NAME [--now "yyyy/mm/dd hh:mm"] [--due | --missed]:
// the alarm list as the alarm dialog shows it, the alarm the tick raises at
// that moment (switched off and written), or the missed alarms a start-up
// lists (CmdAlarms.cpp).
int CmdAlarms(int argc, char** argv);
