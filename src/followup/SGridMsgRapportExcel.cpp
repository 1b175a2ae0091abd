// The spreadsheet report of the grid.
#include "followup/SGridMsg.h"

void SGridMsg::ExportMsgExcel(platform::Worksheet*&, qint32) {}
