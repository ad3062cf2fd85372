#pragma once

#include "contacts/CardExporter.h"

namespace telvora {

/// Every send record of one kind, oldest first, as the records' spreadsheet export writes
/// them: sends made at once, or scheduled ones. A mode other than 1 and 2 has an empty
/// "发送模式".
SheetQuery SendListExport(bool scheduled);

/// The numbers of one record in id order. The "短信内容" column is the personalised text of
/// each number for a personalised send (decided by its send mode) and the record's message
/// otherwise.
SheetQuery DetailExport(long recordId, int sendMode);

} // namespace telvora
