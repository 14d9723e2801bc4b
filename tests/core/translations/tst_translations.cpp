// The translated texts: every catalogue complete and faithful to its source texts' arguments and
// mnemonics, the user's language loaded (and English left as written), and the files the program
// writes the same bytes whatever the language.
#include "core/exports/table_export.h"
#include "core/results/results_model.h"
#include "core/results/saved_search.h"
#include "core/scan/engine_outcome.h"
#include "core/translations/translations.h"
#include "support/result_rows.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

using namespace tally;

namespace {

struct Message {
    QString context;
    QString source;
    QStringList translations; // one, or one per plural form
    bool numerus = false;
    bool unfinished = false;
};

QList<Message> readCatalogue(const QString& file) {
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return {};
    QList<Message> messages;
    QXmlStreamReader xml(&in);
    QString context;
    Message m;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name"))
            context = xml.readElementText();
        else if (xml.name() == QLatin1String("message")) {
            if (!m.source.isNull())
                messages << m;
            m = Message{context,
                        QString(),
                        {},
                        xml.attributes().value(QLatin1String("numerus")) == QLatin1String("yes")};
        } else if (xml.name() == QLatin1String("source"))
            m.source = xml.readElementText();
        else if (xml.name() == QLatin1String("translation")) {
            const QStringView type = xml.attributes().value(QLatin1String("type"));
            m.unfinished = type == QLatin1String("unfinished") || type == QLatin1String("vanished");
            if (!m.numerus)
                m.translations << xml.readElementText();
        } else if (xml.name() == QLatin1String("numerusform"))
            m.translations << xml.readElementText();
    }
    if (!m.source.isNull())
        messages << m;
    return xml.hasError() ? QList<Message>{} : messages;
}

// The arguments a text takes (%1..%99, %n), each once however often it is used.
QStringList argumentsOf(const QString& text) {
    static const QRegularExpression argument(QStringLiteral("%(\\d{1,2}|n)"));
    QSet<QString> found;
    for (const QRegularExpressionMatch& m : argument.globalMatch(text))
        found.insert(m.captured(0));
    QStringList sorted(found.begin(), found.end());
    sorted.sort();
    return sorted;
}

// The mnemonic marks of a caption ("&&" is a plain "&").
int mnemonicsOf(QString text) {
    return int(text.remove(QStringLiteral("&&")).count(QLatin1Char('&')));
}

// Rows of every kind a file holds: counts, a switched-off slot, a failed request, no total.
ResultsModel* filledModel(QObject* parent) {
    auto* model = new ResultsModel(parent);
    test::appendRecords(model, {{"http://www.example.com/", "1805401", "2", "30", "", "5", "6"},
                                {"http://b.example.org/", "12", "", "", "", "", ""},
                                {"https://c.example.net/x", "0", "1", "2", "3", "4", "5"}});
    return model;
}

struct Written {
    QByteArray csv;
    QByteArray json;
    QByteArray savedSearch;
};

Written writeEverything(const QString& folder) {
    QObject owner;
    ResultsModel* model = filledModel(&owner);
    Written w;
    const ResultRecords rows = model->records();
    w.csv = resultsCsv(rows, *rows.first()->engines);
    w.json = resultsJson(rows, QDate(2026, 3, 7));
    const QString file = folder + QStringLiteral("/site.vqz");
    for (const QDate& date : {QDate(2026, 3, 7), QDate(2026, 12, 24)})
        if (saveSearchRow(savedCells(*rows.first()), file, SaveMode::Append, date) !=
            SaveResult::Saved)
            return {};
    QFile saved(file);
    if (saved.open(QIODevice::ReadOnly))
        w.savedSearch = saved.readAll();
    return w;
}

} // namespace

class TestTranslations : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() {
        QLocale::setDefault(QLocale::c());
        installTranslations(QLocale::c(), QStringLiteral(TALLY_TRANSLATIONS_DIR));
    }

    void everyMessageTranslatedFaithfully_data();
    void everyMessageTranslatedFaithfully();
    void catalogueOfTheUsersLanguage_data();
    void catalogueOfTheUsersLanguage();
    void writtenFilesDoNotDependOnTheLanguage();
};

void TestTranslations::everyMessageTranslatedFaithfully_data() {
    QTest::addColumn<QString>("catalogue");
    QTest::addColumn<int>("pluralForms");
    QTest::newRow("German") << QStringLiteral("tallyscope_de.ts") << 2;
}

void TestTranslations::everyMessageTranslatedFaithfully() {
    QFETCH(QString, catalogue);
    QFETCH(int, pluralForms);
    const QList<Message> messages = readCatalogue(QStringLiteral(TALLY_TS_DIR "/") + catalogue);
    QVERIFY(messages.size() > 100);
    for (const Message& m : messages) {
        const QString where = m.context + QStringLiteral(": ") + m.source;
        QVERIFY2(!m.unfinished, qPrintable(where));
        QCOMPARE(m.translations.size(), m.numerus ? pluralForms : 1);
        for (const QString& t : m.translations) {
            QVERIFY2(!t.trimmed().isEmpty(), qPrintable(where));
            QVERIFY2(argumentsOf(t) == argumentsOf(m.source), qPrintable(where + " -> " + t));
            QVERIFY2(mnemonicsOf(t) == mnemonicsOf(m.source), qPrintable(where + " -> " + t));
            QVERIFY2(t.endsWith(QLatin1Char('\n')) == m.source.endsWith(QLatin1Char('\n')),
                     qPrintable(where));
        }
    }
}

void TestTranslations::catalogueOfTheUsersLanguage_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<QString>("stopped"); // a cell of a stopped scan
    QTest::addColumn<QString>("cancel");  // Qt's own text of a standard button
    QTest::newRow("German") << "de_DE" << true << "angehalten"
                            << "Abbrechen";
    QTest::newRow("Austrian German") << "de_AT" << true << "angehalten"
                                     << "Abbrechen";
    QTest::newRow("Swiss German") << "de_CH" << true << "angehalten"
                                  << "Abbrechen";
    QTest::newRow("English") << "en_US" << false << "stopped"
                             << "Cancel";
    QTest::newRow("British English") << "en_GB" << false << "stopped"
                                     << "Cancel";
    QTest::newRow("C") << "C" << false << "stopped"
                       << "Cancel";
    // Qt has its catalogue, the program none: Qt's texts follow the language, the rest stays.
    QTest::newRow("no catalogue of ours") << "pt_BR" << false << "stopped"
                                          << "Cancelar";
}

void TestTranslations::catalogueOfTheUsersLanguage() {
    QFETCH(QString, locale);
    QFETCH(bool, loaded);
    QFETCH(QString, stopped);
    QFETCH(QString, cancel);
    QCOMPARE(installTranslations(QLocale(locale), QStringLiteral(TALLY_TRANSLATIONS_DIR)), loaded);
    QCOMPARE(EngineOutcome::stopped().reason, stopped);
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), cancel);
}

void TestTranslations::writtenFilesDoNotDependOnTheLanguage() {
    test::TestEnv env;
    QTemporaryDir english;
    QTemporaryDir german;
    const Written inEnglish = writeEverything(english.path());
    QVERIFY(!inEnglish.csv.isEmpty() && !inEnglish.json.isEmpty());
    QVERIFY(inEnglish.savedSearch.contains("1805401"));

    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QVERIFY(installTranslations(QLocale(), QStringLiteral(TALLY_TRANSLATIONS_DIR)));
    QCOMPARE(EngineOutcome::stopped().reason, QStringLiteral("angehalten")); // German is in use
    const Written inGerman = writeEverything(german.path());
    QCOMPARE(inGerman.csv, inEnglish.csv);
    QCOMPARE(inGerman.json, inEnglish.json);
    QCOMPARE(inGerman.savedSearch, inEnglish.savedSearch);
}

TALLY_GUILESS_TEST_MAIN(TestTranslations)
#include "tst_translations.moc"
