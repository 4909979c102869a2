// The baseline program of the start-up benchmark: the bare sheet, run as
// Beatwise runs its own.
#include "app/startupprobe.h"
#include "baresheet.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    if (const QString report = qEnvironmentVariable("BEATWISE_FIRST_PAINT_REPORT");
        !report.isEmpty())
        ReportFirstPaintAndExit(report);
    BareSheet sheet;
    return sheet.exec();
}
