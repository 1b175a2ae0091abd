#pragma once

class QString;

namespace platform {
class ExcelApplication;
class Workbook;
class Worksheet;
} // namespace platform

// The spreadsheet report's program-wide application, workbook and sheet.
namespace services {

extern platform::ExcelApplication* xlApp;
extern platform::Workbook* xlBook;
extern platform::Worksheet* xlSheet;

// A new hidden application with a new workbook, and a new sheet of it in xlSheet. An
// application left by an earlier report that did not reach FermerExcel is dropped unseen.
void InitExcel();
// Removes the workbook's sheets whose rows 1 to 10 of columns 1 to 10 are empty, then lets
// the application go: a visible one hands its workbook to the desktop's spreadsheet
// program, unsaved anywhere but in the user's temporary folder. A workbook that cannot be
// written or opened is told to the user, or put in *error for the caller to tell.
void FermerExcel(QString* error = nullptr);

} // namespace services
