// Printing the chart: one page on the printer, the way out to a PDF file when there is no printer
// or the job fails, and a picture of the chart itself rather than of the screen.
#include "gui/charts/history_chart.h"
#include "gui/kit/print.h"
#include "gui/results/chart_frame.h"
#include "support/scripted_prompts.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

#include <memory>

using namespace tally;
using tally::test::ScriptedPrompts;
using tally::test::TestEnv;

namespace {

// The pages of a PDF file: its page objects (not the page tree).
int pdfPages(const QString& file) {
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray pdf = in.readAll();
    if (!pdf.startsWith("%PDF"))
        return -1;
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?!s)"));
    return int(QString::fromLatin1(pdf).count(page));
}

bool pdfHasImage(const QString& file) {
    QFile in(file);
    return in.open(QIODevice::ReadOnly) && in.readAll().contains("/Subtype /Image");
}

ChartData sample() {
    ChartData data;
    data.type = 1;
    data.title = QStringLiteral("mysite");
    data.axisTitle = QStringLiteral("Linking Sites");
    data.seriesLabels = {QStringLiteral("Google"), QStringLiteral("MSN")};
    data.rowLabels = {QStringLiteral("12-14-26"), QStringLiteral("12-07-26")};
    data.values = {{930, 912}, {70, 65}};
    return data;
}

} // namespace

class TestPrintChart : public QObject {
    Q_OBJECT

    std::unique_ptr<TestEnv> env;
    std::unique_ptr<ScriptedPrompts> prompts;
    std::unique_ptr<ChartFrame> frame;

    void clickPrint() {
        QTest::mouseClick(frame->findChild<QPushButton*>(QStringLiteral("Command14")),
                          Qt::LeftButton);
    }

private Q_SLOTS:
    void init() {
        env = std::make_unique<TestEnv>();
        prompts = std::make_unique<ScriptedPrompts>();
        frame = std::make_unique<ChartFrame>();
        frame->resize(700, 600);
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
        frame->chart()->setChartData(sample());
    }
    void cleanup() {
        printing::setPrinterFactory({});
        frame.reset();
        prompts.reset();
        env.reset();
    }

    void printerGetsOnePagePerPrint() {
        int jobs = 0;
        printing::setPrinterFactory([&] {
            auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(env->file(QStringLiteral("job%1.pdf").arg(++jobs)));
            return printer;
        });
        clickPrint();
        clickPrint();
        QVERIFY(prompts->calls.isEmpty());
        QCOMPARE(jobs, 2);
        QCOMPARE(pdfPages(env->file(QStringLiteral("job1.pdf"))), 1);
        QCOMPARE(pdfPages(env->file(QStringLiteral("job2.pdf"))), 1);
        QVERIFY(pdfHasImage(env->file(QStringLiteral("job1.pdf"))));
    }

    void noPrinterOffersPdf() {
        printing::setPrinterFactory([] { return std::unique_ptr<QPrinter>(); });
        prompts->buttons.enqueue(QMessageBox::Yes);
        prompts->files.enqueue(env->file(QStringLiteral("chart.pdf")));
        clickPrint();
        QCOMPARE(prompts->calls.size(), 2);
        QCOMPARE(prompts->calls[0].text,
                 QStringLiteral("There is no printer to print the chart on.\n\nWould you like to "
                                "save the chart as a PDF file instead?"));
        QCOMPARE(prompts->calls[0].title, QStringLiteral("Tallyscope"));
        QCOMPARE(prompts->calls[0].buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(prompts->calls[1].kind, QStringLiteral("saveFile"));
        QCOMPARE(pdfPages(env->file(QStringLiteral("chart.pdf"))), 1);
        QVERIFY(pdfHasImage(env->file(QStringLiteral("chart.pdf"))));
    }

    // The PDF file proposed: the saved search's name, else "chart"; in Documents when it is there,
    // else in the home folder (never a folder that does not exist).
    void pdfProposal_data() {
        QTest::addColumn<bool>("savedSearch");
        QTest::addColumn<bool>("documents");
        QTest::addColumn<QString>("proposed");
        QTest::newRow("saved search, Documents") << true << true << "Documents/mysite.pdf";
        QTest::newRow("saved search, no Documents") << true << false << "mysite.pdf";
        QTest::newRow("other chart, Documents") << false << true << "Documents/chart.pdf";
        QTest::newRow("other chart, no Documents") << false << false << "chart.pdf";
    }
    void pdfProposal() {
        QFETCH(bool, savedSearch);
        QFETCH(bool, documents);
        QFETCH(QString, proposed);
        const QString home = env->file(QStringLiteral("home"));
        QDir().mkpath(home + (documents ? QStringLiteral("/Documents") : QString()));
        const QByteArray oldHome = qgetenv("HOME");
        const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", QFile::encodeName(home));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + QStringLiteral("/.config")));
        if (savedSearch) {
            env->writeFile(QStringLiteral("Saved/mysite.vqz"),
                           "\r\n[Google]\r\n12-14-26=930\r\n12-07-26=912\r\n");
            frame->chartSavedSearch(QStringLiteral("mysite.vqz"));
        }
        printing::setPrinterFactory([] { return std::unique_ptr<QPrinter>(); });
        prompts->buttons.enqueue(QMessageBox::Yes); // the file dialog is then cancelled
        clickPrint();
        qputenv("HOME", oldHome);
        qputenv("XDG_CONFIG_HOME", oldConfig);
        QCOMPARE(prompts->calls.size(), 2);
        QCOMPARE(prompts->calls[1].folder, home + QLatin1Char('/') + proposed);
    }

    void declinedOrCancelledPdfWritesNothing() {
        printing::setPrinterFactory([] { return std::unique_ptr<QPrinter>(); });
        prompts->buttons.enqueue(QMessageBox::No);
        clickPrint();
        QCOMPARE(prompts->calls.size(), 1);
        prompts->buttons.enqueue(QMessageBox::Yes); // then the file dialog is cancelled
        clickPrint();
        QCOMPARE(prompts->calls.size(), 3);
        QCOMPARE(prompts->calls.last().kind, QStringLiteral("saveFile"));
    }

    void failedJobOffersPdf() {
        printing::setPrinterFactory([&] {
            auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setPrinterName(QStringLiteral("Office"));
            printer->setOutputFileName(env->file(QStringLiteral("no/such/folder/job.pdf")));
            return printer;
        });
        prompts->buttons.enqueue(QMessageBox::Yes);
        prompts->files.enqueue(env->file(QStringLiteral("instead.pdf")));
        clickPrint();
        QVERIFY(
            prompts->calls[0].text.startsWith(QStringLiteral("The chart could not be printed")));
        QCOMPARE(prompts->calls[0].icon, QMessageBox::Warning);
        QCOMPARE(pdfPages(env->file(QStringLiteral("instead.pdf"))), 1);
    }

    void unwritablePdfSaysSo() {
        printing::setPrinterFactory([] { return std::unique_ptr<QPrinter>(); });
        prompts->buttons.enqueue(QMessageBox::Yes);
        prompts->files.enqueue(env->file(QStringLiteral("missing/folder/chart.pdf")));
        clickPrint();
        QVERIFY(prompts->messages().last().startsWith(
            QStringLiteral("The PDF file could not be written")));
        QVERIFY(!printing::savePictureAsPdf(QImage(), env->file(QStringLiteral("x/y.pdf"))));
    }

    void pictureIsTheChartNotTheScreen() {
        // A window-like widget lying over the chart must not show in the printed picture.
        auto* cover = new QLabel(frame.get());
        cover->setAutoFillBackground(true);
        QPalette magenta = cover->palette();
        magenta.setColor(QPalette::Window, QColor(255, 0, 255));
        cover->setPalette(magenta);
        cover->setGeometry(frame->chart()->geometry().adjusted(20, 20, -20, -20));
        cover->show();
        cover->raise();
        const QImage picture = frame->chart()->renderImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(picture.size(), frame->chart()->size() * picture.devicePixelRatio());
        int magentaPixels = 0;
        int colouredPixels = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                const QColor c = picture.pixelColor(x, y);
                if (c == QColor(255, 0, 255))
                    ++magentaPixels;
                if (c == frame->chart()->seriesColor(0))
                    ++colouredPixels;
            }
        }
        QCOMPARE(magentaPixels, 0);
        QVERIFY(colouredPixels > 100); // the first series' bars are there
    }
};

TALLY_TEST_MAIN(TestPrintChart)
#include "tst_print_chart.moc"
