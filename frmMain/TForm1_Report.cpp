// The Save command: the current color's properties to a nine-line report.
#include "frmMain/TForm1.h"

#include "frmMain/InOutError.h"
#include "frmMain/ReportText.h"
#include "frmMain/TEdit.h"
#include "platform/FileOutput.h"
#include "platform/SaveDialog.h"

void TForm1::btn7Click(QObject*)
{
    if (!FPlatform.SaveFileDialog.Execute(dlg1))
        return;
    SavetoText(dlg1.FileName);
}

// The report copies the fields as they show, read at one moment: nothing is
// dispatched between reading them and writing the file.
void TForm1::SavetoText(const QString& FileName)
{
    const QByteArray report = ReportText({.Dec = edt5->text(),
                                          .Hex = edt1->text(),
                                          .Red = edt2->text(),
                                          .Green = edt3->text(),
                                          .Blue = edt4->text(),
                                          .Hue = edt6->text(),
                                          .Sat = edt7->text(),
                                          .Lum = edt8->text()});
    CheckInOut(FPlatform.Files.replace(FileName, report));
}
