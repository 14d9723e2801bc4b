// FileExists: ordinary files only.
#include "core/help/file_exists.h"
#include "support/test_main.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using tally::FileExists;

class TestHelpFileExists : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    QString make(const QString& name) {
        const QString path = dir_.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write("x");
        return path;
    }

private slots:
    void ordinaryFile() {
        QVERIFY(FileExists(make(QStringLiteral("Help.rtf"))));
        // An empty file is a file too.
        const QString empty = dir_.filePath(QStringLiteral("empty.rtf"));
        QFile(empty).open(QIODevice::WriteOnly);
        QVERIFY(FileExists(empty));
    }

    void absentThings() {
        QVERIFY(!FileExists(QString()));
        QVERIFY(!FileExists(dir_.filePath(QStringLiteral("missing.rtf"))));
        QVERIFY(!FileExists(dir_.filePath(QStringLiteral("nowhere/Help.rtf"))));
        // A folder, even one named like the file.
        QDir(dir_.path()).mkdir(QStringLiteral("Folder.rtf"));
        QVERIFY(!FileExists(dir_.filePath(QStringLiteral("Folder.rtf"))));
        QVERIFY(!FileExists(dir_.path()));
        QVERIFY(!FileExists(dir_.path() + QLatin1Char('/')));
        // A hidden file.
        QVERIFY(!FileExists(make(QStringLiteral(".hidden.rtf"))));
    }

    void wildcardsNeverMatchThemselves() {
        make(QStringLiteral("Readme.rtf"));
        QVERIFY(!FileExists(dir_.filePath(QStringLiteral("Read*.rtf"))));
        QVERIFY(!FileExists(dir_.filePath(QStringLiteral("Readme.rt?"))));
    }

    void linkToAFile() {
        const QString target = make(QStringLiteral("target.rtf"));
        const QString link = dir_.filePath(QStringLiteral("link.rtf"));
        QVERIFY(QFile::link(target, link));
        QVERIFY(FileExists(link));
        QFile::remove(target);
        QVERIFY(!FileExists(link)); // dangling
    }
};

TALLY_GUILESS_TEST_MAIN(TestHelpFileExists)
#include "tst_file_exists.moc"
