#include "gui/kit/print.h"

#include "core/product/product.h"
#include "gui/kit/prompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

namespace tally::printing {

namespace {

// The texts of this file, under one context of the catalogues.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(Print)
};

PrinterFactory& factoryOverride() {
    static PrinterFactory factory;
    return factory;
}

std::unique_ptr<QPrinter> defaultPrinter() {
    if (factoryOverride())
        return factoryOverride()();
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return nullptr;
    return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

// The picture's pixels are screen pixels: this many of them make an inch.
double pictureDpi(const QImage& picture) {
    const int dotsPerMeter = picture.dotsPerMeterX();
    const double dpi = dotsPerMeter > 0 ? dotsPerMeter * 0.0254 : 96.0;
    return dpi * picture.devicePixelRatio();
}

void offerPdf(QWidget* parent, const QImage& picture, const QString& why, const QString& name) {
    const QString title = product().name;
    const auto answer = Prompts::instance().msgBox(
        parent, Text::tr("%1\n\nWould you like to save the chart as a PDF file instead?").arg(why),
        title, QMessageBox::Warning, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer != QMessageBox::Yes)
        return;
    const QString file = Prompts::instance().saveFileName(
        parent, Text::tr("Save Chart as PDF"), proposedPdfFile(name), Text::tr("PDF files (*.pdf)"),
        QStringLiteral("pdf"));
    if (file.isEmpty())
        return;
    if (!savePictureAsPdf(picture, file))
        Prompts::message(
            parent,
            Text::tr("The PDF file could not be written:\n%1").arg(QDir::toNativeSeparators(file)),
            title, QMessageBox::Warning);
}

} // namespace

QString proposedPdfFile(const QString& name) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    const QString base = name.trimmed().isEmpty() ? QStringLiteral("chart") : name;
    return QDir(folder).filePath(base + QStringLiteral(".pdf"));
}

bool printOnePage(QPrinter& printer, const QImage& picture) {
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(Text::tr("%1 chart").arg(product().name));
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    if (!picture.isNull()) {
        const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
        const double scale = printer.resolution() / pictureDpi(picture);
        QSizeF size(picture.width() * scale, picture.height() * scale);
        if (size.width() > page.width() || size.height() > page.height())
            size.scale(page.size(), Qt::KeepAspectRatio);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRectF(QPointF(0, 0), size), picture);
    }
    return painter.end();
}

bool savePictureAsPdf(const QImage& picture, const QString& file) {
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(file);
    if (!printOnePage(pdf, picture))
        return false;
    const QFileInfo written(file);
    return written.exists() && written.size() > 0;
}

void printPicture(QWidget* parent, const QImage& picture, const QString& name) {
    std::unique_ptr<QPrinter> printer = defaultPrinter();
    if (!printer) {
        offerPdf(parent, picture, Text::tr("There is no printer to print the chart on."), name);
        return;
    }
    if (!printOnePage(*printer, picture)) {
        offerPdf(parent, picture,
                 Text::tr("The chart could not be printed on \"%1\".").arg(printer->printerName()),
                 name);
    }
}

void setPrinterFactory(PrinterFactory factory) {
    factoryOverride() = std::move(factory);
}

} // namespace tally::printing
