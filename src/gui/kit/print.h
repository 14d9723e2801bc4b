// Printing the chart: as one page on the default printer. The chart is drawn by itself into
// a picture at its on-screen size (not copied off the screen), so a window lying over it is never
// printed. Without a printer, or when the job fails, the user is told and may save the page as a
// PDF file instead.
#pragma once

#include <QImage>
#include <QString>

#include <functional>
#include <memory>

class QPrinter;
class QWidget;

namespace tally::printing {

// Paints the picture on one landscape page with its top-left corner at the page origin, at its
// on-screen size (shrunk to fit a smaller page). False when the job could not be started or ended.
bool printOnePage(QPrinter& printer, const QImage& picture);

// Prints the picture on the default printer; see above for the way out when that fails. The PDF
// file offered instead is "<name>.pdf" ("chart.pdf" without a name) in the user's documents
// folder, or the home folder when there is none.
void printPicture(QWidget* parent, const QImage& picture, const QString& name = QString());

// The file the PDF fallback proposes for a picture of that name.
QString proposedPdfFile(const QString& name);

// Writes the picture as a one-page PDF file through the same page painting.
bool savePictureAsPdf(const QImage& picture, const QString& file);

// Makes the printer for a job: the default printer, or nullptr when there is none. Tests replace
// it; an empty function restores the real one.
using PrinterFactory = std::function<std::unique_ptr<QPrinter>()>;
void setPrinterFactory(PrinterFactory factory);

} // namespace tally::printing
