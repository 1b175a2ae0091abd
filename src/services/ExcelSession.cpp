#include "services/ExcelSession.h"

#include "platform/Dialogs.h"
#include "platform/Workbook.h"

#include <memory>

namespace services {

platform::ExcelApplication* xlApp = nullptr;
platform::Workbook* xlBook = nullptr;
platform::Worksheet* xlSheet = nullptr;

namespace {
std::unique_ptr<platform::ExcelApplication> s_app;
}

void InitExcel() {
    s_app = std::make_unique<platform::ExcelApplication>();
    xlApp = s_app.get();
    xlBook = xlApp->AddWorkbook();
    xlSheet = xlBook->AddWorksheet();
}

void FermerExcel(QString* erreur) {
    if (xlBook) {
        for (int i = xlBook->count() - 1; i >= 0; --i)
            if (xlBook->sheet(i)->topLeftIsEmpty()) xlBook->DeleteSheet(xlBook->sheet(i));
    }
    xlSheet = nullptr;
    xlBook = nullptr;
    xlApp = nullptr;
    if (!s_app) return;
    std::unique_ptr<platform::ExcelApplication> app = std::move(s_app);
    QString error;
    app->release(&error);
    if (erreur)
        *erreur = error;
    else if (!error.isEmpty())
        platform::messageBox(nullptr, error, QStringLiteral("Excel"), platform::MsgIcon::Exclamation);
}

} // namespace services
