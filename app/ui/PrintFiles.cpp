#include "app/ui/PrintFiles.h"

#include "app/core/Session.h"
#include "common/Clock.h"
#include "platform/report/ui/PreviewDialog.h"
#include "printing/OutputName.h"

namespace qtmv {

void InstallPrintFileNamer(const Clock& clock)
{
    report::PreviewDialog::setPrintFileNamer([&clock](const QString& documentName) {
        return QString::fromStdString(daily::printing::NewOutputPath(CurrentSession().ExcelFolder,
                                                                     documentName.toStdString(), ".pdf", clock.now()));
    });
}

} // namespace qtmv
