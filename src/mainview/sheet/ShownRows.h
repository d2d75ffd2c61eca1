// The sheet's rows as the export reads them ("the shown rows" mode).
#pragma once
#include <vector>

#include "exchange/ExchangeColumns.h"
#include "mainview/sheet/SheetRow.h"

// The rows with their records looked up in the main record set (whose order
// the rows' record positions count in).
[[nodiscard]] std::vector<ShownRow> ShownRowsOf(const std::vector<SheetRow>& rows, const CMyRec& records);
