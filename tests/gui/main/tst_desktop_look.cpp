// Both looks in screenshots taken here: the skin (the default) and the desktop's look in a light
// and a dark palette, at 8 and at 16 points, as a platform theme hands them to the program. Every
// window a user meets after a scan (the three views with their charts, Options, the help, the
// failures, the chart's table, Sources and its Common Crawl window) is grabbed and checked: nothing
// cut off (labels, captions, column captions, tabs, menus and the chart's names whole), nothing
// unreadable (the contrast of every text and picture against what lies behind it). With
// TALLY_SCREENSHOTS set to a folder, the screenshots are kept there.
#include "support/main_window_fixture.h"
#include "support/test_main.h"

#include "core/product/engine_table.h"
#include "core/scan/engine_definitions.h"
#include "gui/charts/chart_legend.h"
#include "gui/charts/chart_table_dialog.h"
#include "gui/charts/history_chart.h"
#include "gui/help/help_window.h"
#include "gui/kit/contrast.h"
#include "gui/kit/icons.h"
#include "gui/kit/picture_button.h"
#include "gui/kit/skin.h"
#include "gui/main/scan_failures_dialog.h"
#include "gui/options/options_dialog.h"
#include "gui/results/chart_frame.h"
#include "gui/results/results_table.h"
#include "gui/sources/sources_dialog.h"
#include "gui/urllist/url_panel.h"
#include "gui/webview/web_engine_plugin.h"
#include "support/engine_pages.h"
#include "support/local_http_server.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsTextItem>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionGroupBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeView>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>

using namespace tally;
using tally::test::MainWindowFixture;

namespace {

// The palettes a desktop hands over: a light one, and a dark one as dark colour schemes have it.
QPalette lightPalette() {
    return QPalette(QColor(0xef, 0xef, 0xef), QColor(0xf6, 0xf6, 0xf6)); // button, window
}

QPalette darkPalette() {
    QPalette dark(QColor(0x31, 0x36, 0x3b), QColor(0x2a, 0x2e, 0x32));
    dark.setColor(QPalette::WindowText, QColor(0xef, 0xf0, 0xf1));
    dark.setColor(QPalette::Text, QColor(0xef, 0xf0, 0xf1));
    dark.setColor(QPalette::ButtonText, QColor(0xef, 0xf0, 0xf1));
    dark.setColor(QPalette::Base, QColor(0x1b, 0x1e, 0x20));
    dark.setColor(QPalette::AlternateBase, QColor(0x23, 0x26, 0x29));
    dark.setColor(QPalette::ToolTipBase, QColor(0x31, 0x36, 0x3b));
    dark.setColor(QPalette::ToolTipText, QColor(0xef, 0xf0, 0xf1));
    dark.setColor(QPalette::Highlight, QColor(0x3d, 0xae, 0xe9));
    dark.setColor(QPalette::HighlightedText, QColor(0xfc, 0xfc, 0xfc));
    dark.setColor(QPalette::PlaceholderText, QColor(0xa1, 0xa9, 0xb1));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(QPalette::Disabled, role, QColor(0x7f, 0x84, 0x8a));
    return dark;
}

QString plain(const QString& caption) {
    QString text = caption;
    return text.remove(QLatin1Char('&'));
}

QString describe(const QWidget* w) {
    QString path = w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                             : w->objectName();
    if (const auto* label = qobject_cast<const QLabel*>(w))
        path += QStringLiteral(" \"") + label->text().left(30) + QLatin1Char('"');
    if (const auto* button = qobject_cast<const QAbstractButton*>(w))
        path += QStringLiteral(" \"") + button->text() + QLatin1Char('"');
    return path;
}

// The largest contrast of any pixel of an area against the area's most frequent colour: text or
// a picture that can be seen reaches 3 at least.
double visibleContrast(const QImage& image, const QRect& area) {
    QHash<QRgb, int> counts;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            ++counts[image.pixel(x, y) | 0xff000000];
    QRgb background = 0;
    int most = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > most) {
            most = it.value();
            background = it.key();
        }
    double best = 1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        best = std::max(best, contrastRatio(QColor(it.key()), QColor(background)));
    return best;
}

// The checks of one screenshot: what is cut off, and what cannot be read.
struct Findings {
    QStringList cut;
    QStringList unreadable;
};

void checkWidgets(QWidget* window, const QImage& shot, Findings& found) {
    const qreal ratio = shot.devicePixelRatio();
    const auto inShot = [&](const QWidget* w, const QRect& r) {
        const QRect at(w->mapTo(window, r.topLeft()), r.size());
        return QRect((at.topLeft() * ratio), at.size() * ratio);
    };
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    for (QWidget* w : std::as_const(widgets)) {
        if (!w->isVisibleTo(window) || w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        // What every text is drawn in, against what it is drawn on.
        const QPalette& p = w->palette();
        if (w->isEnabled() &&
            (qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w) ||
             qobject_cast<QAbstractItemView*>(w) || qobject_cast<QGroupBox*>(w))) {
            const double c =
                contrastRatio(p.color(w->foregroundRole()), p.color(w->backgroundRole()));
            if (c < TextContrast)
                found.unreadable << describe(w) + QStringLiteral(": %1").arg(c, 0, 'f', 2);
        }
        const QFontMetrics m = w->fontMetrics();
        if (auto* label = qobject_cast<QLabel*>(w);
            label && !label->text().isEmpty() && label->textFormat() != Qt::RichText) {
            const QString name = label->objectName();
            if (name == QLatin1String("Panel1Text") || name == QLatin1String("Panel2Text"))
                continue; // status messages: cut with the whole text as tooltip, by design
            const QRect room = label->contentsRect();
            const bool whole = label->wordWrap()
                                   ? room.height() >= label->heightForWidth(label->width()) - 2
                                   : room.width() >= m.horizontalAdvance(plain(label->text())) &&
                                         room.height() >= m.height();
            if (!whole)
                found.cut << describe(w) + QStringLiteral(" %1x%2 for %3x%4")
                                               .arg(room.width())
                                               .arg(room.height())
                                               .arg(m.horizontalAdvance(plain(label->text())))
                                               .arg(m.height());
            if (visibleContrast(shot, inShot(label, room)) < GraphicContrast)
                found.unreadable << describe(w) + QStringLiteral(" (its pixels)");
        } else if (auto* button = qobject_cast<QAbstractButton*>(w);
                   button && !button->text().isEmpty()) {
            // A push button shows its picture beside its caption (the toolbar's and the URL
            // panel's above it: their size hint says what they need); a check box its box.
            int needed = button->sizeHint().width();
            if (qobject_cast<QPushButton*>(w) && !qobject_cast<PictureButton*>(w)) {
                const QStyle* style = button->style();
                needed = m.horizontalAdvance(plain(button->text())) +
                         (button->icon().isNull() ? 0 : button->iconSize().width() + 4) +
                         style->pixelMetric(QStyle::PM_ButtonMargin) +
                         2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth);
            }
            if (button->width() < needed || button->height() < m.height())
                found.cut << describe(w) +
                                 QStringLiteral(" %1 < %2").arg(button->width()).arg(needed);
        } else if (auto* box = qobject_cast<QGroupBox*>(w); box && !box->title().isEmpty()) {
            if (box->width() < m.horizontalAdvance(plain(box->title())) + 8)
                found.cut << describe(w);
        } else if (auto* tabs = qobject_cast<QTabBar*>(w)) {
            for (int i = 0; i < tabs->count(); ++i)
                if (tabs->tabRect(i).right() > tabs->width() ||
                    tabs->tabRect(i).width() < m.horizontalAdvance(plain(tabs->tabText(i))))
                    found.cut << describe(w) + QLatin1Char(' ') + tabs->tabText(i);
        } else if (auto* header = qobject_cast<QHeaderView*>(w)) {
            if (header->orientation() != Qt::Horizontal)
                continue;
            for (int s = 0; s < header->count(); ++s) {
                const QString caption = header->model()->headerData(s, Qt::Horizontal).toString();
                if (!header->isSectionHidden(s) &&
                    header->sectionSize(s) < m.horizontalAdvance(caption) + 4)
                    found.cut << describe(header->parentWidget()) + QStringLiteral(" column ") +
                                     caption;
            }
            // A count is never shown shortened: "180..." would read as another number.
            const auto* view = qobject_cast<const QAbstractItemView*>(header->parentWidget());
            const QAbstractItemModel* model = view ? view->model() : nullptr;
            for (int row = 0; model && row < model->rowCount(); ++row)
                for (int s = 0; s < header->count(); ++s) {
                    const QModelIndex index = model->index(row, s);
                    bool number = false;
                    index.data().toString().toLongLong(&number);
                    if (number && !header->isSectionHidden(s) &&
                        header->sectionSize(s) < view->sizeHintForIndex(index).width())
                        found.cut << describe(view) + QStringLiteral(" count ") +
                                         index.data().toString();
                }
        } else if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->count() > 0) {
            if (combo->width() < combo->minimumSizeHint().width())
                found.cut << describe(w);
        } else if (auto* bar = qobject_cast<QMenuBar*>(w)) {
            if (bar->sizeHint().width() > bar->width())
                found.cut << QStringLiteral("menu bar");
        }
    }
}

// The chart's own texts: none shortened to "Goo...", each readable on the chart's background, and
// every series' colour seen on it.
void checkChart(HistoryChart* chart, QWidget* window, const QImage& shot, Findings& found) {
    QChartView* view = chart->chartView();
    QChart* drawn = view->chart();
    const QColor background = drawn->backgroundBrush().color();
    for (QGraphicsItem* item : view->scene()->items()) {
        if (!item->isVisible())
            continue;
        QString text;
        QColor colour;
        if (auto* simple = dynamic_cast<QGraphicsSimpleTextItem*>(item)) {
            text = simple->text();
            colour = simple->brush().color();
        } else if (auto* rich = dynamic_cast<QGraphicsTextItem*>(item)) {
            text = rich->toPlainText();
            colour = rich->defaultTextColor();
        } else {
            continue;
        }
        if (text.trimmed().isEmpty())
            continue;
        if (text.endsWith(QLatin1String("...")) || text.endsWith(QChar(0x2026)))
            found.cut << QStringLiteral("chart text ") + text;
        if (contrastRatio(colour, background) < TextContrast)
            found.unreadable << QStringLiteral("chart text ") + text;
    }
    for (int s = 0; s < chart->chartData().seriesCount(); ++s)
        if (contrastRatio(chart->seriesColor(s), background) < GraphicContrast)
            found.unreadable << QStringLiteral("chart series ") +
                                    chart->chartData().seriesLabels[s];
    // The legend under the chart: every name whole, in a colour that reads on its background.
    const ChartLegend* legend = chart->legend();
    for (int i = 0; i < legend->entryCount() && i < chart->chartData().seriesCount(); ++i) {
        const QString label = chart->chartData().seriesLabels[i];
        if (legend->shownText(i) != label)
            found.cut << QStringLiteral("legend ") + legend->shownText(i);
        // The text's pixels, right of the colour square, against the legend's background.
        const QWidget* entry = legend->entry(i);
        const QRect text(entry->width() * 2 / 5, 0, entry->width() - entry->width() * 2 / 5,
                         entry->height());
        const qreal ratio = shot.devicePixelRatio();
        const QRect at(entry->mapTo(window, text.topLeft()) * ratio, text.size() * ratio);
        if (visibleContrast(shot, at) < TextContrast)
            found.unreadable << QStringLiteral("legend ") + label;
    }
}

} // namespace

class TestDesktopLook : public QObject {
    Q_OBJECT

    QPalette appPalette_;
    QFont appFont_;
    test::LocalHttpServer server_;

private Q_SLOTS:
    void initTestCase() {
        appPalette_ = QApplication::palette();
        appFont_ = QApplication::font();
        // www.high.example: 1805401 and more from each engine; www.low.example: small counts,
        // and no count from Ask.
        test::serveEnginePages(server_, [](int e, const QString& url) -> QByteArray {
            if (url.contains(QLatin1String("low")))
                return e == 3 ? QByteArray() : QByteArray::number(e + 1);
            return QByteArray::number(1805401 + e * 1000);
        });
    }
    void cleanup() {
        skin::setDesktopLook(false);
        skin::stop();
        skin::setEnabled(false);
        QApplication::setPalette(appPalette_);
        QApplication::setFont(appFont_);
    }

    void everyWindowWholeAndReadable_data() {
        QTest::addColumn<bool>("desktop");
        QTest::addColumn<bool>("dark");
        QTest::addColumn<int>("points");
        QTest::newRow("the skin") << false << false << 9;
        QTest::newRow("the skin over a dark desktop") << false << true << 16;
        QTest::newRow("desktop, light, 8 points") << true << false << 8;
        QTest::newRow("desktop, light, 16 points") << true << false << 16;
        QTest::newRow("desktop, dark, 8 points") << true << true << 8;
        QTest::newRow("desktop, dark, 16 points") << true << true << 16;
    }
    void everyWindowWholeAndReadable() {
        QFETCH(bool, desktop);
        QFETCH(bool, dark);
        QFETCH(int, points);
        // What the platform theme gives the program, before any window exists.
        QApplication::setPalette(dark ? darkPalette() : lightPalette());
        QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), points));
        skin::setEnabled(true); // as the splash window does

        MainWindowFixture f(false);
        writeSetting(QLatin1String(settingkeys::DesktopLook), desktop ? "1" : "0");
        test::writeEnginePrefixes(server_, f.env.file(QStringLiteral("settings.ini")));
        f.env.writeFile(QStringLiteral("Help.rtf"), test::shippedHelp());
        // A definition problem, so that Options shows its warning line.
        f.env.writeFile(QLatin1String(EnginesIniName), "[ATW]\nKind=graph\n");
        QByteArray saved;
        for (const EngineInfo& engine : engineTable())
            saved += "\r\n[" + QByteArray(engine.caption) + "]\r\n12-14-26=1805401\r\n" +
                     "12-07-26=1700000\r\n";
        f.env.writeFile(QStringLiteral("Saved/www.high.example.vqz"), saved);
        f.env.writeFile(QStringLiteral("Saved/www.example.org.vqz"),
                        "\r\n[Google]\r\n12-14-26=1300000\r\n12-10-26=1250000\r\n"
                        "11-30-26=1100000\r\n");
        f.env.writeFile(QStringLiteral("Saved/www.low.example.vqz"),
                        "\r\n[Google]\r\n12-12-26=400000\r\n12-07-26=650000\r\n"
                        "12-01-26=700000\r\n");
        // All The Web's two points from two releases of a web graph: the chart marks the change.
        f.env.writeFile(QStringLiteral("Saved/.provenance/www.high.example.vqz.json"),
                        R"({"format": "tallyscope-provenance", "version": 1, "sections": {
                            "All The Web": {
                              "2026-12-07": {"source": "commoncrawl", "release": "cc-main-2026-aug"},
                              "2026-12-14": {"source": "commoncrawl", "release": "cc-main-2026-nov"}},
                            "Google": {"2026-12-14": {"source": "Google"}}}})");
        f.open(product());
        MainWindow* form = f.form.get();
        QCOMPARE(skin::desktopLook(), desktop);
        // The desktop's look takes the platform theme's palette as it is now, which on this
        // test's platform is a light one: the desktop's palette is handed over once more.
        if (desktop)
            QApplication::setPalette(dark ? darkPalette() : lightPalette());
        if (!desktop) { // the skin's own look whatever the desktop's
            QCOMPARE(form->font().pointSize(), 8);
            QCOMPARE(form->palette().color(QPalette::Window), skin::colours().panel);
        }
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form));

        form->urlPanel()->appendUrls({"http://www.high.example/", "http://www.low.example/"});
        QTest::keyClick(form->urlList(), Qt::Key_F5);
        QTRY_VERIFY_WITH_TIMEOUT(!form->isScanning(), 30000);

        const QString tag = QString::fromLatin1(QTest::currentDataTag())
                                .replace(QLatin1String(", "), QLatin1String("-"))
                                .replace(QLatin1Char(' '), QLatin1Char('-'));
        QStringList problems;
        const auto look = [&](QWidget* window, const QString& name) {
            QVERIFY2(window && window->isVisible(), qPrintable(name));
            const QImage shot = test::screenshot(window, tag + QLatin1Char('-') + name);
            Findings found;
            checkWidgets(window, shot, found);
            if (auto* chart = window->findChild<HistoryChart*>(); chart && chart->isVisible())
                checkChart(chart, window, shot, found);
            for (const QString& cut : std::as_const(found.cut))
                problems << name + QStringLiteral(": cut off: ") + cut;
            for (const QString& text : std::as_const(found.unreadable))
                problems << name + QStringLiteral(": unreadable: ") + text;
        };

        // The results, with their pictures: a profile and a failure mark on the window's base.
        look(form, QStringLiteral("data-view"));
        const QColor base = form->resultsTable()->palette().color(QPalette::Base);
        for (IconKind kind : {IconKind::ProfileLow, IconKind::ProfileHigh, IconKind::FailureMark}) {
            QImage picture(32, 32, QImage::Format_ARGB32);
            picture.fill(base);
            QPainter painter(&picture);
            icon(kind).paint(&painter, picture.rect());
            painter.end();
            if (visibleContrast(picture, picture.rect()) < GraphicContrast)
                problems << QStringLiteral("picture %1 on the table").arg(int(kind));
        }
        // The chart of the scan (the engines along the rows) and a history of every engine (the
        // engines in the legend).
        form->selectTab(2);
        look(form, QStringLiteral("chart-results"));
        form->chartFrame()->chartSavedSearch(QStringLiteral("www.high.example.vqz"));
        auto* engineList = f.find<QComboBox>("cmbChart1");
        engineList->setCurrentIndex(engineList->count() - 1); // "All Engines"
        QVERIFY(form->chartFrame()->chart()->accessibleDescription().contains(
            "release cc-main-2026-aug \u2192 cc-main-2026-nov"));
        look(form, QStringLiteral("chart-history"));
        form->chartFrame()->showChartTable();
        look(form->chartFrame()->chartTable(), QStringLiteral("chart-table"));
        form->chartFrame()->chartTable()->close();
        // Three sites side by side, picked in Load Data: Google's counts of each by date.
        QTimer::singleShot(0, this, [] {
            auto* dialog = QApplication::activeModalWidget();
            QVERIFY(dialog);
            auto* combo = dialog->findChild<QComboBox*>(QStringLiteral("Combo1"));
            combo->setCurrentIndex(combo->findText(QStringLiteral("www.high.example")));
            auto* others = dialog->findChild<QListWidget*>(QStringLiteral("lstCompareSearches"));
            others->setFocus();
            for (int row : {0, 2}) { // www.example.org, www.low.example
                others->setCurrentRow(row);
                QTest::keyClick(others, Qt::Key_Space);
            }
            QTest::keyClick(dialog, Qt::Key_Return);
        });
        form->chartFrame()->loadSavedSearch();
        QCOMPARE(form->chartFrame()->chart()->chartData().seriesLabels,
                 (QStringList{"www.high.example", "www.example.org", "www.low.example"}));
        look(form, QStringLiteral("chart-sites"));
        // Fill in the past, from Load Data: what it will ask, before anything is asked.
        QTimer::singleShot(0, this, [&] {
            QWidget* load = QApplication::activeModalWidget();
            QVERIFY(load);
            load->findChild<QComboBox*>(QStringLiteral("Combo1"))->setCurrentIndex(0);
            QTimer::singleShot(0, this, [&] {
                QWidget* fill = QApplication::activeModalWidget();
                QVERIFY(fill && fill->objectName() == QLatin1String("frmBackfill"));
                look(fill, QStringLiteral("backfill"));
                fill->close();
            });
            QTest::mouseClick(load->findChild<QPushButton*>(QStringLiteral("cmdBackfill")),
                              Qt::LeftButton);
            load->close();
        });
        form->chartFrame()->loadSavedSearch();
        form->selectTab(3);
        look(form, QStringLiteral("website-view"));

        QTest::mouseClick(f.find<QPushButton>("Command6"), Qt::LeftButton);
        look(form->optionsDialog(), QStringLiteral("options"));
        form->optionsDialog()->close();

        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form));
        QTest::keyClick(form->urlList(), Qt::Key_F1);
        QTRY_VERIFY(form->helpWindow() && form->helpWindow()->isVisible());
        look(form->helpWindow(), QStringLiteral("help"));
        // The help text's own colours, on the text's background.
        auto* text = form->helpWindow()->findChild<QTextBrowser*>("rtf1");
        const QColor paper = text->palette().color(QPalette::Base);
        for (QTextBlock block = text->document()->begin(); block.isValid(); block = block.next())
            for (auto it = block.begin(); !it.atEnd(); ++it)
                if (it.fragment().charFormat().hasProperty(QTextFormat::ForegroundBrush) &&
                    contrastRatio(it.fragment().charFormat().foreground().color(), paper) <
                        TextContrast)
                    problems << QStringLiteral("help text: ") + it.fragment().text().left(30);
        form->helpWindow()->close();

        form->showScanFailures();
        look(form->failuresDialog(), QStringLiteral("failures"));
        form->failuresDialog()->close();

        form->showSources();
        look(form->sourcesDialog(), QStringLiteral("sources"));
        form->sourcesDialog()->showCommonCrawl();
        look(form->sourcesDialog()->commonCrawlDialog(), QStringLiteral("common-crawl"));
        form->sourcesDialog()->commonCrawlDialog()->close();
        form->sourcesDialog()->close();

        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    }

    // The web engine is asked for dark pages, once, only in dark colours, keeping what the user
    // set.
    void webPagesAskedForTheirDarkLook_data() {
        QTest::addColumn<QByteArray>("flags");
        QTest::addColumn<bool>("dark");
        QTest::addColumn<QByteArray>("result");
        const QByteArray darkFlags = "--force-dark-mode --blink-settings=forceDarkModeEnabled=true";
        QTest::newRow("light: as they are")
            << QByteArray("--no-sandbox") << false << QByteArray("--no-sandbox");
        QTest::newRow("dark, none set") << QByteArray() << true << darkFlags;
        QTest::newRow("dark, the user's kept") << QByteArray("--no-sandbox --disable-gpu") << true
                                               << "--no-sandbox --disable-gpu " + darkFlags;
        QTest::newRow("dark, set already") << darkFlags << true << darkFlags;
    }
    void webPagesAskedForTheirDarkLook() {
        QFETCH(QByteArray, flags);
        QFETCH(bool, dark);
        QFETCH(QByteArray, result);
        QCOMPARE(webEngineColourFlags(flags, dark), result);
    }
};

TALLY_SCREEN_TEST_MAIN(TestDesktopLook, 1600, 1200)
#include "tst_desktop_look.moc"
